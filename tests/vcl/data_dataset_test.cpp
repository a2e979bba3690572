// The dataset's states, moves and changes, over rows held in memory.
#include <gtest/gtest.h>

#include <functional>

#include "data_memory_dataset.h"

namespace {

using testing_support::MemoryDataSet;
using testing_support::Row;
using vcl::TDataSetState;

std::vector<Row> threeQuestions()
{
    return {{"1", "甲"}, {"2", std::nullopt}, {"3", "丙"}};
}

// The message of the failure that call raises, or "" when it raises none.
std::string failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const vcl::Exception& e) {
        return e.Message();
    }
    return "";
}

struct OpenDataSet : testing::Test {
    MemoryDataSet data{{"ID", "题目"}, threeQuestions()};
    void SetUp() override { data.Open(); }
    std::string question() const { return data.FieldByName("题目")->AsString(); }
};

TEST(ClosedDataSet, RefusesWhatNeedsAResult)
{
    MemoryDataSet data({"题目"});
    EXPECT_EQ(data.State(), TDataSetState::dsInactive);
    EXPECT_FALSE(data.Active());
    EXPECT_TRUE(data.IsEmpty());
    EXPECT_EQ(data.RecNo(), -1);
    EXPECT_EQ(data.FieldCount(), 0);
    EXPECT_EQ(data.displayRowCount(), 0);
    EXPECT_FALSE(data.CanModify());
    const std::string closed = "qry1: Cannot perform this operation on a closed dataset";
    EXPECT_EQ(failureOf([&] { data.RecordCount(); }), closed);
    EXPECT_EQ(failureOf([&] { data.Next(); }), closed);
    EXPECT_EQ(failureOf([&] { data.First(); }), closed);
    EXPECT_EQ(failureOf([&] { data.Edit(); }), closed);
    EXPECT_EQ(failureOf([&] { data.Delete(); }), closed);
    EXPECT_EQ(failureOf([&] { data.Close(); }), "");
    EXPECT_EQ(failureOf([&] { data.Cancel(); }), "");
}

TEST_F(OpenDataSet, FirstRowIsCurrent)
{
    EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(data.RecordCount(), 3);
    EXPECT_EQ(data.RecNo(), 1);
    EXPECT_TRUE(data.Bof());
    EXPECT_FALSE(data.Eof());
    EXPECT_FALSE(data.IsEmpty());
    ASSERT_EQ(data.FieldCount(), 2);
    EXPECT_EQ(data.Fields(1)->FieldName(), "题目");
    EXPECT_EQ(question(), "甲");
    data.Open();  // on an open dataset nothing happens
    EXPECT_EQ(data.RecNo(), 1);
}

TEST_F(OpenDataSet, NullReadsAsEmptyText)
{
    data.Next();
    EXPECT_TRUE(data.FieldByName("题目")->IsNull());
    EXPECT_EQ(question(), "");
    EXPECT_FALSE(data.FieldByName("ID")->IsNull());
}

TEST_F(OpenDataSet, FieldByNameNamesTheDataSetAndTheField)
{
    EXPECT_EQ(data.FindField("id"), data.Fields(0));
    EXPECT_EQ(data.FindField("none"), nullptr);
    EXPECT_EQ(failureOf([&] { data.FieldByName("答案"); }), "qry1: Field '答案' not found");
}

struct MoveCase {
    const char* title;
    std::function<void(vcl::TDataSet&)> move;
    int recNo;
    bool bof, eof;
};

class Moves : public testing::TestWithParam<MoveCase> {};

TEST_P(Moves, StopAtTheFirstAndTheLastRow)
{
    MemoryDataSet data({"ID", "题目"}, threeQuestions());
    data.Open();
    GetParam().move(data);
    EXPECT_EQ(data.RecNo(), GetParam().recNo);
    EXPECT_EQ(data.Bof(), GetParam().bof);
    EXPECT_EQ(data.Eof(), GetParam().eof);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Moves,
    testing::Values(MoveCase{"next", [](vcl::TDataSet& d) { d.Next(); }, 2, false, false},
                    MoveCase{"prior at the first row", [](vcl::TDataSet& d) { d.Prior(); }, 1, true, false},
                    MoveCase{"last", [](vcl::TDataSet& d) { d.Last(); }, 3, false, true},
                    MoveCase{"next at the last row", [](vcl::TDataSet& d) { d.Last(); d.Next(); }, 3, false, true},
                    MoveCase{"first after last", [](vcl::TDataSet& d) { d.Last(); d.First(); }, 1, true, false},
                    MoveCase{"by more than there is", [](vcl::TDataSet& d) { EXPECT_EQ(d.MoveBy(10), 2); }, 3, false, true},
                    MoveCase{"back by more than there is",
                             [](vcl::TDataSet& d) { d.Last(); EXPECT_EQ(d.MoveBy(-10), -2); }, 1, true, false},
                    MoveCase{"to a row number", [](vcl::TDataSet& d) { d.MoveTo(2); }, 2, false, false},
                    MoveCase{"to row 0 or less", [](vcl::TDataSet& d) { d.Last(); d.MoveTo(-5); }, 1, false, false},
                    MoveCase{"to beyond the last row", [](vcl::TDataSet& d) { d.MoveTo(99); }, 3, false, false}));

TEST(DataSetOpen, AFailedOpenLeavesNothingOpenAndTheNextOneWorks)
{
    MemoryDataSet data({"题目"}, {{"a"}});
    data.failOpen = "找不到文件 data.mdb.";
    EXPECT_EQ(failureOf([&] { data.Open(); }), "找不到文件 data.mdb");
    EXPECT_FALSE(data.Active());
    EXPECT_EQ(data.FieldCount(), 0);
    data.failOpen.clear();
    data.Open();
    EXPECT_EQ(data.RecordCount(), 1);
}

TEST_F(OpenDataSet, EditPostWritesTheRowAtOnce)
{
    data.Edit();
    EXPECT_EQ(data.State(), TDataSetState::dsEdit);
    EXPECT_FALSE(data.Modified());
    data.FieldByName("题目")->SetAsString("新题");
    EXPECT_TRUE(data.Modified());
    EXPECT_EQ(question(), "新题");
    EXPECT_EQ(data.rows_[0][1], "甲");  // nothing written before the post
    data.Post();
    EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(data.rows_[0][1], "新题");
    EXPECT_EQ(question(), "新题");
    EXPECT_EQ(data.RecNo(), 1);
}

TEST_F(OpenDataSet, CancelDropsTheChange)
{
    data.Edit();
    data.FieldByName("题目")->SetAsString("新题");
    data.Cancel();
    EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(question(), "甲");
    EXPECT_EQ(data.writes, 0);
}

TEST_F(OpenDataSet, AMovePostsAChangedRowFirst)
{
    data.Edit();
    data.FieldByName("题目")->SetAsString("新题");
    data.Next();
    EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(data.rows_[0][1], "新题");
    EXPECT_EQ(data.RecNo(), 2);
}

TEST_F(OpenDataSet, AMoveCancelsAnUnchangedRowWithoutWriting)
{
    data.Edit();
    data.Last();
    EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(data.writes, 0);
    EXPECT_EQ(data.RecNo(), 3);
}

TEST_F(OpenDataSet, AMoveThatCannotGoFurtherStillSavesTheChange)
{
    data.Edit();
    data.FieldByName("题目")->SetAsString("新题");
    data.Prior();
    EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(data.rows_[0][1], "新题");
}

TEST_F(OpenDataSet, AFailedPostKeepsTheChangeTheStateAndTheRow)
{
    data.Next();
    data.Edit();
    data.FieldByName("题目")->SetAsString("新题");
    data.failWrites = "磁盘已满. ";
    EXPECT_EQ(failureOf([&] { data.Next(); }), "磁盘已满");
    EXPECT_EQ(data.State(), TDataSetState::dsEdit);
    EXPECT_EQ(data.RecNo(), 2);
    EXPECT_EQ(question(), "新题");
    EXPECT_EQ(failureOf([&] { data.Post(); }), "磁盘已满");
    data.failWrites.clear();
    data.Post();
    EXPECT_EQ(data.rows_[1][1], "新题");
}

TEST_F(OpenDataSet, ReadOnlyRowsRefuseEditAndDelete)
{
    data.writable = false;
    EXPECT_FALSE(data.CanModify());
    EXPECT_EQ(failureOf([&] { data.Edit(); }), "qry1: Cannot modify a read-only dataset");
    EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(failureOf([&] { data.Delete(); }), "qry1: Cannot modify a read-only dataset");
    EXPECT_EQ(data.RecordCount(), 3);
}

TEST_F(OpenDataSet, SettingAFieldNeedsEditing)
{
    EXPECT_EQ(failureOf([&] { data.FieldByName("题目")->SetAsString("x"); }),
              "qry1: Dataset not in edit or insert mode");
    EXPECT_EQ(failureOf([&] { data.Post(); }), "qry1: Dataset not in edit or insert mode");
}

TEST_F(OpenDataSet, CloseDropsAChangeInProgress)
{
    data.Edit();
    data.FieldByName("题目")->SetAsString("新题");
    data.Close();
    EXPECT_EQ(data.State(), TDataSetState::dsInactive);
    EXPECT_EQ(data.writes, 0);
    EXPECT_EQ(data.rows_[0][1], "甲");
    data.Open();
    EXPECT_FALSE(data.Modified());
    EXPECT_EQ(question(), "甲");
}

TEST_F(OpenDataSet, DeleteMakesTheNextRowCurrentOrTheNewLastOne)
{
    data.Next();
    data.Delete();
    EXPECT_EQ(data.RecordCount(), 2);
    EXPECT_EQ(data.RecNo(), 2);
    EXPECT_EQ(question(), "丙");
    data.Delete();  // the last row: the new last row becomes current
    EXPECT_EQ(data.RecNo(), 1);
    EXPECT_EQ(question(), "甲");
    data.Delete();
    EXPECT_TRUE(data.IsEmpty());
    EXPECT_EQ(data.RecNo(), -1);
    EXPECT_TRUE(data.rows_.empty());
    EXPECT_EQ(failureOf([&] { data.Delete(); }), "qry1: Cannot perform this operation on an empty dataset");
}

TEST_F(OpenDataSet, DeleteTakesAPendingChangeWithTheRow)
{
    data.Edit();
    data.FieldByName("题目")->SetAsString("新题");
    data.Delete();
    EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(data.rows_.size(), 2u);
    EXPECT_EQ(data.rows_[0][0], "2");
    EXPECT_EQ(data.writes, 1);
}

TEST_F(OpenDataSet, AFailedDeleteKeepsTheRow)
{
    data.failWrites = "记录已锁定";
    EXPECT_EQ(failureOf([&] { data.Delete(); }), "记录已锁定");
    EXPECT_EQ(data.RecordCount(), 3);
    EXPECT_EQ(data.RecNo(), 1);
}

TEST(EmptyDataSet, EditStartsANewRowAndPostAddsIt)
{
    MemoryDataSet data({"ID", "题目"});
    data.Open();
    EXPECT_TRUE(data.IsEmpty());
    EXPECT_EQ(data.RecNo(), -1);
    data.Edit();
    EXPECT_EQ(data.State(), TDataSetState::dsInsert);
    EXPECT_FALSE(data.IsEmpty());
    EXPECT_EQ(data.displayRowCount(), 1);
    EXPECT_EQ(data.RecordCount(), 0);
    data.FieldByName("题目")->SetAsString("第一题");
    data.Post();
    ASSERT_EQ(data.rows_.size(), 1u);
    EXPECT_EQ(data.rows_[0][1], "第一题");
    EXPECT_EQ(data.rows_[0][0], std::nullopt);  // only the field that was set
    EXPECT_EQ(data.RecNo(), 1);
    EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
}

TEST(EmptyDataSet, DeleteWhileInsertingCancelsTheNewRow)
{
    MemoryDataSet data({"题目"});
    data.Open();
    data.Edit();
    data.FieldByName("题目")->SetAsString("x");
    data.Delete();
    EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
    EXPECT_TRUE(data.IsEmpty());
    EXPECT_EQ(data.writes, 0);
}

TEST(EmptyDataSet, AMoveDropsAnUnchangedNewRow)
{
    MemoryDataSet data({"题目"});
    data.Open();
    data.Edit();
    data.Prior();
    EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
    EXPECT_TRUE(data.IsEmpty());
    EXPECT_EQ(data.writes, 0);
}

TEST_F(OpenDataSet, ViewsReadRowsWithoutMovingTheCurrentOne)
{
    const vcl::TField& field = *data.FieldByName("题目");
    EXPECT_EQ(data.textAt(2, field), "丙");
    EXPECT_FALSE(data.valueAt(1, field).has_value());
    EXPECT_EQ(data.textAt(3, field), "");  // outside the result
    EXPECT_EQ(data.RecNo(), 1);
    data.Edit();
    data.FieldByName("题目")->SetAsString("改");
    EXPECT_EQ(data.textAt(0, field), "改");
    EXPECT_EQ(data.rowState(0), TDataSetState::dsEdit);
    EXPECT_EQ(data.rowState(1), TDataSetState::dsBrowse);
    data.Cancel();
    data.Next();
    data.Insert();  // a new row stands before the current one
    EXPECT_EQ(data.currentRow(), 1);
    EXPECT_EQ(data.displayRowCount(), 4);
    EXPECT_EQ(data.textAt(0, field), "甲");
    EXPECT_EQ(data.textAt(1, field), "");
    EXPECT_EQ(data.rowState(1), TDataSetState::dsInsert);
    EXPECT_EQ(data.textAt(3, field), "丙");
}

TEST(FieldPlaceholder, NamesTheTypeUpperCasedWhenThereIsAValue)
{
    EXPECT_EQ(vcl::TField::placeholder(vcl::TFieldType::ftMemo, false), "(Memo)");
    EXPECT_EQ(vcl::TField::placeholder(vcl::TFieldType::ftMemo, true), "(MEMO)");
    EXPECT_EQ(vcl::TField::placeholder(vcl::TFieldType::ftBlob, true), "(BLOB)");
}

struct Catcher : vcl::TComponent {
    void HandleException(std::exception_ptr failure) override
    {
        try {
            std::rethrow_exception(failure);
        } catch (const vcl::Exception& e) {
            caught.push_back(e.Message());
        }
    }
    std::vector<std::string> caught;
};

TEST(DataSetLoading, ActiveIsNotedWhileLoadingAndTakesEffectAtLoaded)
{
    MemoryDataSet data({"题目"}, {{"a"}});
    data.BeginLoading();
    data.Open();
    EXPECT_FALSE(data.Active());
    data.Loaded();
    EXPECT_TRUE(data.Active());
}

TEST(DataSetLoading, AFailedOpenAtLoadedGoesToTheOwnersHandling)
{
    Catcher form;
    auto* data = new MemoryDataSet({"题目"}, {}, &form);
    data->failOpen = "找不到文件 data.mdb";
    data->BeginLoading();
    data->SetActive(true);
    EXPECT_NO_THROW(data->Loaded());
    EXPECT_FALSE(data->Active());
    EXPECT_EQ(form.caught, std::vector<std::string>{"找不到文件 data.mdb"});
}

}  // namespace
