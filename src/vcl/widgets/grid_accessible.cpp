#include "vcl/widgets/grid_accessible.h"

#include <QEvent>
#include <QPointer>
#include <QScrollBar>
#include <QWindow>

#include "vcl/data/dataset.h"
#include "vcl/data/field.h"
#include "vcl/widgets/db_grid.h"
#include "vcl/widgets/grid_view.h"

namespace vcl {

namespace {

// A row shows the first line of each of its texts.
QString firstLine(const std::string& text)
{
    const auto end = text.find_first_of("\r\n");
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(end == std::string::npos ? text.size() : end));
}

// One row on screen. It reads everything from the list when asked, so it never shows stale text; the
// list drops it when its record leaves the screen or the result is replaced.
class GridRowAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    GridRowAccessible(GridView& view, int record)
        : view_(&view), record_(record), announcedName_(name()), announcedDescription_(description())
    {
    }

    int record() const noexcept { return record_; }

    // Whether the name or the description differ from what readers were last told; notes the new ones.
    bool nameChanged() { return takeChange(announcedName_, name()); }
    bool descriptionChanged() { return takeChange(announcedDescription_, description()); }

    bool isValid() const override { return !view_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: return name();
        case QAccessible::Description: return description();
        default: return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return view_ ? GridAccessible::rowRect(*view_, record_) : QRect(); }
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!view_)
            return state;
        state.selectable = true;
        state.focusable = true;
        state.readOnly = true;
        const bool current = GridAccessible::isCurrent(view_->grid(), record_);
        state.selected = current;
        state.focused = current && view_->hasFocus();
        state.invisible = !view_->isVisible();
        state.disabled = !view_->isEnabled();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    // A reader's "activate": the row becomes current, as a click on it makes it.
    QStringList actionNames() const override { return {QAccessibleActionInterface::setFocusAction()}; }
    void doAction(const QString& action) override
    {
        if (!view_ || action != QAccessibleActionInterface::setFocusAction())
            return;
        view_->setFocus(Qt::OtherFocusReason);
        GridAccessible::makeCurrent(view_->grid(), record_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QString name() const { return view_ ? GridAccessible::rowName(view_->grid(), record_) : QString(); }
    QString description() const
    {
        return view_ ? GridAccessible::rowDescription(view_->grid(), record_) : QString();
    }
    static bool takeChange(QString& announced, const QString& now)
    {
        if (announced == now)
            return false;
        announced = now;
        return true;
    }

    QPointer<GridView> view_;
    int record_;
    QString announcedName_;
    QString announcedDescription_;
};

// Hands the focus to the current row once Qt has told readers that the list itself has it (Qt does so
// after the focus-in event, so the row's turn comes from the event loop).
class GridFocusWatcher : public QObject {
public:
    explicit GridFocusWatcher(GridView& view) : QObject(&view), view_(&view) { view.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == view_ && event->type() == QEvent::FocusIn)
            QMetaObject::invokeMethod(this, [this] { handFocusToRow(); }, Qt::QueuedConnection);
        return false;
    }

private:
    void handFocusToRow()
    {
        if (!view_ || !view_->hasFocus())
            return;
        if (auto* list = dynamic_cast<GridAccessible*>(QAccessible::queryAccessibleInterface(view_.data())))
            list->focusEntered();
    }

    QPointer<GridView> view_;
};

GridRowAccessible* asRow(QAccessibleInterface* item)
{
    return dynamic_cast<GridRowAccessible*>(item);
}

}  // namespace

void announceGridChange(TDBGrid& grid, GridChange change)
{
    auto* list = dynamic_cast<GridAccessible*>(QAccessible::queryAccessibleInterface(grid.view()));
    if (!list)
        return;
    if (change == GridChange::Result)
        list->resultReplaced();
    else
        list->shownChanged();
}

// ---- the list ---------------------------------------------------------------------------------------

GridAccessible::GridAccessible(GridView& view) : QAccessibleWidget(&view, QAccessible::List)
{
    new GridFocusWatcher(view);
    // What readers know from the start: nothing needs announcing until something changes.
    shownTop_ = grid().topRecord();
    shownRows_ = rowsOnScreen();
    current_ = grid().currentRecord();
    description_ = text(QAccessible::Description);
}

GridAccessible::~GridAccessible()
{
    // Only the items' numbers: Qt may have deleted some of them already while it shuts down.
    for (const auto& [record, id] : rows_)
        QAccessible::deleteAccessibleInterface(id);
}

TDBGrid& GridAccessible::grid() const
{
    return static_cast<GridView*>(widget())->grid();
}

int GridAccessible::rowsOnScreen() const
{
    return grid().rowsOnScreen();
}

int GridAccessible::childCount() const
{
    return rowsOnScreen() + QAccessibleWidget::childCount();
}

QAccessibleInterface* GridAccessible::child(int index) const
{
    const int rows = rowsOnScreen();
    if (index < 0)
        return nullptr;
    if (index < rows)
        return rowItem(grid().topRecord() + index);
    return QAccessibleWidget::child(index - rows);
}

int GridAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (!child)
        return -1;
    const int rows = rowsOnScreen();
    if (const auto* row = dynamic_cast<const GridRowAccessible*>(child)) {
        const int index = row->record() - grid().topRecord();
        return index >= 0 && index < rows && existingRowItem(row->record()) == child ? index : -1;
    }
    const int index = QAccessibleWidget::indexOfChild(child);
    return index < 0 ? -1 : rows + index;
}

QAccessibleInterface* GridAccessible::childAt(int x, int y) const
{
    const GridView& view = *static_cast<GridView*>(widget());
    const int top = grid().topRecord();
    for (int i = 0; i < rowsOnScreen(); ++i)
        if (rowRect(view, top + i).contains(QPoint(x, y)))
            return rowItem(top + i);
    QScrollBar* bar = view.scrollBar();
    if (bar->isVisibleTo(&view) && bar->geometry().contains(view.mapFromGlobal(QPoint(x, y))))
        return QAccessible::queryAccessibleInterface(bar);
    return nullptr;
}

QAccessibleInterface* GridAccessible::focusChild() const
{
    const int current = grid().currentRecord();
    const int top = grid().topRecord();
    if (widget()->hasFocus() && current >= top && current < top + rowsOnScreen())
        return rowItem(current);
    return QAccessibleWidget::focusChild();
}

QString GridAccessible::text(QAccessible::Text t) const
{
    const TDBGrid& list = grid();
    switch (t) {
    case QAccessible::Name: {
        if (!widget()->accessibleName().isEmpty())
            return widget()->accessibleName();
        // The column titles over the rows.
        if (!list.Options().Contains(TDBGridOption::dgTitles))
            return {};
        QStringList titles;
        for (const auto& column : list.shownColumns())
            if (!column.title.empty())
                titles << QString::fromStdString(column.title);
        return titles.join(QLatin1Char(' '));
    }
    case QAccessible::Description:
        if (!widget()->accessibleDescription().isEmpty())
            return widget()->accessibleDescription();
        // How many rows the result holds, those off screen too; nothing while no result is open.
        if (list.indicator() == GridIndicator::None)
            return {};
        return QStringLiteral("共 %1 条").arg(list.recordCount());
    default: return QAccessibleWidget::text(t);
    }
}

// ---- the rows ---------------------------------------------------------------------------------------

QString GridAccessible::rowName(const TDBGrid& grid, int record)
{
    const TDataSet* data = grid.dataSet();
    if (!data || record < 0 || record >= grid.recordCount())
        return {};
    QStringList texts;
    for (const auto& column : grid.shownColumns())
        if (column.field)
            texts << firstLine(data->textAt(record, *column.field));
    return texts.join(QLatin1Char(' '));
}

QString GridAccessible::rowDescription(const TDBGrid& grid, int record)
{
    // The indicator's pencil and star, in words.
    if (!isCurrent(grid, record))
        return {};
    switch (grid.indicator()) {
    case GridIndicator::Editing: return QStringLiteral("正在修改");
    case GridIndicator::Inserting: return QStringLiteral("新记录");
    default: return {};
    }
}

QRect GridAccessible::rowRect(const GridView& view, int record)
{
    const TDBGrid& grid = view.grid();
    const int slot = record - grid.topRecord();
    if (slot < 0 || slot >= grid.rowsOnScreen())
        return {};
    const QRect area = view.cellArea();
    const int rowLine = grid.Options().Contains(TDBGridOption::dgRowLines) ? 1 : 0;
    const QRect row(area.left(), area.top() + grid.titleRowHeight() + slot * grid.dataRowHeight(), area.width(),
                    grid.dataRowHeight() - rowLine);
    const QRect shown = row.intersected(area);
    return shown.isEmpty() ? QRect() : QRect(view.mapToGlobal(shown.topLeft()), shown.size());
}

bool GridAccessible::isCurrent(const TDBGrid& grid, int record)
{
    return record >= 0 && record == grid.currentRecord();
}

void GridAccessible::makeCurrent(TDBGrid& grid, int record)
{
    grid.moveToRecord(record);
}

QAccessibleInterface* GridAccessible::existingRowItem(int record) const
{
    const auto found = rows_.find(record);
    return found == rows_.end() ? nullptr : QAccessible::accessibleInterface(found->second);
}

QAccessibleInterface* GridAccessible::rowItem(int record) const
{
    if (QAccessibleInterface* item = existingRowItem(record))
        return item;
    auto* item = new GridRowAccessible(*static_cast<GridView*>(widget()), record);
    rows_[record] = QAccessible::registerAccessibleInterface(item);
    return item;
}

bool GridAccessible::delivering() const
{
    return sink_ || QAccessible::isActive();
}

void GridAccessible::send(QAccessibleInterface* item, QAccessible::Event type) const
{
    if (!delivering())
        return;
    QAccessibleEvent event(item, type);
    if (sink_)
        sink_(event);
    else
        QAccessible::updateAccessibility(&event);
}

void GridAccessible::sendForList(QAccessible::Event type) const
{
    if (!delivering())
        return;
    QAccessibleEvent event(widget(), type);
    if (sink_)
        sink_(event);
    else
        QAccessible::updateAccessibility(&event);
}

void GridAccessible::dropRows(bool keepOnScreen)
{
    const int top = grid().topRecord();
    const int rows = rowsOnScreen();
    for (auto it = rows_.begin(); it != rows_.end();) {
        if (keepOnScreen && it->first >= top && it->first < top + rows) {
            ++it;
            continue;
        }
        if (QAccessibleInterface* item = QAccessible::accessibleInterface(it->second)) {
            send(item, QAccessible::ObjectDestroyed);  // while it can still tell its parent
            QAccessible::deleteAccessibleInterface(it->second);
        }
        it = rows_.erase(it);
    }
}

void GridAccessible::resultReplaced()
{
    dropRows(false);
    // Every row, and the current one, are news now.
    shownTop_ = -1;
    current_ = -1;
    shownChanged();
}

void GridAccessible::shownChanged()
{
    dropRows(true);
    const int top = grid().topRecord();
    const int rows = rowsOnScreen();
    if (top != shownTop_ || rows != shownRows_) {
        shownTop_ = top;
        shownRows_ = rows;
        // Each row new on screen is a new child. (Not one reorder event for the list: Qt 6.4's AT-SPI
        // bridge sends that one with a malformed argument, which readers drop.)
        if (delivering())
            for (int record = top; record < top + rows; ++record)
                if (!existingRowItem(record))
                    send(rowItem(record), QAccessible::ObjectCreated);
    }
    for (const auto& [record, id] : rows_) {
        GridRowAccessible* row = asRow(QAccessible::accessibleInterface(id));
        if (!row)
            continue;
        if (row->nameChanged())
            send(row, QAccessible::NameChanged);
        if (row->descriptionChanged())
            send(row, QAccessible::DescriptionChanged);
    }
    const QString description = text(QAccessible::Description);
    if (description != description_) {
        description_ = description;
        sendForList(QAccessible::DescriptionChanged);
    }
    const int current = grid().currentRecord();
    if (current == current_)
        return;
    if (QAccessibleInterface* previous = existingRowItem(current_))
        send(previous, QAccessible::SelectionRemove);
    current_ = current;
    if (current < top || current >= top + rows || !delivering())
        return;
    QAccessibleInterface* item = rowItem(current);
    send(item, QAccessible::SelectionAdd);
    if (widget()->hasFocus())
        send(item, QAccessible::Focus);
}

void GridAccessible::focusEntered()
{
    const int current = grid().currentRecord();
    const int top = grid().topRecord();
    if (current >= top && current < top + rowsOnScreen() && delivering())
        send(rowItem(current), QAccessible::Focus);
}

}  // namespace vcl
