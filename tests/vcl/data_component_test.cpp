// Ownership, release order, loading and failures handed up to the owner.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vcl/data/component.h"
#include "vcl/data/exceptions.h"

namespace {

struct Tracked : vcl::TComponent {
    Tracked(vcl::TComponent* owner, std::string name, std::vector<std::string>& log) : TComponent(owner), log_(log)
    {
        SetName(std::move(name));
    }
    ~Tracked() override { log_.push_back(Name()); }
    std::vector<std::string>& log_;
};

TEST(Component, OwnerReleasesItsComponentsLastFirst)
{
    std::vector<std::string> log;
    {
        vcl::TComponent form;
        new Tracked(&form, "lbl1", log);
        new Tracked(&form, "ds1", log);
        new Tracked(&form, "qry1", log);
        EXPECT_EQ(form.ComponentCount(), 3);
        EXPECT_EQ(form.FindComponent("QRY1")->Name(), "qry1");
        EXPECT_EQ(form.FindComponent("none"), nullptr);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"qry1", "ds1", "lbl1"}));
}

TEST(Component, ReleasedComponentLeavesItsOwner)
{
    std::vector<std::string> log;
    vcl::TComponent form;
    auto* first = new Tracked(&form, "a", log);
    new Tracked(&form, "b", log);
    delete first;
    ASSERT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.Components(0)->Name(), "b");
}

TEST(Component, LoadedEndsTheLoadingPhase)
{
    vcl::TComponent component;
    EXPECT_FALSE(component.Loading());
    component.BeginLoading();
    EXPECT_TRUE(component.Loading());
    component.Loaded();
    EXPECT_FALSE(component.Loading());
}

struct Catcher : vcl::TComponent {
    void HandleException(std::exception_ptr failure) override
    {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            caught.push_back(e.what());
        }
    }
    std::vector<std::string> caught;
};

TEST(Component, FailuresGoUpToTheOwnerOrAreRaisedWithoutOne)
{
    Catcher form;
    auto* child = new vcl::TComponent(&form);
    auto* grandchild = new vcl::TComponent(child);
    grandchild->HandleException(std::make_exception_ptr(vcl::EDatabaseError("boom")));
    EXPECT_EQ(form.caught, (std::vector<std::string>{"boom"}));
}

TEST(Component, WithoutAnOwnerTheFailureIsRaised)
{
    vcl::TComponent alone;
    EXPECT_THROW(alone.HandleException(std::make_exception_ptr(vcl::EAbort(""))), vcl::EAbort);
}

}  // namespace
