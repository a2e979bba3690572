#include "vcl/data/component.h"

#include <algorithm>
#include <cctype>

namespace vcl {

namespace {
bool sameNameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}
}  // namespace

TComponent::TComponent(TComponent* owner)
{
    if (owner != nullptr)
        owner->insertComponent(this);
}

TComponent::~TComponent()
{
    DestroyComponents();
    if (owner_ != nullptr)
        owner_->removeComponent(this);
}

TComponent* TComponent::FindComponent(std::string_view name) const
{
    if (name.empty())
        return nullptr;
    for (TComponent* component : components_)
        if (sameNameIgnoringCase(component->Name(), name))
            return component;
    return nullptr;
}

void TComponent::DestroyComponents()
{
    while (!components_.empty()) {
        TComponent* last = components_.back();
        // The destructor takes it out of the list through removeComponent.
        delete last;
    }
}

void TComponent::Loaded()
{
    loading_ = false;
}

void TComponent::HandleException(std::exception_ptr failure)
{
    if (owner_ != nullptr)
        owner_->HandleException(failure);
    else
        std::rethrow_exception(failure);
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::insertComponent(TComponent* component)
{
    components_.push_back(component);
    component->owner_ = this;
    Notification(component, TOperation::opInsert);
    for (TComponent* sibling : components_)
        if (sibling != component)
            sibling->Notification(component, TOperation::opInsert);
}

void TComponent::removeComponent(TComponent* component)
{
    const auto found = std::find(components_.begin(), components_.end(), component);
    if (found == components_.end())
        return;
    components_.erase(found);
    component->owner_ = nullptr;
    Notification(component, TOperation::opRemove);
    for (TComponent* sibling : components_)
        sibling->Notification(component, TOperation::opRemove);
}

}  // namespace vcl
