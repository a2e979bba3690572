// The controls on the real main window over a real bank: where they stand, the focus order, what the
// list and the full-text view show in each state of the query, and the list's scroll bar.
#include "main_window_fixture.h"

#include "vcl/data/ado_query.h"
#include "vcl/widgets/db_grid.h"
#include "vcl/widgets/db_memo.h"
#include "vcl/widgets/edit.h"
#include "vcl/widgets/label.h"
#include "vcl/widgets/status_bar.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

using testing_support::MainWindowTest;
using testing_support::numberedQuestions;
using namespace vcl;

QImage listImage()
{
    QWidget* view = Form1->dbgrd1->view();
    QImage image(view->size(), QImage::Format_RGB32);
    view->render(&image);
    return image;
}

// A point of the current row's data cell, right of its text.
QPoint currentCellPoint()
{
    const TDBGrid* grid = Form1->dbgrd1;
    const int row = Form1->qry1->RecNo() - 1 - grid->topRecord();
    return grid->view()->contentsRect().topLeft() +
           QPoint(500, grid->titleRowHeight() + row * grid->dataRowHeight() + 3);
}

void search(const QString& text)
{
    Form1->edt1->SetFocus();
    Form1->edt1->lineEdit()->selectAll();
    for (QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, Form1->edt1->lineEdit(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

class WidgetsOnMainWindow : public MainWindowTest {};

TEST_F(WidgetsOnMainWindow, ControlsStandWhereTheDescriptionPutsThem)
{
    writeBank(numberedQuestions(3));
    buildMainWindow();
    showMainWindow();
    if (!Form1->dbgrd1->Handle()->geometry().isValid() || Form1->ClientWidth() != 658)
        GTEST_SKIP() << "the window was scaled for this display";
    EXPECT_EQ(Form1->dbgrd1->Handle()->geometry(), QRect(22, 10, 609, 241));
    EXPECT_EQ(Form1->edt1->Handle()->geometry(), QRect(160, 261, 473, 20));
    EXPECT_EQ(Form1->DBMemo1->Handle()->geometry(), QRect(24, 288, 609, 113));
    EXPECT_EQ(Form1->StatusBar1->Handle()->geometry(), QRect(0, 415, 658, 19));
    EXPECT_EQ(Form1->lbl1->Handle()->pos(), QPoint(20, 265));
    // The status line has the whole bar although its panel is 50 pixels wide.
    EXPECT_GT(Form1->StatusBar1->panelLabel(0)->width(), 600);
}

TEST_F(WidgetsOnMainWindow, AfterStartTheTriangleMarksTheFirstRowWithoutHighlight)
{
    writeBank(numberedQuestions(30));
    buildMainWindow();
    showMainWindow();
    ASSERT_TRUE(Form1->edt1->Focused());
    EXPECT_EQ(Form1->dbgrd1->indicator(), GridIndicator::Current);
    EXPECT_EQ(Form1->dbgrd1->topRecord(), 0);
    EXPECT_EQ(Form1->DBMemo1->Text(), "question 1");
    EXPECT_EQ(listImage().pixel(currentCellPoint()), toQColor(clWindow).rgb());
    Form1->dbgrd1->SetFocus();
    EXPECT_EQ(listImage().pixel(currentCellPoint()), toQColor(clHighlight).rgb());
}

TEST_F(WidgetsOnMainWindow, TabGoesListSearchBoxFullTextAndAround)
{
    writeBank(numberedQuestions(5));
    buildMainWindow();
    showMainWindow();
    ASSERT_TRUE(Form1->edt1->Focused());
    const std::vector<TWinControl*> forward = {Form1->DBMemo1, Form1->dbgrd1, Form1->edt1};
    for (TWinControl* next : forward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_TRUE(next->Focused()) << next->Name();
    }
    const std::vector<TWinControl*> backward = {Form1->dbgrd1, Form1->DBMemo1, Form1->edt1};
    for (TWinControl* next : backward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_TRUE(next->Focused()) << next->Name();
    }
    EXPECT_EQ(Form1->qry1->RecNo(), 1);  // Tab through the list moved nothing
    EXPECT_EQ(Form1->DBMemo1->Text(), "question 1");
}

TEST_F(WidgetsOnMainWindow, ClickARowThenTabKeepsTheRowShownByTheMarkAlone)
{
    writeBank(numberedQuestions(10));
    buildMainWindow();
    showMainWindow();
    const TDBGrid* grid = Form1->dbgrd1;
    const QPoint third = grid->view()->contentsRect().topLeft() +
                         QPoint(100, grid->titleRowHeight() + 2 * grid->dataRowHeight() + 5);
    QTest::mouseClick(grid->view(), Qt::LeftButton, Qt::NoModifier, third);
    EXPECT_TRUE(grid->Focused());
    EXPECT_EQ(Form1->qry1->RecNo(), 3);
    EXPECT_EQ(Form1->DBMemo1->Text(), "question 3");
    QTest::keyClick(grid->view(), Qt::Key_Tab);
    EXPECT_TRUE(Form1->edt1->Focused());
    EXPECT_EQ(Form1->qry1->RecNo(), 3);
    EXPECT_EQ(listImage().pixel(currentCellPoint()), toQColor(clWindow).rgb());
}

TEST_F(WidgetsOnMainWindow, AQuestionWithLineBreaksIsOneLineInTheListAndSeveralInTheView)
{
    writeBank({std::string("第一行\r\n第二行\r\n第三行"), std::string("第一行")});
    buildMainWindow();
    showMainWindow();
    EXPECT_EQ(Form1->DBMemo1->textEdit()->document()->blockCount(), 3);
    EXPECT_EQ(Form1->DBMemo1->Text(), "第一行\n第二行\n第三行");
    // Row 1 (with breaks) and row 2 (its first line alone) look the same in the list.
    const QImage image = listImage();
    const TDBGrid* grid = Form1->dbgrd1;
    const QPoint origin = grid->view()->contentsRect().topLeft();
    const int rowHeight = grid->dataRowHeight();
    const int dataLeft = 12;
    const QRect first(origin + QPoint(dataLeft, grid->titleRowHeight()), QSize(400, rowHeight - 1));
    EXPECT_EQ(image.copy(first), image.copy(first.translated(0, rowHeight)));
}

TEST_F(WidgetsOnMainWindow, ALongQuestionIsCutOffWithoutAHorizontalScrollBar)
{
    const std::string longQuestion = std::string(300, 'x') + "结尾";
    writeBank({longQuestion});
    buildMainWindow();
    showMainWindow();
    for (QScrollBar* bar : Form1->dbgrd1->view()->findChildren<QScrollBar*>())
        EXPECT_EQ(bar->orientation(), Qt::Vertical);
    EXPECT_EQ(Form1->DBMemo1->Text(), longQuestion);
    EXPECT_EQ(Form1->dbgrd1->Columns()[0]->Width(), 909);
}

TEST_F(WidgetsOnMainWindow, AnEmptyResultShowsTheTriangleOnABlankRowAndAnEmptyView)
{
    writeBank(numberedQuestions(5));
    buildMainWindow();
    showMainWindow();
    search(QString::fromUtf8("没有这道题"));
    ASSERT_TRUE(Form1->qry1->Active());
    EXPECT_EQ(Form1->qry1->RecordCount(), 0);
    EXPECT_EQ(Form1->dbgrd1->indicator(), GridIndicator::Current);
    EXPECT_EQ(Form1->dbgrd1->rowsOnScreen(), 0);
    EXPECT_FALSE(Form1->dbgrd1->scrollInfo().visible);
    EXPECT_EQ(Form1->DBMemo1->Text(), "");
}

TEST_F(WidgetsOnMainWindow, AClosedQueryShowsABlankRowWithoutMarkAndAnEmptyView)
{
    buildMainWindow();  // no bank: the open fails, the boxes are answered
    showMainWindow();
    ASSERT_FALSE(Form1->qry1->Active());
    EXPECT_EQ(Form1->dbgrd1->indicator(), GridIndicator::None);
    EXPECT_EQ(Form1->dbgrd1->rowsOnScreen(), 0);
    EXPECT_FALSE(Form1->dbgrd1->scrollInfo().visible);
    EXPECT_EQ(Form1->DBMemo1->Text(), "");
}

struct BankScrollCase {
    int questions;
};

class ScrollBarOnBank : public MainWindowTest, public testing::WithParamInterface<BankScrollCase> {};

TEST_P(ScrollBarOnBank, RangePageAndPositionFollowTheCurrentRow)
{
    const int rows = GetParam().questions;
    writeBank(numberedQuestions(rows));
    buildMainWindow();
    showMainWindow();
    const TDBGrid* grid = Form1->dbgrd1;
    ASSERT_EQ(Form1->qry1->RecordCount(), rows);
    const int page = std::min(rows, grid->visibleRowCapacity());
    for (const int recNo : {1, rows}) {
        Form1->qry1->MoveTo(recNo);
        const GridScrollInfo info = grid->scrollInfo();
        if (rows < 2) {
            EXPECT_FALSE(info.visible);
            continue;
        }
        EXPECT_EQ(info, (GridScrollInfo{true, 1, rows + page - 1, page, recNo})) << "at row " << recNo;
        const QScrollBar* bar = grid->view()->findChild<QScrollBar*>();
        EXPECT_TRUE(bar->isVisible());
        EXPECT_EQ(bar->maximum(), rows);
        EXPECT_EQ(bar->pageStep(), page);
        EXPECT_EQ(bar->value(), recNo);
    }
}

INSTANTIATE_TEST_SUITE_P(Questions, ScrollBarOnBank,
                         testing::Values(BankScrollCase{1}, BankScrollCase{2}, BankScrollCase{20},
                                         BankScrollCase{3000}));

}  // namespace
