// Editing and deleting through the main window's views, on a real bank: what reaches the file, what
// the views and the status line show, and that no pending change is lost.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "jet/database.h"
#include "main_window_fixture.h"
#include "vcl/data/ado_query.h"
#include "vcl/widgets/db_grid.h"
#include "vcl/widgets/db_memo.h"
#include "vcl/widgets/edit.h"
#include "vcl/widgets/status_bar.h"

namespace {

using testing_support::MainWindowTest;
using testing_support::numberedQuestions;

class MainWindowEditing : public MainWindowTest {
protected:
    void start(int questions)
    {
        writeBank(numberedQuestions(questions));
        buildMainWindow();
        showMainWindow();
    }
    QPlainTextEdit* memo() const { return Form1->DBMemo1->textEdit(); }
    QWidget* list() const { return Form1->dbgrd1->view(); }
    QWidget* searchBox() const { return Form1->edt1->lineEdit(); }
    std::string status() const { return Form1->StatusBar1->Panels()[0]->Text(); }

    // The questions as the file holds them now, read by a reader of its own.
    std::vector<std::string> stored() const
    {
        std::vector<std::string> texts;
        auto db = jet::Database::open(folder_ / "data.mdb");
        auto reader = db->read("tiku");
        std::vector<jet::Value> row;
        while (reader.next(row))
            texts.push_back(std::get<std::string>(row[1]));
        return texts;
    }

    void typeIntoMemo(const char* text)
    {
        memo()->setFocus();
        QTest::keyClick(memo(), Qt::Key_End);
        QTest::keyClicks(memo(), text);
    }
};

TEST_F(MainWindowEditing, AnEditIsSavedWhenTheCurrentRowMoves)
{
    start(3);
    typeIntoMemo(" changed");
    list()->setFocus();
    EXPECT_EQ(stored()[0], "question 1") << "nothing is written before the row moves";
    QTest::keyClick(list(), Qt::Key_Down);
    EXPECT_EQ(stored(), (std::vector<std::string>{"question 1 changed", "question 2", "question 3"}));
    EXPECT_EQ(Form1->qry1->State(), vcl::TDataSetState::dsBrowse);
    EXPECT_EQ(memo()->toPlainText().toStdString(), "question 2");
}

TEST_F(MainWindowEditing, EscapeInTheListBringsBackTheStoredText)
{
    start(2);
    typeIntoMemo(" changed");
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_EQ(memo()->toPlainText().toStdString(), "question 1");
    QTest::keyClick(list(), Qt::Key_Down);
    EXPECT_EQ(stored()[0], "question 1");
}

TEST_F(MainWindowEditing, ASearchSavesAPendingChangeFirst)
{
    start(3);
    typeIntoMemo(" kept");
    searchBox()->setFocus();
    QTest::keyClicks(searchBox(), "kept");
    EXPECT_EQ(stored()[0], "question 1 kept");
    EXPECT_EQ(Form1->qry1->RecordCount(), 1) << "the search then runs and finds the saved text";
    EXPECT_EQ(memo()->toPlainText().toStdString(), "question 1 kept");
}

TEST_F(MainWindowEditing, ClosingTheWindowSavesAPendingChange)
{
    start(2);
    typeIntoMemo(" kept");
    Form1->Close();
    EXPECT_EQ(stored()[0], "question 1 kept");
    // Closing the main window asked the (not running) event loop to end; a loop run and ended here takes
    // that request, so that it does not end the next test's boxes at once.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

TEST_F(MainWindowEditing, CtrlDeleteAnsweredCancelChangesNothing)
{
    start(3);
    boxes_.setPress("Cancel");
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(boxes_.boxes().size(), 1u);
    EXPECT_EQ(boxes_.boxes()[0].caption, "Confirm");
    EXPECT_EQ(boxes_.boxes()[0].text, "Delete record?");
    EXPECT_EQ(boxes_.boxes()[0].defaultButton, "OK");
    EXPECT_EQ(stored().size(), 3u);
    EXPECT_EQ(status(), "数据库中共有问题： 3 条");
}

TEST_F(MainWindowEditing, CtrlDeleteAnsweredOkDeletesTheRowAndCountsAgain)
{
    start(3);
    boxes_.setPress("OK");
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Down);
    QTest::keyClick(list(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(stored(), (std::vector<std::string>{"question 1", "question 3"}));
    EXPECT_EQ(memo()->toPlainText().toStdString(), "question 3") << "the next row becomes current";
    EXPECT_EQ(status(), "数据库中共有问题： 2 条");
}

TEST_F(MainWindowEditing, CtrlDeleteOnAnEmptyResultShowsNoBox)
{
    start(2);
    searchBox()->setFocus();
    QTest::keyClicks(searchBox(), "nowhere");
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(boxes_.boxes().empty());
    EXPECT_EQ(stored().size(), 2u);
}

TEST_F(MainWindowEditing, TypingOnAnEmptyResultAddsAQuestionOnTheNextMove)
{
    start(2);
    searchBox()->setFocus();
    QTest::keyClicks(searchBox(), "nowhere");
    typeIntoMemo("a new question");
    EXPECT_EQ(Form1->qry1->State(), vcl::TDataSetState::dsInsert);
    EXPECT_EQ(Form1->dbgrd1->indicator(), vcl::GridIndicator::Inserting);
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Up);
    EXPECT_EQ(stored(), (std::vector<std::string>{"question 1", "question 2", "a new question"}));
    EXPECT_EQ(status(), "数据库中共有问题： 3 条");
}

}  // namespace
