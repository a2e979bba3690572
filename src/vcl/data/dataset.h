#pragma once
// A result with a current row, and the state machine of browsing and changing it. The rows come from a
// subclass (TADOQuery) through the Internal* operations; everything the views rely on is here.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/data/component.h"
#include "vcl/data/dataset_state.h"
#include "vcl/data/field.h"

namespace vcl {

class TDataSource;

class TDataSet : public TComponent {
public:
    explicit TDataSet(TComponent* owner = nullptr);
    // Tells the data sources that the dataset goes. A subclass closes itself in its own destructor.
    ~TDataSet() override;

    // Open and close. Open on an open dataset and Close on a closed one do nothing. While loading,
    // SetActive(true) is only noted and takes effect in Loaded().
    bool Active() const noexcept { return state_ != TDataSetState::dsInactive; }
    void SetActive(bool active);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    void Loaded() override;

    TDataSetState State() const noexcept { return state_; }

    // Rows. RecordCount raises on a closed dataset; a pending new row is not counted.
    int RecordCount() const;
    // The current row's number from 1; -1 when there is none (closed, empty, or a new row pending).
    int RecNo() const;
    bool Bof() const noexcept { return bof_; }
    bool Eof() const noexcept { return eof_; }
    // No rows and no new row pending; true for a closed dataset.
    bool IsEmpty() const noexcept;

    // Moves. Each first ends a change in progress: posts a changed row, cancels an unchanged one; a post
    // that fails raises and nothing moves. They raise on a closed dataset.
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    int MoveBy(int distance);  // returns the distance moved, stopping at the first or the last row
    void MoveTo(int recNo);    // to the row with that number, clamped to the first and the last row
    void SetRecNo(int recNo) { MoveTo(recNo); }

    // Changes.
    void Edit();    // on an empty result starts a new row instead
    void Insert();  // a new row before the current one
    void Append() { Insert(); }
    void Post();
    void Cancel();
    void Delete();
    void CheckBrowseMode();  // ends a change in progress as a move does
    void UpdateRecord();     // asks the views to write their pending text (state must be editing)
    bool CanModify() const;  // open, and the rows can be changed
    bool Modified() const noexcept { return modified_; }

    // Told after a row has reached the bank: a new row added (AfterPost with inserted true), a changed
    // row saved (inserted false), a row deleted. A new row dropped before it was saved tells nothing.
    std::function<void(TDataSet&, bool inserted)> AfterPost;
    std::function<void(TDataSet&)> AfterDelete;

    // Fields, one per column of the open result.
    int FieldCount() const noexcept { return static_cast<int>(fields_.size()); }
    TField* Fields(int index) const { return fields_.at(static_cast<std::size_t>(index)).get(); }
    TField* FindField(std::string_view fieldName) const;  // case ignored (ASCII); nullptr if none
    TField* FieldByName(std::string_view fieldName) const;  // raises "qry1: Field 'x' not found"

    // For views: rows by number without moving the current row, counting a pending new row, which stands
    // at currentRow(). Only the rows on screen are read.
    int displayRowCount() const noexcept;  // 0 when closed
    int currentRow() const noexcept;       // from 0; -1 when there is no current row
    std::optional<std::string> valueAt(int row, const TField& field) const;
    std::string textAt(int row, const TField& field) const { return valueAt(row, field).value_or(""); }
    std::string displayTextAt(int row, const TField& field) const;
    // The state of a row as the list marks it: the current row's own state while editing, else browse.
    TDataSetState rowState(int row) const noexcept;

    // The data sources linked to this dataset.
    const std::vector<TDataSource*>& dataSources() const noexcept { return dataSources_; }

protected:
    struct FieldChange {
        int field;
        std::optional<std::string> value;  // nullopt: Null
    };

    // What a subclass provides. InternalOpen makes the fields with addField and raises on failure;
    // it leaves nothing half-open. Rows are numbered from 0.
    virtual void InternalOpen() = 0;
    virtual void InternalClose() = 0;
    virtual int InternalRecordCount() const = 0;
    virtual std::optional<std::string> InternalValue(int row, int field) const = 0;
    virtual bool InternalCanModify() const = 0;
    virtual void InternalUpdate(int row, const std::vector<FieldChange>& changes) = 0;
    virtual int InternalInsert(const std::vector<FieldChange>& changes) = 0;  // returns the new row's number
    virtual void InternalDelete(int row) = 0;

    TField& addField(std::string fieldName, TFieldType dataType, int size);
    void clearFields() noexcept;
    void checkActive() const;
    void DataEvent(TDataEvent event, int distance = 0, TField* field = nullptr);

private:
    friend class TField;
    friend class TDataSource;
    std::optional<std::string> currentValue(const TField& field) const;
    void setFieldValue(const TField& field, std::optional<std::string> value);
    void checkCanModify() const;
    void setState(TDataSetState state);
    void dropChange() noexcept;
    void openCursor();
    void closeCursor();
    void moveTo(int row);  // to a row number from 0, already clamped; tells the views how far it went
    void addDataSource(TDataSource* source);
    void removeDataSource(TDataSource* source) noexcept;

    TDataSetState state_ = TDataSetState::dsInactive;
    bool streamedActive_ = false;
    int current_ = -1;  // the current row of the result, from 0; -1 when the result is empty
    bool bof_ = true;
    bool eof_ = true;
    std::vector<std::unique_ptr<TField>> fields_;
    std::vector<std::optional<std::optional<std::string>>> pending_;  // per field: set while editing
    bool modified_ = false;
    std::vector<TDataSource*> dataSources_;
};

}  // namespace vcl
