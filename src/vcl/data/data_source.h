#pragma once
// The data source: carries a dataset's state and changes to the links of its views, and starts an edit
// for a view when AutoEdit is on.
#include <vector>

#include "vcl/data/component.h"
#include "vcl/data/dataset_state.h"

namespace vcl {

class TDataLink;
class TDataSet;
class TField;

class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* owner = nullptr);
    ~TDataSource() override;  // leaves its dataset; links are told that it is inactive and let go

    TDataSet* DataSet() const noexcept { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);
    bool AutoEdit() const noexcept { return autoEdit_; }
    void SetAutoEdit(bool autoEdit) noexcept { autoEdit_ = autoEdit; }
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);

    // The dataset's state as the links see it: dsInactive without a dataset or while disabled.
    TDataSetState State() const noexcept;
    // With AutoEdit on and the dataset browsing, puts the dataset into editing.
    void Edit();

    const std::vector<TDataLink*>& dataLinks() const noexcept { return links_; }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TDataSet;
    friend class TDataLink;
    void dataEvent(TDataEvent event, int distance, TField* field);  // from the dataset
    void addLink(TDataLink* link);
    void removeLink(TDataLink* link) noexcept;
    void updateState();

    TDataSet* dataSet_ = nullptr;
    bool autoEdit_ = true;
    bool enabled_ = true;
    std::vector<TDataLink*> links_;
};

}  // namespace vcl
