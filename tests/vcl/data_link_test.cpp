// What a data source tells the links of its views, and in which order.
#include <gtest/gtest.h>

#include <memory>

#include "data_memory_dataset.h"

namespace {

using testing_support::MemoryDataSet;
using testing_support::RecordingLink;
using Log = std::vector<std::string>;

struct Linked : testing::Test {
    MemoryDataSet data{{"ID", "题目"}, {{"1", "甲"}, {"2", "乙"}}};
    vcl::TDataSource source;
    RecordingLink link;

    void SetUp() override
    {
        source.SetDataSet(&data);
        link.SetDataSource(&source);
    }
    // What the link was told since the last call.
    Log told()
    {
        Log log = std::move(link.log);
        link.log.clear();
        return log;
    }
};

TEST_F(Linked, OpenAndCloseAreToldAsActiveChanges)
{
    EXPECT_FALSE(link.Active());
    data.Open();
    EXPECT_TRUE(link.Active());
    EXPECT_EQ(told(), Log{"active"});
    data.Close();
    EXPECT_EQ(told(), Log{"inactive"});
}

TEST_F(Linked, TheViewsAreToldOfACloseWhileTheResultIsStillThere)
{
    struct ReadsOnClose : RecordingLink {
        std::string seen;
        void ActiveChanged() override
        {
            if (!Active() && DataSet()->FieldCount() > 0)
                seen = "fields still there";
        }
    } reader;
    reader.SetDataSource(&source);
    data.Open();
    data.Close();
    EXPECT_EQ(reader.seen, "fields still there");
    EXPECT_EQ(data.FieldCount(), 0);
}

TEST_F(Linked, MovesAreToldWithTheirDistance)
{
    data.Open();
    told();
    data.Next();
    EXPECT_EQ(told(), Log{"scrolled 1"});
    data.Next();  // already at the last row: nothing moved
    EXPECT_EQ(told(), Log{});
    data.First();
    EXPECT_EQ(told(), Log{"scrolled -1"});
}

TEST_F(Linked, EditSetPostAndCancel)
{
    data.Open();
    told();
    data.Edit();
    EXPECT_EQ(told(), (Log{"editing", "record *"}));
    EXPECT_TRUE(link.Editing());
    data.FieldByName("题目")->SetAsString("新");
    EXPECT_EQ(told(), Log{"record 题目"});
    data.Post();
    EXPECT_EQ(told(), (Log{"update data", "not editing", "changed"}));
    data.Edit();
    told();
    data.Cancel();
    EXPECT_EQ(told(), (Log{"not editing", "changed"}));
}

TEST_F(Linked, AMoveWritesTheViewsTextThenPostsThenMoves)
{
    data.Open();
    data.Edit();
    told();
    link.field = "题目";
    link.pendingText = "改过的";
    data.Next();
    // The view writes in its UpdateData and is not told of its own field change.
    EXPECT_EQ(told(), (Log{"update data", "update data", "not editing", "changed", "scrolled 1"}));
    EXPECT_EQ(data.rows_[0][1], "改过的");
}

TEST_F(Linked, AnotherViewHearsOfTheFieldThatOneViewWrites)
{
    RecordingLink other;
    other.SetDataSource(&source);
    data.Open();
    data.Edit();
    other.log.clear();
    link.field = "题目";
    link.pendingText = "改";
    data.UpdateRecord();
    // The first view writes while the second has not yet been asked for its own text.
    EXPECT_EQ(other.log, (Log{"record 题目", "update data"}));
}

TEST_F(Linked, CloseWhileEditingTellsInactiveThenNotEditing)
{
    data.Open();
    data.Edit();
    told();
    data.Close();
    EXPECT_EQ(told(), (Log{"inactive", "not editing"}));
}

TEST_F(Linked, NewRowAndDeleteAreToldAsChanges)
{
    data.Open();
    told();
    data.Delete();
    EXPECT_EQ(told(), Log{"changed"});
    data.Delete();
    told();
    data.Edit();  // empty result: a new row
    EXPECT_EQ(told(), (Log{"editing", "changed"}));
    data.Delete();  // drops the new row
    EXPECT_EQ(told(), (Log{"not editing", "changed"}));
}

TEST_F(Linked, LinkEditStartsAnEditOnlyWithAutoEdit)
{
    data.Open();
    EXPECT_TRUE(link.Edit());
    EXPECT_EQ(data.State(), vcl::TDataSetState::dsEdit);
    data.Cancel();
    source.SetAutoEdit(false);
    EXPECT_FALSE(link.Edit());
    EXPECT_EQ(data.State(), vcl::TDataSetState::dsBrowse);
    source.SetAutoEdit(true);
    link.SetReadOnly(true);
    EXPECT_FALSE(link.Edit());
    link.SetReadOnly(false);
    data.writable = false;
    EXPECT_THROW(link.Edit(), vcl::EDatabaseError);
}

TEST_F(Linked, ADisabledSourceTellsNothingAndLooksInactive)
{
    data.Open();
    told();
    source.SetEnabled(false);
    EXPECT_EQ(told(), Log{"inactive"});
    EXPECT_EQ(source.State(), vcl::TDataSetState::dsInactive);
    data.Next();
    EXPECT_EQ(told(), Log{});
    source.SetEnabled(true);
    EXPECT_EQ(told(), Log{"active"});
}

TEST_F(Linked, EveryViewIsToldEvenWhenOneFails)
{
    struct Failing : RecordingLink {
        void ActiveChanged() override { throw vcl::EDatabaseError("DBMemo1: Field '题目' not found"); }
    } failing;
    RecordingLink after;
    failing.SetDataSource(&source);
    after.SetDataSource(&source);
    EXPECT_THROW(data.Open(), vcl::EDatabaseError);
    EXPECT_TRUE(data.Active());
    EXPECT_EQ(after.log, Log{"active"});
    EXPECT_EQ(told(), Log{"active"});
}

TEST(LinkLifetime, ADataSetThatGoesLeavesItsSourcesAndLinksInactive)
{
    vcl::TDataSource source;
    RecordingLink link;
    link.SetDataSource(&source);
    {
        MemoryDataSet data({"题目"}, {{"a"}});
        source.SetDataSet(&data);
        data.Open();
        link.log.clear();
    }
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(link.log, Log{"inactive"});
}

TEST(LinkLifetime, ASourceThatGoesLetsItsLinksGo)
{
    MemoryDataSet data({"题目"}, {{"a"}});
    RecordingLink link;
    {
        vcl::TDataSource source;
        source.SetDataSet(&data);
        link.SetDataSource(&source);
        data.Open();
    }
    EXPECT_EQ(link.DataSource(), nullptr);
    EXPECT_FALSE(link.Active());
    EXPECT_TRUE(data.dataSources().empty());
    auto gone = std::make_unique<RecordingLink>();
    vcl::TDataSource source;
    gone->SetDataSource(&source);
    gone.reset();
    EXPECT_TRUE(source.dataLinks().empty());
}

TEST(LinkLifetime, AnOwnedDataSetReleasedFirstIsDroppedBySourcesOfTheSameOwner)
{
    auto form = std::make_unique<vcl::TComponent>();
    auto* source = new vcl::TDataSource(form.get());
    auto* data = new MemoryDataSet({"题目"}, {{"a"}}, form.get());
    source->SetDataSet(data);
    data->Open();
    form.reset();  // qry1 goes first, then ds1: no dangling reference on the way
    SUCCEED();
}

}  // namespace
