// The controls on a window: where the description puts them, the prompt's size, the status bar's one
// panel across the whole bar, the tab order, the fonts and their scaling.
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include "test_window.h"
#include "vcl/widgets/db_grid.h"
#include "vcl/widgets/db_memo.h"
#include "vcl/widgets/dpi_scaling.h"
#include "vcl/widgets/edit.h"
#include "vcl/widgets/label.h"
#include "vcl/widgets/status_bar.h"

using namespace vcl;
using testing_support::TestWindow;

namespace {

void setSong(TFont& font, int height, TColor color)
{
    font.SetName("宋体");
    font.SetHeight(height);
    font.SetCharset(GB2312_CHARSET);
    font.SetColor(color);
}

// The main window's controls, laid out as its description does.
struct Layout {
    TestWindow window;
    TLabel* lbl1 = new TLabel(&window);
    TDBGrid* dbgrd1 = new TDBGrid(&window);
    TEdit* edt1 = new TEdit(&window);
    TDBMemo* DBMemo1 = new TDBMemo(&window);
    TStatusBar* StatusBar1 = new TStatusBar(&window);

    Layout()
    {
        lbl1->SetBounds(20, 265, 120, 12);
        lbl1->SetCaption("请输入题目的一部分：");
        dbgrd1->SetBounds(22, 10, 609, 241);
        setSong(dbgrd1->Font(), -14, clBlack);
        dbgrd1->SetTabOrder(0);
        edt1->SetBounds(160, 261, 473, 20);
        edt1->SetTabOrder(1);
        DBMemo1->SetBounds(24, 288, 609, 113);
        setSong(DBMemo1->Font(), -16, clBlue);
        DBMemo1->SetTabOrder(2);
        StatusBar1->SetBounds(0, 415, 658, 19);
        StatusBar1->Panels().Add()->SetWidth(50);
    }
};

bool isSongFace(const QString& family)
{
    return family.contains("SimSun") || family.contains("UMing") || family.contains("Sung") ||
           family.contains("Serif CJK") || family.contains(QString::fromUtf8("宋体"));
}

}  // namespace

TEST(Controls, StandWhereTheDescriptionPutsThem)
{
    Layout layout;
    layout.window.showActive();
    EXPECT_EQ(layout.dbgrd1->Handle()->geometry(), QRect(22, 10, 609, 241));
    EXPECT_EQ(layout.edt1->Handle()->geometry(), QRect(160, 261, 473, 20));
    EXPECT_EQ(layout.DBMemo1->Handle()->geometry(), QRect(24, 288, 609, 113));
    EXPECT_EQ(layout.StatusBar1->Handle()->geometry(), QRect(0, 415, 658, 19));
    EXPECT_EQ(layout.lbl1->Handle()->pos(), QPoint(20, 265));
    for (TControl* control : std::initializer_list<TControl*>{layout.lbl1, layout.dbgrd1, layout.edt1,
                                                               layout.DBMemo1, layout.StatusBar1}) {
        EXPECT_EQ(control->Parent(), &layout.window);
        EXPECT_EQ(control->Handle()->parentWidget(), layout.window.Handle());
        EXPECT_TRUE(control->Handle()->isVisible());
    }
}

TEST(Controls, ThePromptTakesTheSizeOfItsTenCharacters)
{
    Layout layout;
    const QFontMetrics metrics(layout.lbl1->Handle()->font());
    EXPECT_EQ(layout.lbl1->Width(), metrics.horizontalAdvance(QString::fromUtf8("请输入题目的一部分：")));
    EXPECT_EQ(layout.lbl1->Height(), metrics.height());
    if (QFontInfo(layout.lbl1->Handle()->font()).family().contains("UMing")) {
        EXPECT_EQ(layout.lbl1->Width(), 120);
        EXPECT_EQ(layout.lbl1->Height(), 12);
    }
    EXPECT_EQ(layout.lbl1->Handle()->focusPolicy(), Qt::NoFocus);
}

TEST(Controls, FontsFollowTheParentUntilSetOwn)
{
    Layout layout;
    EXPECT_TRUE(layout.lbl1->ParentFont());
    EXPECT_TRUE(layout.edt1->ParentFont());
    EXPECT_FALSE(layout.dbgrd1->ParentFont());
    EXPECT_EQ(layout.edt1->Handle()->font().pixelSize(), 12);
    layout.window.Font().SetHeight(-14);
    EXPECT_EQ(layout.edt1->Handle()->font().pixelSize(), 14);
    EXPECT_EQ(layout.lbl1->Handle()->font().pixelSize(), 14);
    EXPECT_EQ(layout.dbgrd1->Handle()->font().pixelSize(), 14);  // its own -14, unchanged
    EXPECT_EQ(layout.DBMemo1->Handle()->font().pixelSize(), 16);
}

TEST(Controls, SongFaceStandsForSimSun)
{
    TestWindow window;
    const QFontInfo info(window.Font().toQFont());
    EXPECT_TRUE(isSongFace(info.family())) << info.family().toStdString();
    EXPECT_EQ(info.pixelSize(), 12);
}

TEST(StatusBar, OnePanelAcrossTheWholeBarWhateverItsWidth)
{
    Layout layout;
    layout.StatusBar1->Panels()[0]->SetText("题库共有 259 道题");
    layout.window.showActive();
    QLabel* panel = layout.StatusBar1->panelLabel(0);
    EXPECT_EQ(panel->text(), QString::fromUtf8("题库共有 259 道题"));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_GT(panel->width(), 600);  // far more than the panel's width of 50
    EXPECT_EQ(panel->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(layout.StatusBar1->Panels()[0]->Width(), 50);
    auto* bar = static_cast<QStatusBar*>(layout.StatusBar1->Handle());
    EXPECT_FALSE(bar->isSizeGripEnabled() && layout.window.Handle()->minimumSize() ==
                                                 layout.window.Handle()->maximumSize());
    EXPECT_EQ(bar->focusPolicy(), Qt::NoFocus);
}

TEST(StatusBar, StaysAtTheBottomAcrossTheFullWidth)
{
    Layout layout;
    layout.window.showActive();
    layout.window.Handle()->resize(800, 500);
    EXPECT_EQ(layout.StatusBar1->Handle()->geometry(), QRect(0, 481, 800, 19));
}

TEST(StatusBar, UsesTheSystemStatusBarFont)
{
    Layout layout;
    layout.StatusBar1->Panels()[0]->SetText("x");
    EXPECT_EQ(layout.StatusBar1->panelLabel(0)->font(), QApplication::font("QStatusBar"));
}

TEST(Focus, TabGoesAroundInTabOrderAndShiftTabBack)
{
    Layout layout;
    layout.window.showActive();
    layout.edt1->SetFocus();
    ASSERT_TRUE(layout.edt1->Focused());
    const std::vector<TWinControl*> forward = {layout.DBMemo1, layout.dbgrd1, layout.edt1, layout.DBMemo1};
    for (TWinControl* next : forward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_TRUE(next->Focused()) << next->TabOrder();
    }
    const std::vector<TWinControl*> backward = {layout.edt1, layout.dbgrd1, layout.DBMemo1};
    for (TWinControl* next : backward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_TRUE(next->Focused()) << next->TabOrder();
    }
    EXPECT_EQ(layout.dbgrd1->TabOrder(), 0);
    EXPECT_EQ(layout.edt1->TabOrder(), 1);
    EXPECT_EQ(layout.DBMemo1->TabOrder(), 2);
    EXPECT_EQ(layout.window.Handle()->focusPolicy(), Qt::NoFocus);  // the window itself never takes it
}

TEST(Focus, AClickGivesTheControlTheFocus)
{
    Layout layout;
    layout.window.showActive();
    layout.edt1->SetFocus();
    QTest::mouseClick(layout.dbgrd1->view(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 8));  // the title row
    EXPECT_TRUE(layout.dbgrd1->Focused());
    QTest::mouseClick(layout.DBMemo1->textEdit()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_TRUE(layout.DBMemo1->Focused());
    QTest::mouseClick(layout.edt1->lineEdit(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    EXPECT_TRUE(layout.edt1->Focused());
    QTest::mouseClick(layout.lbl1->Handle(), Qt::LeftButton);
    QTest::mouseClick(layout.StatusBar1->Handle(), Qt::LeftButton);
    EXPECT_TRUE(layout.edt1->Focused());
}

struct MulDivCase {
    int value, numerator, denominator, expected;
};

class Scaling : public ::testing::TestWithParam<MulDivCase> {};

TEST_P(Scaling, RoundsHalfAwayFromZero)
{
    const MulDivCase c = GetParam();
    EXPECT_EQ(MulDiv(c.value, c.numerator, c.denominator), c.expected);
}

INSTANTIATE_TEST_SUITE_P(MulDiv, Scaling,
                         ::testing::Values(MulDivCase{658, 15, 12, 823}, MulDivCase{434, 15, 12, 543},
                                           MulDivCase{-12, 120, 96, -15}, MulDivCase{11, 3, 2, 17},
                                           MulDivCase{-11, 3, 2, -17}, MulDivCase{5, 1, 0, -1},
                                           MulDivCase{2000000000, 3, 2, -1}));

TEST(ScalingForm, TheWindowFontFollowsTheScreensDotsPerInch)
{
    TFont font;
    setSong(font, -12, clBlack);
    const ScaleRatio ratio = prepareFormScaling(font, 120, 96, 12);
    EXPECT_EQ(font.Height(), -15);
    EXPECT_EQ(ratio.numerator, measuredTextHeight(font) == 12 ? 1 : measuredTextHeight(font));
}

TEST(ScalingForm, NoScalingWhereTheTextIsTwelvePixelsHigh)
{
    installFontSubstitutes();
    TFont font;
    setSong(font, -12, clBlack);
    if (measuredTextHeight(font) != 12)
        GTEST_SKIP() << "the installed Song face is not 12 pixels high at -12";
    EXPECT_TRUE(prepareFormScaling(font, 96, 96, 12).isIdentity());
    EXPECT_EQ(font.Height(), -12);
}

TEST(ScalingForm, ControlsScaleTheirEdgesAndOwnFonts)
{
    Layout layout;
    layout.dbgrd1->Columns().Add()->SetWidth(909);
    layout.window.ChangeScale(15, 12);
    // Edges: 22 -> 28, 22 + 609 -> 789, 10 -> 13, 10 + 241 -> 314.
    EXPECT_EQ(layout.dbgrd1->Handle()->geometry(), QRect(28, 13, 789 - 28, 314 - 13));
    EXPECT_EQ(layout.edt1->Handle()->geometry().topLeft(), QPoint(200, 326));
    EXPECT_EQ(layout.dbgrd1->Font().Height(), -18);  // MulDiv(-14, 15, 12) = -17.5 away from zero
    EXPECT_EQ(layout.DBMemo1->Font().Height(), -20);
    EXPECT_EQ(layout.dbgrd1->Columns()[0]->Width(), 1136);  // 909 * 15 / 12 = 1136.25
    EXPECT_TRUE(layout.edt1->ParentFont());  // follows the window's font, which the form itself sets
}
