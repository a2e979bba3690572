#pragma once
// A view's link to a data source: the view overrides the notifications it needs. A link that is busy
// writing its own text (UpdateData) is not told of the field change that this causes.
#include "vcl/data/dataset_state.h"

namespace vcl {

class TDataSet;
class TDataSource;
class TField;

class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();  // leaves its data source
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const noexcept { return dataSource_; }
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const noexcept;  // the data source's dataset, or nullptr

    // Whether the data source's dataset is open, and whether it is editing or inserting, as last told.
    bool Active() const noexcept { return active_; }
    bool Editing() const noexcept { return editing_; }

    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool readOnly) noexcept { readOnly_ = readOnly; }

    // Asks the data source to start an edit (it does when AutoEdit is on and the dataset browses).
    // Returns whether the dataset is now editing. A dataset whose rows cannot be changed raises.
    bool Edit();
    // Runs UpdateData, without telling this link of the field changes it makes.
    void UpdateRecord();

protected:
    virtual void ActiveChanged() {}
    virtual void DataSetChanged() {}
    virtual void DataSetScrolled(int /*distance*/) {}
    virtual void RecordChanged(TField* /*field: nullptr for the whole row*/) {}
    virtual void EditingChanged() {}
    virtual void LayoutChanged() {}
    virtual void UpdateData() {}      // write the view's pending text into its field now
    virtual void CheckBrowseMode() {} // a change of the current row is about to end

private:
    friend class TDataSource;
    void dataEvent(TDataEvent event, int distance, TField* field);
    void updateState();

    TDataSource* dataSource_ = nullptr;
    bool active_ = false;
    bool editing_ = false;
    bool readOnly_ = false;
    bool updating_ = false;
};

}  // namespace vcl
