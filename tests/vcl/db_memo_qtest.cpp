// The full-text view: the current row's text with its line breaks, empty while there is none, reloaded
// on every notification, selectable and copyable, and unchanged by typing for now.
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTest>
#include <gtest/gtest.h>

#include "memory_dataset.h"
#include "test_window.h"
#include "vcl/data/data_source.h"
#include "vcl/data/exceptions.h"
#include "vcl/widgets/db_memo.h"
#include "vcl/widgets/edit.h"

using namespace vcl;
using testing_support::MemoryDataSet;
using testing_support::TestWindow;

namespace {

struct MemoOnWindow {
    TestWindow window;
    TDataSource* source = new TDataSource(&window);
    TDBMemo* memo = new TDBMemo(&window);

    MemoOnWindow()
    {
        memo->SetName("DBMemo1");
        memo->SetBounds(24, 288, 609, 113);
        memo->Font().SetName("宋体");
        memo->Font().SetHeight(-16);
        memo->Font().SetCharset(GB2312_CHARSET);
        memo->Font().SetColor(clBlue);
        memo->SetDataSource(source);
        memo->SetDataField("题目");
    }
    void show(TDataSet& data)
    {
        source->SetDataSet(&data);
        data.Open();
    }
    QPlainTextEdit* edit() const { return memo->textEdit(); }
};

}  // namespace

TEST(DBMemo, ShowsTheCurrentRowAndFollowsItsMoves)
{
    MemoOnWindow view;
    MemoryDataSet data("题目", {"甲", std::nullopt, "丙"});
    view.show(data);
    EXPECT_EQ(view.memo->Text(), "甲");
    data.Next();
    EXPECT_EQ(view.memo->Text(), "");  // Null reads as empty text
    data.Next();
    EXPECT_EQ(view.memo->Text(), "丙");
    data.First();
    EXPECT_EQ(view.memo->Text(), "甲");
}

TEST(DBMemo, KeepsTheLineBreaksOfTheText)
{
    MemoOnWindow view;
    MemoryDataSet data("题目", {"第一行\r\n第二行\n第三行\r第四行"});
    view.show(data);
    EXPECT_EQ(view.memo->Text(), "第一行\n第二行\n第三行\n第四行");
    EXPECT_EQ(view.edit()->document()->blockCount(), 4);
}

TEST(DBMemo, EmptyWhileClosedOrWithoutRows)
{
    MemoOnWindow view;
    MemoryDataSet data("题目", {"甲"});
    view.show(data);
    ASSERT_EQ(view.memo->Text(), "甲");
    data.Close();
    EXPECT_EQ(view.memo->Text(), "");
    MemoryDataSet empty("题目", {});
    view.show(empty);
    EXPECT_EQ(view.memo->Text(), "");
}

TEST(DBMemo, ReloadsWhenAChangeStartsAndIsCancelled)
{
    MemoOnWindow view;
    MemoryDataSet data("题目", {"甲", "乙"});
    view.show(data);
    data.Edit();
    data.FieldByName("题目")->SetAsString("改过的");
    EXPECT_EQ(view.memo->Text(), "改过的");
    data.Cancel();
    EXPECT_EQ(view.memo->Text(), "甲");
}

TEST(DBMemo, AMissingFieldRaisesWithTheViewsName)
{
    MemoOnWindow view;
    MemoryDataSet data("答案", {"甲"});
    view.source->SetDataSet(&data);
    try {
        data.Open();
        FAIL() << "the open should have raised";
    } catch (const EDatabaseError& failure) {
        EXPECT_EQ(failure.Message(), "DBMemo1: Field '题目' not found");
    }
    EXPECT_EQ(view.memo->Text(), "");
}

TEST(DBMemo, WrapsWordsWithoutScrollBars)
{
    MemoOnWindow view;
    MemoryDataSet data("题目", {std::string(200, 'x') + " " + "很长的题目很长的题目很长的题目很长的题目很长的题目很长的题目"
                                                                "很长的题目很长的题目很长的题目很长的题目"});
    view.show(data);
    view.window.showActive();
    EXPECT_EQ(view.edit()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(view.edit()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(view.edit()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_FALSE(view.edit()->verticalScrollBar()->isVisible());
    EXPECT_EQ(view.edit()->document()->blockCount(), 1);
    EXPECT_GT(view.edit()->document()->firstBlock().layout()->lineCount(), 2);
}

TEST(DBMemo, BlueSixteenPixelText)
{
    MemoOnWindow view;
    EXPECT_EQ(view.edit()->font().pixelSize(), 16);
    EXPECT_EQ(view.edit()->palette().color(QPalette::Text), QColor(0, 0, 255));
}

TEST(DBMemo, TextCanBeSelectedAndCopied)
{
    MemoOnWindow view;
    MemoryDataSet data("题目", {"可以复制的题目"});
    view.show(data);
    view.window.showActive();
    view.memo->SetFocus();
    QTest::keyClick(view.edit(), Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(view.edit(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(view.edit(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(view.edit()->textCursor().selectedText(), QString::fromUtf8("可以"));
    QApplication::clipboard()->clear();
    QTest::keyClick(view.edit(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("可以"));
}

struct TypedKey {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* text;
};

class DBMemoTyping : public ::testing::TestWithParam<TypedKey> {};

// Rows that cannot be changed: a changing key has no effect at all, and the box still looks editable.
TEST_P(DBMemoTyping, OnRowsThatCannotChangeDoesNothing)
{
    const TypedKey typed = GetParam();
    MemoOnWindow view;
    MemoryDataSet data("题目", {"原来的题目"});
    data.modifiable = false;
    view.show(data);
    view.window.showActive();
    view.memo->SetFocus();
    QApplication::clipboard()->setText("粘贴的");
    QTest::keyClick(view.edit(), Qt::Key_End);
    QTest::keyClick(view.edit(), Qt::Key_Left, Qt::ShiftModifier);
    QTest::sendKeyEvent(QTest::Click, view.edit(), typed.key, QString::fromUtf8(typed.text), typed.modifiers);
    EXPECT_EQ(view.memo->Text(), "原来的题目") << typed.name;
    EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
    EXPECT_FALSE(view.edit()->isReadOnly());  // it does not look read-only
}

// Rows that can be changed: the same key first starts a change of the current row, then takes effect.
TEST_P(DBMemoTyping, StartsAChangeOfTheRow)
{
    const TypedKey typed = GetParam();
    MemoOnWindow view;
    MemoryDataSet data("题目", {"原来的题目"});
    view.show(data);
    view.window.showActive();
    view.memo->SetFocus();
    QApplication::clipboard()->setText("粘贴的");
    QTest::keyClick(view.edit(), Qt::Key_End);
    QTest::keyClick(view.edit(), Qt::Key_Left, Qt::ShiftModifier);
    QTest::sendKeyEvent(QTest::Click, view.edit(), typed.key, QString::fromUtf8(typed.text), typed.modifiers);
    if (std::string(typed.name) != "undo") {  // with nothing to undo, undo starts the change and alters nothing
        EXPECT_NE(view.memo->Text(), "原来的题目") << typed.name;
    }
    EXPECT_EQ(data.State(), TDataSetState::dsEdit) << typed.name;
    EXPECT_EQ(data.Fields(0)->AsString(), "原来的题目") << "nothing is written before the view loses the focus";
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DBMemoTyping,
    ::testing::Values(TypedKey{"letter", Qt::Key_A, Qt::NoModifier, "a"},
                      TypedKey{"blank", Qt::Key_Space, Qt::NoModifier, " "},
                      TypedKey{"chinese", Qt::Key_unknown, Qt::NoModifier, "题"},
                      TypedKey{"backspace", Qt::Key_Backspace, Qt::NoModifier, ""},
                      TypedKey{"delete", Qt::Key_Delete, Qt::NoModifier, ""},
                      TypedKey{"enter", Qt::Key_Return, Qt::NoModifier, "\r"},
                      TypedKey{"paste", Qt::Key_V, Qt::ControlModifier, ""},
                      TypedKey{"shift insert", Qt::Key_Insert, Qt::ShiftModifier, ""},
                      TypedKey{"cut", Qt::Key_X, Qt::ControlModifier, ""},
                      TypedKey{"undo", Qt::Key_Z, Qt::ControlModifier, ""}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(DBMemo, AnInputMethodCommitChangesOnlyRowsThatCanChange)
{
    for (bool modifiable : {false, true}) {
        MemoOnWindow view;
        MemoryDataSet data("题目", {"原来的题目"});
        data.modifiable = modifiable;
        view.show(data);
        view.window.showActive();
        view.memo->SetFocus();
        QTest::keyClick(view.edit(), Qt::Key_End);
        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUtf8("新"));
        QApplication::sendEvent(view.edit(), &commit);
        EXPECT_EQ(view.memo->Text(), modifiable ? "原来的题目新" : "原来的题目");
        EXPECT_EQ(data.State(), modifiable ? TDataSetState::dsEdit : TDataSetState::dsBrowse);
    }
}

TEST(DBMemo, LosingTheFocusWritesTheTextIntoTheRowAndAMoveSavesIt)
{
    MemoOnWindow view;
    auto* edit = new TEdit(&view.window);
    edit->SetBounds(160, 261, 473, 20);
    MemoryDataSet data("题目", {"第一题", "第二题"});
    view.show(data);
    view.window.showActive();
    view.memo->SetFocus();
    QTest::keyClick(view.edit(), Qt::Key_End);
    QTest::keyClicks(view.edit(), "ab");
    QTest::keyClick(view.edit(), Qt::Key_Return);
    QTest::keyClicks(view.edit(), "c");
    edit->SetFocus();
    EXPECT_EQ(data.State(), TDataSetState::dsEdit) << "the change stays pending until the row moves";
    EXPECT_EQ(data.Fields(0)->AsString(), "第一题ab\r\nc") << "line breaks are written as the bank keeps them";
    data.Next();
    EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(data.textAt(0, *data.Fields(0)), "第一题ab\r\nc");
    EXPECT_EQ(view.memo->Text(), "第二题");
}

TEST(DBMemo, EscapePutsBackWhatTheRowHolds)
{
    MemoOnWindow view;
    auto* edit = new TEdit(&view.window);
    MemoryDataSet data("题目", {"原来"});
    view.show(data);
    view.window.showActive();
    view.memo->SetFocus();
    QTest::keyClick(view.edit(), Qt::Key_End);
    QTest::keyClicks(view.edit(), "x");
    QTest::keyClick(view.edit(), Qt::Key_Escape);
    EXPECT_EQ(view.memo->Text(), "原来") << "before any write: the stored text";
    QTest::keyClick(view.edit(), Qt::Key_End);
    QTest::keyClicks(view.edit(), "y");
    edit->SetFocus();
    view.memo->SetFocus();
    QTest::keyClick(view.edit(), Qt::Key_End);
    QTest::keyClicks(view.edit(), "z");
    QTest::keyClick(view.edit(), Qt::Key_Escape);
    EXPECT_EQ(view.memo->Text(), "原来y") << "after a write: the text as last written";
    EXPECT_EQ(data.State(), TDataSetState::dsEdit) << "the change stays pending";
}

TEST(DBMemo, TypingIntoAnEmptyResultStartsANewRow)
{
    MemoOnWindow view;
    MemoryDataSet data("题目", {});
    view.show(data);
    view.window.showActive();
    view.memo->SetFocus();
    QTest::keyClicks(view.edit(), "new");
    EXPECT_EQ(data.State(), TDataSetState::dsInsert);
    EXPECT_EQ(view.memo->Text(), "new");
}

TEST(DBMemo, TypingWhileTheQueryIsClosedDoesNothing)
{
    MemoOnWindow view;
    MemoryDataSet data("题目", {"甲"});
    view.show(data);
    data.Close();
    view.window.showActive();
    view.memo->SetFocus();
    QTest::keyClicks(view.edit(), "abc");
    EXPECT_EQ(view.memo->Text(), "");
}

TEST(DBMemo, TabMovesTheFocusOn)
{
    MemoOnWindow view;
    auto* edit = new TEdit(&view.window);
    edit->SetBounds(160, 261, 473, 20);
    MemoryDataSet data("题目", {"甲"});
    view.show(data);
    view.window.showActive();
    view.memo->SetFocus();
    QTest::keyClick(view.edit(), Qt::Key_Tab);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(view.memo->Text(), "甲");
}
