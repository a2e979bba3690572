#pragma once
// The root of every component: a name, an owner that releases what it owns, and the loading phase in which
// a window description is applied before the components are told, by Loaded(), that it is complete.
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace vcl {

enum class TOperation { opInsert, opRemove };

class TComponent {
public:
    // An owner, when given, takes the new component into its list and releases it with itself.
    explicit TComponent(TComponent* owner = nullptr);
    // Releases the owned components, the last one first, and leaves the owner's list.
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const noexcept { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    TComponent* Owner() const noexcept { return owner_; }

    int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<std::size_t>(index)); }
    TComponent* FindComponent(std::string_view name) const;  // an owned component by name, case ignored (ASCII)

    // Releases every owned component now, the last one first. A form calls it at the start of its
    // destructor, so that its components go while the form is still whole.
    void DestroyComponents();

    // Loading: BeginLoading marks the component while its description is applied; Loaded ends that phase.
    // Overrides call the base first and then act on what the description noted (a query opens there).
    bool Loading() const noexcept { return loading_; }
    void BeginLoading() noexcept { loading_ = true; }
    virtual void Loaded();

    // A failure that a component catches itself (the open at the end of loading) goes here. The default
    // passes it to the owner, and without an owner raises it again; the form hands it to the application.
    virtual void HandleException(std::exception_ptr failure);

protected:
    // Told to the owner and to every component it owns when a component joins or leaves the owner, so
    // that references to a component that goes can be dropped.
    virtual void Notification(TComponent* component, TOperation operation);

private:
    void insertComponent(TComponent* component);
    void removeComponent(TComponent* component);

    std::string name_;
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    bool loading_ = false;
};

}  // namespace vcl
