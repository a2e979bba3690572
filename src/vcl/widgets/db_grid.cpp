#include "vcl/widgets/db_grid.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <algorithm>

#include "vcl/data/data_link.h"
#include "vcl/data/data_source.h"
#include "vcl/data/dataset.h"
#include "vcl/data/field.h"
#include "vcl/widgets/accessibility.h"
#include "vcl/widgets/dpi_scaling.h"
#include "vcl/widgets/grid_accessible.h"
#include "vcl/widgets/grid_view.h"

namespace vcl {

// The list's link: it follows every notification of its data source and repaints.
class GridDataLink : public TDataLink {
public:
    explicit GridDataLink(TDBGrid& grid) : grid_(grid) {}

protected:
    void ActiveChanged() override { grid_.activeChanged(); }
    void DataSetChanged() override { grid_.dataChanged(); }
    void DataSetScrolled(int) override { grid_.recordMoved(); }
    void RecordChanged(TField*) override
    {
        grid_.view_->update();
        announceGridChange(grid_, GridChange::Shown);
    }
    void EditingChanged() override
    {
        grid_.view_->update();
        announceGridChange(grid_, GridChange::Shown);
    }
    void LayoutChanged() override { grid_.layoutChanged(); }

private:
    TDBGrid& grid_;
};

// ---- columns ---------------------------------------------------------------------------------------

void TColumn::SetFieldName(std::string fieldName)
{
    fieldName_ = std::move(fieldName);
    grid_.layoutChanged();
}

void TColumn::SetWidth(int width)
{
    width_ = std::max(0, width);
    grid_.layoutChanged();
}

void TColumn::SetVisible(bool visible)
{
    visible_ = visible;
    grid_.layoutChanged();
}

TColumn* TDBGridColumns::Add()
{
    columns_.push_back(std::unique_ptr<TColumn>(new TColumn(grid_, Count())));
    grid_.layoutChanged();
    return columns_.back().get();
}

void TDBGridColumns::Clear()
{
    columns_.clear();
    grid_.layoutChanged();
}

// ---- the grid --------------------------------------------------------------------------------------

TDBGrid::TDBGrid(TComponent* owner)
    : TWinControl(owner), view_(new GridView(*this)), link_(std::make_unique<GridDataLink>(*this)),
      columns_(*this)
{
    // Initialize did it already; a list made without it (a test's) still speaks.
    installAccessibleInterfaces();
    titleFont_.SetName(Font().Name());
    titleFont_.SetHeight(Font().Height());
    titleFont_.OnChange = [this] { layoutChanged(); };
    SetHandle(view_);
    SetColor(clWindow);
    layoutChanged();
}

TDBGrid::~TDBGrid()
{
    link_.reset();
    DestroyHandle();
}

TDataSource* TDBGrid::DataSource() const
{
    return link_->DataSource();
}

void TDBGrid::SetDataSource(TDataSource* dataSource)
{
    link_->SetDataSource(dataSource);
    activeChanged();
}

void TDBGrid::SetOptions(const TDBGridOptions& options)
{
    options_ = options;
    layoutChanged();
}

TDataSet* TDBGrid::dataSet() const
{
    return link_ ? link_->DataSet() : nullptr;
}

int TDBGrid::recordCount() const
{
    const TDataSet* data = dataSet();
    return data && link_->Active() ? data->displayRowCount() : 0;
}

int TDBGrid::currentRecord() const
{
    const TDataSet* data = dataSet();
    return data && link_->Active() ? data->currentRow() : -1;
}

std::vector<TDBGrid::ShownColumn> TDBGrid::shownColumns() const
{
    std::vector<ShownColumn> shown;
    const TDataSet* data = link_ && link_->Active() ? dataSet() : nullptr;
    if (columns_.Count() == 0) {
        // Without columns of its own the list shows every field.
        if (data)
            for (int i = 0; i < data->FieldCount(); ++i)
                shown.push_back({data->Fields(i)->FieldName(), data->Fields(i), 64});
        return shown;
    }
    for (int i = 0; i < columns_.Count(); ++i) {
        const TColumn* column = columns_[i];
        if (!column->Visible())
            continue;
        shown.push_back({column->FieldName(), data ? data->FindField(column->FieldName()) : nullptr,
                         column->Width()});
    }
    return shown;
}

int TDBGrid::titleRowHeight() const
{
    return titleHeight_;
}

int TDBGrid::dataRowHeight() const
{
    return rowHeight_;
}

int TDBGrid::visibleRowCapacity() const
{
    if (rowHeight_ <= 0)
        return 1;
    const int room = view_->cellArea().height() - titleHeight_;
    return std::max(1, room / rowHeight_);
}

int TDBGrid::rowsOnScreen() const
{
    return std::clamp(recordCount() - topRecord_, 0, visibleRowCapacity());
}

int TDBGrid::topRecord() const noexcept
{
    return topRecord_;
}

GridIndicator TDBGrid::indicator() const
{
    const TDataSet* data = dataSet();
    if (!data || !link_->Active())
        return GridIndicator::None;
    const int current = data->currentRow();
    if (current < 0)
        return GridIndicator::Current;  // an empty result: the blank row carries the triangle
    switch (data->rowState(current)) {
    case TDataSetState::dsEdit: return GridIndicator::Editing;
    case TDataSetState::dsInsert: return GridIndicator::Inserting;
    default: return GridIndicator::Current;
    }
}

GridScrollInfo TDBGrid::scrollInfo() const
{
    GridScrollInfo info;
    const int count = recordCount();
    if (count < 2)
        return info;
    info.visible = true;
    info.min = 1;
    info.page = rowsOnScreen();
    info.max = count + info.page - 1;
    info.position = std::max(1, currentRecord() + 1);
    return info;
}

QWidget* TDBGrid::view() const
{
    return view_;
}

void TDBGrid::FontChanged()
{
    TWinControl::FontChanged();
    layoutChanged();
}

void TDBGrid::ChangeScale(int numerator, int denominator)
{
    if (numerator == denominator || denominator == 0)
        return;
    TWinControl::ChangeScale(numerator, denominator);
    titleFont_.SetHeight(MulDiv(titleFont_.Height(), numerator, denominator));
    for (int i = 0; i < columns_.Count(); ++i)
        columns_[i]->SetWidth(MulDiv(columns_[i]->Width(), numerator, denominator));
}

void TDBGrid::layoutChanged()
{
    if (!view_)
        return;
    const bool rowLines = options_.Contains(TDBGridOption::dgRowLines);
    // A row is the text's height plus 3, and its line; the title row is the title text's height plus 4.
    rowHeight_ = QFontMetrics(Font().toQFont()).height() + 3 + (rowLines ? 1 : 0);
    titleHeight_ = options_.Contains(TDBGridOption::dgTitles) ? QFontMetrics(titleFont_.toQFont()).height() + 4 : 0;
    keepCurrentOnScreen();
    updateScrollBar();
    view_->update();
    announceGridChange(*this, GridChange::Shown);
}

void TDBGrid::activeChanged()
{
    // After every open the first row is current and shown at the top.
    topRecord_ = 0;
    keepCurrentOnScreen();
    updateScrollBar();
    view_->update();
    announceGridChange(*this, GridChange::Result);
}

void TDBGrid::dataChanged()
{
    keepCurrentOnScreen();
    updateScrollBar();
    view_->update();
    announceGridChange(*this, GridChange::Result);
}

void TDBGrid::recordMoved()
{
    keepCurrentOnScreen();
    updateScrollBar();
    view_->update();
    announceGridChange(*this, GridChange::Shown);
}

void TDBGrid::keepCurrentOnScreen()
{
    const int count = recordCount();
    const int capacity = visibleRowCapacity();
    // The screen stays full while there are rows enough, and shows the current row with the least scrolling.
    topRecord_ = std::clamp(topRecord_, 0, std::max(0, count - capacity));
    const int current = currentRecord();
    if (current < 0)
        return;
    if (current < topRecord_)
        topRecord_ = current;
    else if (current >= topRecord_ + capacity)
        topRecord_ = current - capacity + 1;
}

void TDBGrid::updateScrollBar()
{
    const GridScrollInfo info = scrollInfo();
    QScrollBar* bar = view_->scrollBar();
    if (info.visible) {
        const QSignalBlocker blocker(bar);
        // Qt counts the thumb's positions, Windows the whole range with the page in it.
        bar->setRange(info.min, info.max - info.page + 1);
        bar->setPageStep(info.page);
        bar->setSingleStep(1);
        if (!bar->isSliderDown())
            bar->setValue(info.position);
    }
    view_->placeScrollBar(info.visible);
}

void TDBGrid::moveBy(int distance)
{
    TDataSet* data = dataSet();
    if (!data || !link_->Active())
        return;
    CallHandler([&] { data->MoveBy(distance); });
}

void TDBGrid::moveToRecord(int record)
{
    const int current = currentRecord();
    if (current >= 0 && record != current)
        moveBy(record - current);
}

void TDBGrid::moveFirst()
{
    TDataSet* data = dataSet();
    if (data && link_->Active())
        CallHandler([&] { data->First(); });
}

void TDBGrid::moveLast()
{
    TDataSet* data = dataSet();
    if (data && link_->Active())
        CallHandler([&] { data->Last(); });
}

void TDBGrid::cancelChange()
{
    TDataSet* data = dataSet();
    if (data && link_->Active() && isEditing(data->State()))
        CallHandler([&] { data->Cancel(); });
}

void TDBGrid::focusLeft()
{
    // A pending new row into which nothing has been written goes when the focus leaves the list.
    TDataSet* data = dataSet();
    if (options_.Contains(TDBGridOption::dgCancelOnExit) && data && link_->Active() &&
        data->State() == TDataSetState::dsInsert && !data->Modified())
        CallHandler([&] { data->Cancel(); });
}

}  // namespace vcl
