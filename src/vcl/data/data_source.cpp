#include "vcl/data/data_source.h"

#include <algorithm>

#include "vcl/data/data_link.h"
#include "vcl/data/dataset.h"

namespace vcl {

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource()
{
    if (dataSet_ != nullptr)
        dataSet_->removeDataSource(this);
    dataSet_ = nullptr;
    while (!links_.empty())
        links_.back()->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet)
{
    if (dataSet == dataSet_)
        return;
    if (dataSet_ != nullptr)
        dataSet_->removeDataSource(this);
    dataSet_ = dataSet;
    if (dataSet_ != nullptr)
        dataSet_->addDataSource(this);
    updateState();
}

void TDataSource::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    updateState();
}

TDataSetState TDataSource::State() const noexcept
{
    if (dataSet_ == nullptr || !enabled_)
        return TDataSetState::dsInactive;
    return dataSet_->State();
}

void TDataSource::Edit()
{
    if (autoEdit_ && State() == TDataSetState::dsBrowse)
        dataSet_->Edit();
}

void TDataSource::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == dataSet_)
        SetDataSet(nullptr);
}

void TDataSource::dataEvent(TDataEvent event, int distance, TField* field)
{
    if (event == TDataEvent::deUpdateState) {
        updateState();
        return;
    }
    if (State() == TDataSetState::dsInactive)
        return;
    std::exception_ptr failure;
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* link : links) {
        if (std::ranges::find(links_, link) == links_.end())
            continue;
        try {
            link->dataEvent(event, distance, field);
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TDataSource::addLink(TDataLink* link)
{
    if (std::ranges::find(links_, link) == links_.end())
        links_.push_back(link);
}

void TDataSource::removeLink(TDataLink* link) noexcept
{
    std::erase(links_, link);
}

void TDataSource::updateState()
{
    // Every link hears of the new state even when one of them fails; the first failure goes on.
    std::exception_ptr failure;
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* link : links) {
        if (std::ranges::find(links_, link) == links_.end())
            continue;
        try {
            link->updateState();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

}  // namespace vcl
