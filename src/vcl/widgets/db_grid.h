#pragma once
// The result list: the rows of a dataset, one line per row, under a title row, with an indicator column
// that marks the current row and its state (unchanged, changed, new). It is painted by hand and asks
// the dataset only for the rows on screen, so a result of a million rows costs no more than one of twenty.
#include <memory>
#include <string>
#include <vector>

#include "vcl/widgets/control.h"
#include "vcl/widgets/db_grid_options.h"

namespace vcl {

class TDataSource;
class TDataSet;
class TField;
class GridView;
class GridDataLink;

// The vertical scroll bar as a Windows scroll bar holds it: the range runs from Min to Max, the thumb
// covers Page of it, and Position runs from Min to Max - Page + 1.
struct GridScrollInfo {
    bool visible = false;
    int min = 0, max = 0, page = 0, position = 0;
    bool operator==(const GridScrollInfo&) const = default;
};

// The mark in the current row's indicator cell.
enum class GridIndicator { None, Current, Editing, Inserting };

class TDBGrid : public TWinControl {
public:
    explicit TDBGrid(TComponent* owner);
    ~TDBGrid() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* dataSource);

    const TDBGridOptions& Options() const noexcept { return options_; }
    void SetOptions(const TDBGridOptions& options);

    TDBGridColumns& Columns() noexcept { return columns_; }
    const TDBGridColumns& Columns() const noexcept { return columns_; }

    // The title row's font; the rows use Font.
    TFont& TitleFont() noexcept { return titleFont_; }
    const TFont& TitleFont() const noexcept { return titleFont_; }
    void SetTitleFont(const TFont& font) { titleFont_.Assign(font); }

    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

    void ChangeScale(int numerator, int denominator) override;

    // What the list shows now, for tests and readers of the window.
    int titleRowHeight() const;      // 0 without titles
    int dataRowHeight() const;       // the row line included
    int rowsOnScreen() const;        // result rows drawn now (at least one blank row is drawn when 0)
    int visibleRowCapacity() const;  // whole rows that fit below the title row
    int topRecord() const noexcept;  // the record index (from 0) of the first row on screen
    GridIndicator indicator() const; // the current row's mark
    GridScrollInfo scrollInfo() const;
    QWidget* view() const;           // the painted area

protected:
    void FontChanged() override;

private:
    friend class GridView;
    friend class GridDataLink;
    friend class TColumn;
    friend class TDBGridColumns;
    friend class GridAccessible;  // what screen readers are told about the rows
    struct ShownColumn {
        std::string title;
        const TField* field;  // nullptr when the dataset has no such field: the cells stay empty
        int width;
    };
    std::vector<ShownColumn> shownColumns() const;
    TDataSet* dataSet() const;
    int recordCount() const;    // rows the list can show (a pending new row counted), 0 when closed
    int currentRecord() const;  // from 0, -1 when there is none
    void layoutChanged();
    void activeChanged();
    void dataChanged();
    void recordMoved();
    void keepCurrentOnScreen();
    void updateScrollBar();
    // Moves of the current row that the view asks for; failures go to HandleException.
    void moveBy(int distance);
    void moveToRecord(int record);
    void moveFirst();
    void moveLast();
    void cancelChange();
    void deleteCurrent();  // Ctrl+Delete: asks first (dgConfirmDelete), then deletes the current row
    void focusLeft();

    GridView* view_;
    int titleHeight_ = 0;
    int rowHeight_ = 0;
    std::unique_ptr<GridDataLink> link_;
    TDBGridOptions options_ = TDBGridOptions::Defaults();
    TDBGridColumns columns_;
    TFont titleFont_;
    bool readOnly_ = false;
    int topRecord_ = 0;
};

}  // namespace vcl
