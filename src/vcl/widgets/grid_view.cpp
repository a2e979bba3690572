#include "vcl/widgets/grid_view.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include "vcl/data/dataset.h"
#include "vcl/data/field.h"
#include "vcl/widgets/db_grid.h"
#include "vcl/widgets/grid_indicator.h"

namespace vcl {

namespace {

constexpr int indicatorWidth = 11;
constexpr int textOffset = 2;  // the text starts 2 pixels right of and 2 pixels below the cell's corner

// The first line of a text: a list row shows one line.
QString firstLine(const std::string& text)
{
    const auto end = text.find_first_of("\r\n");
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(end == std::string::npos ? text.size() : end));
}

// A raised edge inside a fixed cell: light on the top and left, shadow on the bottom and right.
void drawRaisedEdge(QPainter& painter, const QRect& cell)
{
    if (cell.width() < 2 || cell.height() < 2)
        return;
    painter.fillRect(cell.left(), cell.top(), cell.width(), 1, toQColor(clBtnHighlight));
    painter.fillRect(cell.left(), cell.top(), 1, cell.height(), toQColor(clBtnHighlight));
    painter.fillRect(cell.left(), cell.bottom(), cell.width(), 1, toQColor(clBtnShadow));
    painter.fillRect(cell.right(), cell.top(), 1, cell.height(), toQColor(clBtnShadow));
}

}  // namespace

GridView::GridView(TDBGrid& grid) : grid_(grid), scrollBar_(new QScrollBar(Qt::Vertical, this))
{
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    scrollBar_->hide();
    scrollBar_->installEventFilter(this);
    connect(scrollBar_, &QScrollBar::actionTriggered, this, &GridView::scrollBarAction);
    connect(scrollBar_, &QScrollBar::sliderReleased, this, &GridView::scrollBarReleased);
}

QRect GridView::cellArea() const
{
    QRect area = contentsRect();
    if (scrollBar_->isVisibleTo(this))
        area.setRight(scrollBar_->geometry().left() - 1);
    return area;
}

void GridView::placeScrollBar(bool visible)
{
    const QRect inside = contentsRect();
    const int width = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollBar_);
    scrollBar_->setGeometry(inside.right() + 1 - width, inside.top(), width, inside.height());
    if (visible != scrollBar_->isVisibleTo(this)) {
        scrollBar_->setVisible(visible);
        update();
    }
}

void GridView::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);  // the sunken border
    QPainter painter(this);
    const QRect area = cellArea();
    painter.setClipRect(area);
    painter.translate(area.topLeft());
    const int width = area.width();
    const int height = area.height();

    const TDBGridOptions& options = grid_.Options();
    const bool colLines = options.Contains(TDBGridOption::dgColLines);
    const bool rowLines = options.Contains(TDBGridOption::dgRowLines);
    const int colLine = colLines ? 1 : 0;
    const int rowLine = rowLines ? 1 : 0;
    const int indicator = options.Contains(TDBGridOption::dgIndicator) ? indicatorWidth : 0;
    const int dataLeft = indicator ? indicator + colLine : 0;

    const QColor window = toQColor(grid_.Color());
    const QColor face = toQColor(clBtnFace);
    const QColor fixedLine = toQColor(clWindowFrame);
    const QColor dataLine = toQColor(clBtnFace);
    painter.fillRect(0, 0, width, height, window);

    const auto columns = grid_.shownColumns();
    const int titleHeight = grid_.titleRowHeight();

    // The title row: the indicator's corner cell, then one cell per column with its title.
    if (titleHeight > 0) {
        const int cellHeight = titleHeight - rowLine;
        const QFont titleFont = grid_.TitleFont().toQFont();
        const QFontMetrics metrics(titleFont);
        painter.setFont(titleFont);
        if (indicator) {
            const QRect corner(0, 0, indicator, cellHeight);
            painter.fillRect(corner, face);
            drawRaisedEdge(painter, corner);
            painter.fillRect(indicator, 0, colLine, titleHeight, fixedLine);
        }
        int x = dataLeft;
        for (const auto& column : columns) {
            if (x >= width)
                break;
            const QRect cell(x, 0, column.width, cellHeight);
            painter.fillRect(cell, face);
            drawRaisedEdge(painter, cell);
            painter.save();
            painter.setClipRect(cell.adjusted(0, 0, -1, -1), Qt::IntersectClip);
            painter.setPen(toQColor(grid_.TitleFont().Color()));
            painter.drawText(QPoint(x + textOffset, textOffset + metrics.ascent()), QString::fromStdString(column.title));
            painter.restore();
            painter.fillRect(x + column.width, 0, colLine, titleHeight, fixedLine);
            x += column.width + colLine;
        }
        painter.fillRect(0, cellHeight, std::min(width, x), rowLine, fixedLine);
    }

    // The rows: those of the result on screen, or one blank row while there are none.
    const TDataSet* data = grid_.dataSet();
    const int rows = grid_.rowsOnScreen();
    const int drawnRows = std::max(1, rows);
    const int rowHeight = grid_.dataRowHeight();
    const int cellHeight = rowHeight - rowLine;
    const int current = grid_.currentRecord();
    const int top = grid_.topRecord();
    const GridIndicator mark = grid_.indicator();
    const bool highlight = hasFocus() || options.Contains(TDBGridOption::dgAlwaysShowSelection);
    const QFont rowFont = grid_.Font().toQFont();
    const QFontMetrics metrics(rowFont);
    painter.setFont(rowFont);
    for (int i = 0; i < drawnRows; ++i) {
        const int y = titleHeight + i * rowHeight;
        if (y >= height)
            break;
        const int record = rows > 0 ? top + i : -1;
        const bool isCurrent = rows > 0 ? record == current : i == 0;
        if (indicator) {
            const QRect cell(0, y, indicator, cellHeight);
            painter.fillRect(cell, face);
            drawRaisedEdge(painter, cell);
            if (isCurrent && mark != GridIndicator::None) {
                const QPoint at(indicator - 1 - indicatorMarkWidth, y + (cellHeight - indicatorMarkHeight) / 2);
                paintIndicatorMark(painter, at, mark, toQColor(clBtnText));
            }
            painter.fillRect(indicator, y, colLine, rowHeight, fixedLine);
            painter.fillRect(0, y + cellHeight, indicator, rowLine, fixedLine);
        }
        const bool selected = isCurrent && record >= 0 && highlight;
        int x = dataLeft;
        for (const auto& column : columns) {
            if (x >= width)
                break;
            const QRect cell(x, y, column.width, cellHeight);
            painter.fillRect(cell, selected ? toQColor(clHighlight) : window);
            if (record >= 0 && column.field && data) {
                painter.save();
                painter.setClipRect(cell, Qt::IntersectClip);
                painter.setPen(selected ? toQColor(clHighlightText) : toQColor(grid_.Font().Color()));
                // The text itself, for long-text columns too: a list of questions shows the questions.
                painter.drawText(QPoint(x + textOffset, y + textOffset + metrics.ascent()),
                                 firstLine(data->textAt(record, *column.field)));
                painter.restore();
            }
            painter.fillRect(x + column.width, y, colLine, rowHeight, dataLine);
            painter.fillRect(x, y + cellHeight, column.width + colLine, rowLine, dataLine);
            x += column.width + colLine;
        }
    }
}

void GridView::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    grid_.layoutChanged();
}

void GridView::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int current = grid_.currentRecord();
    const int top = grid_.topRecord();
    const int page = grid_.visibleRowCapacity();
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        if (ctrl && event->key() == Qt::Key_Up)
            grid_.moveToRecord(top);
        else if (!ctrl)
            grid_.moveBy(-1);
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        if (ctrl && event->key() == Qt::Key_Down)
            grid_.moveToRecord(top + std::max(0, grid_.rowsOnScreen() - 1));
        else if (!ctrl)
            grid_.moveBy(1);
        break;
    case Qt::Key_PageUp:
        if (ctrl)
            grid_.moveToRecord(top);
        else
            grid_.moveBy(-page);
        break;
    case Qt::Key_PageDown:
        if (ctrl)
            grid_.moveToRecord(top + std::max(0, grid_.rowsOnScreen() - 1));
        else
            grid_.moveBy(page);
        break;
    case Qt::Key_Home: grid_.moveFirst(); break;
    case Qt::Key_End: grid_.moveLast(); break;
    case Qt::Key_Escape: grid_.cancelChange(); break;
    case Qt::Key_Delete:
        if (ctrl)
            grid_.deleteCurrent();
        break;
    default:
        // Nothing else does anything in the list; the key goes no further either.
        (void)current;
        break;
    }
    event->accept();
}

void GridView::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const QRect area = cellArea();
    const QPoint at = event->position().toPoint() - area.topLeft();
    const int titleHeight = grid_.titleRowHeight();
    if (at.y() < titleHeight || grid_.dataRowHeight() <= 0 || !area.contains(event->position().toPoint()))
        return;  // the title row: focus only, no sorting, no sizing
    const int row = (at.y() - titleHeight) / grid_.dataRowHeight();
    if (row < grid_.rowsOnScreen())
        grid_.moveToRecord(grid_.topRecord() + row);
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void GridView::wheelEvent(QWheelEvent* event)
{
    // One notch moves the current row by one row at most; the list never scrolls by itself.
    wheelRemainder_ += event->angleDelta().y();
    const int notch = QWheelEvent::DefaultDeltasPerStep;
    if (wheelRemainder_ >= notch) {
        wheelRemainder_ %= notch;
        grid_.moveBy(-1);
    } else if (wheelRemainder_ <= -notch) {
        wheelRemainder_ = -(-wheelRemainder_ % notch);
        grid_.moveBy(1);
    }
    event->accept();
}

void GridView::focusInEvent(QFocusEvent* event)
{
    QFrame::focusInEvent(event);
    update();
}

void GridView::focusOutEvent(QFocusEvent* event)
{
    QFrame::focusOutEvent(event);
    grid_.focusLeft();
    update();
}

bool GridView::eventFilter(QObject* watched, QEvent* event)
{
    // A click on the scroll bar gives the list the focus.
    if (watched == scrollBar_ && event->type() == QEvent::MouseButtonPress)
        setFocus(Qt::MouseFocusReason);
    return QFrame::eventFilter(watched, event);
}

void GridView::scrollBarAction(int action)
{
    const int top = grid_.topRecord();
    const int rows = grid_.rowsOnScreen();
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        if (top + rows < grid_.recordCount())
            grid_.moveToRecord(top + rows);
        else
            grid_.moveLast();
        break;
    case QAbstractSlider::SliderSingleStepSub:
        if (top > 0)
            grid_.moveToRecord(top - 1);
        else
            grid_.moveFirst();
        break;
    case QAbstractSlider::SliderPageStepAdd: grid_.moveBy(grid_.visibleRowCapacity()); break;
    case QAbstractSlider::SliderPageStepSub: grid_.moveBy(-grid_.visibleRowCapacity()); break;
    case QAbstractSlider::SliderToMinimum: grid_.moveFirst(); break;
    case QAbstractSlider::SliderToMaximum: grid_.moveLast(); break;
    default:
        return;  // dragging moves nothing until the thumb is let go
    }
    grid_.updateScrollBar();
}

void GridView::scrollBarReleased()
{
    const int count = grid_.recordCount();
    if (count <= 0)
        return;
    const int target = std::clamp(scrollBar_->sliderPosition(), 1, count);
    grid_.moveToRecord(target - 1);
    grid_.updateScrollBar();
}

}  // namespace vcl
