#include "vcl/data/data_link.h"

#include "vcl/data/data_source.h"

namespace vcl {

TDataLink::~TDataLink()
{
    // No notification: the view that derives from the link is already gone.
    if (dataSource_ != nullptr)
        dataSource_->removeLink(this);
}

void TDataLink::SetDataSource(TDataSource* source)
{
    if (source == dataSource_)
        return;
    if (dataSource_ != nullptr)
        dataSource_->removeLink(this);
    dataSource_ = source;
    if (dataSource_ != nullptr)
        dataSource_->addLink(this);
    updateState();
}

TDataSet* TDataLink::DataSet() const noexcept
{
    return dataSource_ != nullptr ? dataSource_->DataSet() : nullptr;
}

bool TDataLink::Edit()
{
    if (!readOnly_ && dataSource_ != nullptr)
        dataSource_->Edit();
    return editing_;
}

void TDataLink::UpdateRecord()
{
    updating_ = true;
    try {
        UpdateData();
    } catch (...) {
        updating_ = false;
        throw;
    }
    updating_ = false;
}

void TDataLink::dataEvent(TDataEvent event, int distance, TField* field)
{
    if (event == TDataEvent::deUpdateState) {
        updateState();
        return;
    }
    if (!active_)
        return;
    switch (event) {
    case TDataEvent::deFieldChange:
    case TDataEvent::deRecordChange:
        if (!updating_)
            RecordChanged(field);
        break;
    case TDataEvent::deDataSetChange: DataSetChanged(); break;
    case TDataEvent::deDataSetScroll: DataSetScrolled(distance); break;
    case TDataEvent::deLayoutChange: LayoutChanged(); break;
    case TDataEvent::deUpdateRecord: UpdateRecord(); break;
    case TDataEvent::deCheckBrowseMode: CheckBrowseMode(); break;
    case TDataEvent::deUpdateState: break;
    }
}

void TDataLink::updateState()
{
    const TDataSetState state = dataSource_ != nullptr ? dataSource_->State() : TDataSetState::dsInactive;
    const bool active = state != TDataSetState::dsInactive;
    const bool editing = isEditing(state);
    // Opening tells ActiveChanged before EditingChanged; closing while editing tells both in the same order.
    if (active != active_) {
        active_ = active;
        ActiveChanged();
    }
    if (editing != editing_) {
        editing_ = editing;
        EditingChanged();
    }
}

}  // namespace vcl
