// The list of text lines and the changes it tells.
#include <gtest/gtest.h>

#include "vcl/data/strings.h"

namespace {

struct CountingList : testing::Test {
    vcl::TStringList list;
    int changes = 0;
    void SetUp() override { list.OnChange = [this] { ++changes; }; }
};

TEST_F(CountingList, TextEndsEveryLineWithCrLf)
{
    EXPECT_EQ(list.Text(), "");
    list.Add("select * from tiku");
    EXPECT_EQ(list.Text(), "select * from tiku\r\n");
    list.Add("题目");
    EXPECT_EQ(list.Text(), "select * from tiku\r\n题目\r\n");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list[1], "题目");
    EXPECT_EQ(changes, 2);
}

TEST_F(CountingList, ClearOnAnEmptyListChangesNothing)
{
    list.Clear();
    EXPECT_EQ(changes, 0);
    list.Add("a");
    list.Clear();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(CountingList, SetTextSplitsAtEveryKindOfLineBreakInOneChange)
{
    list.SetText("a\r\nb\nc\rd");
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[3], "d");
    EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");
}

TEST_F(CountingList, UpdatesTellOneChangeAtTheEnd)
{
    list.BeginUpdate();
    list.Add("a");
    list.Add("b");
    EXPECT_EQ(changes, 0);
    list.EndUpdate();
    EXPECT_EQ(changes, 1);
}

TEST_F(CountingList, IndexesOutsideTheListThrow)
{
    EXPECT_THROW(list[0], std::out_of_range);
    EXPECT_THROW(list.Delete(0), std::out_of_range);
    EXPECT_THROW(list.Insert(1, "x"), std::out_of_range);
    EXPECT_EQ(changes, 0);
}

}  // namespace
