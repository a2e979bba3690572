// The result list: what it draws in each state of its dataset, its marks, highlight and scroll bar,
// that it reads only the rows on screen, and how the wheel and the keys move its current row.
#include <QFontMetrics>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include "memory_dataset.h"
#include "test_window.h"
#include "vcl/data/data_source.h"
#include "vcl/widgets/db_grid.h"
#include "vcl/widgets/edit.h"
#include "vcl/widgets/grid_indicator.h"

using namespace vcl;
using testing_support::MemoryDataSet;
using testing_support::renderImage;
using testing_support::TestWindow;

namespace {

// The window's result list as the main window sets it up.
struct ListOnWindow {
    TestWindow window;
    TDataSource* source = new TDataSource(&window);
    TDBGrid* grid = new TDBGrid(&window);

    ListOnWindow()
    {
        grid->SetName("dbgrd1");
        grid->SetBounds(22, 10, 609, 241);
        grid->Font().SetName("宋体");
        grid->Font().SetHeight(-14);
        grid->Font().SetCharset(GB2312_CHARSET);
        grid->Font().SetColor(clBlack);
        grid->TitleFont().SetName("宋体");
        grid->TitleFont().SetHeight(-12);
        grid->TitleFont().SetCharset(GB2312_CHARSET);
        grid->TitleFont().SetColor(clBlack);
        using enum TDBGridOption;
        grid->SetOptions({dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect,
                          dgConfirmDelete, dgCancelOnExit});
        TColumn* column = grid->Columns().Add();
        column->SetFieldName("题目");
        column->SetWidth(909);
        grid->SetDataSource(source);
    }
    void show(TDataSet& data)
    {
        source->SetDataSet(&data);
        data.Open();
    }
    QImage image() const { return renderImage(grid->view()); }
    // The top-left corner of the cells, inside the list's border.
    QPoint origin() const { return grid->view()->contentsRect().topLeft(); }
    // Where the indicator mark of the row on screen goes.
    QPoint markAt(int row) const
    {
        const int y = grid->titleRowHeight() + row * grid->dataRowHeight();
        const int cellHeight = grid->dataRowHeight() - 1;
        return origin() + QPoint(11 - 1 - indicatorMarkWidth, y + (cellHeight - indicatorMarkHeight) / 2);
    }
    // A point inside the data cell of a row on screen, right of any text.
    QPoint cellPoint(int row) const
    {
        return origin() + QPoint(500, grid->titleRowHeight() + row * grid->dataRowHeight() + 3);
    }
};

std::vector<std::optional<std::string>> numbered(int count)
{
    std::vector<std::optional<std::string>> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back("第" + std::to_string(i) + "题");
    return rows;
}

MemoryDataSet::Source numberedSource()
{
    return [](int row, int) { return std::optional<std::string>("第" + std::to_string(row + 1) + "题"); };
}

// Whether the image shows exactly this mark (or no mark) at the point, in the button-text colour.
bool showsMark(const QImage& image, QPoint at, GridIndicator mark)
{
    const auto rows = indicatorMarkRows(mark);
    const QRgb ink = toQColor(clBtnText).rgb();
    for (int y = 0; y < indicatorMarkHeight; ++y)
        for (int x = 0; x < indicatorMarkWidth; ++x) {
            const bool set = !rows.empty() && rows[static_cast<std::size_t>(y)][x] == '#';
            if ((image.pixel(at + QPoint(x, y)) == ink) != set)
                return false;
        }
    return true;
}

}  // namespace

TEST(DBGridLayout, RowHeightsFollowTheFonts)
{
    ListOnWindow list;
    const int rowText = QFontMetrics(list.grid->Font().toQFont()).height();
    const int titleText = QFontMetrics(list.grid->TitleFont().toQFont()).height();
    EXPECT_EQ(list.grid->dataRowHeight(), rowText + 3 + 1);
    EXPECT_EQ(list.grid->titleRowHeight(), titleText + 4);
    // Whole rows below the title row, inside the 2-pixel border.
    EXPECT_EQ(list.grid->visibleRowCapacity(), (241 - 4 - list.grid->titleRowHeight()) / list.grid->dataRowHeight());
}

TEST(DBGridLayout, SongFaceGivesTheDesignedRowsOnScreen)
{
    ListOnWindow list;
    const QString family = QFontInfo(list.grid->Font().toQFont()).family();
    if (!family.contains("UMing") && !family.contains("SimSun"))
        GTEST_SKIP() << "no Song face with SimSun's metrics is installed (got " << family.toStdString() << ")";
    EXPECT_EQ(list.grid->dataRowHeight(), 18);
    EXPECT_EQ(list.grid->titleRowHeight(), 16);
    EXPECT_EQ(list.grid->visibleRowCapacity(), 12);
}

TEST(DBGridStates, ClosedShowsOneBlankRowWithoutMark)
{
    ListOnWindow list;
    MemoryDataSet data("题目", numbered(3));
    list.source->SetDataSet(&data);
    EXPECT_EQ(list.grid->indicator(), GridIndicator::None);
    EXPECT_EQ(list.grid->rowsOnScreen(), 0);
    EXPECT_FALSE(list.grid->scrollInfo().visible);
    const QImage image = list.image();
    EXPECT_TRUE(showsMark(image, list.markAt(0), GridIndicator::None));
    EXPECT_EQ(data.reads, 0);
}

TEST(DBGridStates, EmptyResultShowsTheTriangleOnOneBlankRow)
{
    ListOnWindow list;
    MemoryDataSet data("题目", {});
    list.show(data);
    EXPECT_EQ(list.grid->indicator(), GridIndicator::Current);
    EXPECT_EQ(list.grid->rowsOnScreen(), 0);
    const QImage image = list.image();
    EXPECT_TRUE(showsMark(image, list.markAt(0), GridIndicator::Current));
    EXPECT_TRUE(showsMark(image, list.markAt(1), GridIndicator::None));
}

TEST(DBGridStates, OpenMarksTheFirstRowAtTheTopAfterEveryOpen)
{
    ListOnWindow list;
    MemoryDataSet data("题目", numbered(50));
    list.show(data);
    data.MoveTo(40);
    EXPECT_GT(list.grid->topRecord(), 0);
    data.Close();
    data.Open();
    EXPECT_EQ(list.grid->topRecord(), 0);
    EXPECT_EQ(list.grid->rowsOnScreen(), list.grid->visibleRowCapacity());
    const QImage image = list.image();
    EXPECT_TRUE(showsMark(image, list.markAt(0), GridIndicator::Current));
    EXPECT_TRUE(showsMark(image, list.markAt(1), GridIndicator::None));
}

TEST(DBGridStates, MarksFollowTheStateOfTheCurrentRow)
{
    ListOnWindow list;
    MemoryDataSet data("题目", numbered(5));
    list.show(data);
    data.Next();
    data.Next();
    EXPECT_TRUE(showsMark(list.image(), list.markAt(2), GridIndicator::Current));
    data.Edit();
    EXPECT_EQ(list.grid->indicator(), GridIndicator::Editing);
    EXPECT_TRUE(showsMark(list.image(), list.markAt(2), GridIndicator::Editing));
    data.Cancel();
    EXPECT_TRUE(showsMark(list.image(), list.markAt(2), GridIndicator::Current));
    data.Insert();
    EXPECT_EQ(list.grid->indicator(), GridIndicator::Inserting);
    const int row = data.currentRow() - list.grid->topRecord();
    EXPECT_TRUE(showsMark(list.image(), list.markAt(row), GridIndicator::Inserting));
}

TEST(DBGridStates, ANewRowOnAnEmptyResultShowsTheAsterisk)
{
    ListOnWindow list;
    MemoryDataSet data("题目", {});
    list.show(data);
    data.Edit();  // on an empty result this starts a new row
    EXPECT_EQ(list.grid->indicator(), GridIndicator::Inserting);
    EXPECT_EQ(list.grid->rowsOnScreen(), 1);
    EXPECT_TRUE(showsMark(list.image(), list.markAt(0), GridIndicator::Inserting));
}

TEST(DBGridHighlight, OnlyWhileTheListHasTheFocus)
{
    ListOnWindow list;
    auto* edit = new TEdit(&list.window);
    edit->SetBounds(160, 261, 473, 20);
    MemoryDataSet data("题目", numbered(5));
    list.show(data);
    data.Next();
    list.window.showActive();
    const QRgb window = toQColor(clWindow).rgb();
    const QRgb highlight = toQColor(clHighlight).rgb();
    ASSERT_NE(window, highlight);

    edit->SetFocus();
    QImage image = list.image();
    EXPECT_EQ(image.pixel(list.cellPoint(1)), window);
    EXPECT_TRUE(showsMark(image, list.markAt(1), GridIndicator::Current));

    list.grid->SetFocus();
    ASSERT_TRUE(list.grid->Focused());
    image = list.image();
    EXPECT_EQ(image.pixel(list.cellPoint(1)), highlight);
    EXPECT_EQ(image.pixel(list.cellPoint(0)), window);
    EXPECT_EQ(image.pixel(list.cellPoint(2)), window);
}

TEST(DBGridText, ALineBreakEndsTheRowsText)
{
    ListOnWindow oneLine, twoLines;
    MemoryDataSet first("题目", {"第一行"});
    MemoryDataSet second("题目", {"第一行\r\n第二行"});
    oneLine.show(first);
    twoLines.show(second);
    EXPECT_EQ(oneLine.image(), twoLines.image());
}

TEST(DBGridText, LongTextColumnsShowTheirTextNotAPlaceholder)
{
    ListOnWindow asText, asMemo, asPlaceholder;
    MemoryDataSet text("题目", {"下列哪个是质数"});
    MemoryDataSet memo("题目", {"下列哪个是质数"}, TFieldType::ftMemo);
    MemoryDataSet placeholder("题目", {"(MEMO)"});
    asText.show(text);
    asMemo.show(memo);
    asPlaceholder.show(placeholder);
    EXPECT_EQ(asText.image(), asMemo.image());
    EXPECT_NE(asMemo.image(), asPlaceholder.image());
}

TEST(DBGridText, TextStartsTwoPixelsIntoTheCell)
{
    ListOnWindow list;
    MemoryDataSet data("题目", {"ＩＩＩＩ"});
    list.show(data);
    const QImage image = list.image();
    const int top = list.grid->titleRowHeight();
    const QPoint cell = list.origin() + QPoint(12, top);
    const QRgb window = toQColor(clWindow).rgb();
    // Nothing of the text left of or above the 2-pixel margin; something right after it.
    bool inked = false;
    for (int y = 0; y < list.grid->dataRowHeight() - 1; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool ink = image.pixel(cell + QPoint(x, y)) != window;
            if (x < 2 || y < 2) {
                EXPECT_FALSE(ink) << "at " << x << "," << y;
            }
            inked = inked || ink;
        }
    EXPECT_TRUE(inked);
}

TEST(DBGridText, TitleRowReadsTheFieldName)
{
    ListOnWindow named, other;
    other.grid->Columns()[0]->SetFieldName("答案");
    EXPECT_NE(named.image(), other.image());
}

struct ScrollCase {
    int rows;
    bool atLast;
};

class DBGridScrollBar : public ::testing::TestWithParam<ScrollCase> {};

TEST_P(DBGridScrollBar, StandsForTheCurrentRowAmongAll)
{
    const ScrollCase c = GetParam();
    ListOnWindow list;
    MemoryDataSet data({{"题目"}}, c.rows, numberedSource());
    list.show(data);
    if (c.atLast)
        data.Last();
    const int page = std::min(c.rows, list.grid->visibleRowCapacity());
    const int position = c.atLast ? c.rows : 1;
    const GridScrollInfo info = list.grid->scrollInfo();
    EXPECT_EQ(info.visible, c.rows >= 2);
    QScrollBar* bar = list.grid->view()->findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->isVisibleTo(list.grid->view()), c.rows >= 2);
    if (c.rows < 2)
        return;
    EXPECT_EQ(info, (GridScrollInfo{true, 1, c.rows + page - 1, page, position}));
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_EQ(bar->maximum(), c.rows);  // the thumb's last position: Max - Page + 1
    EXPECT_EQ(bar->pageStep(), page);
    EXPECT_EQ(bar->value(), position);
}

INSTANTIATE_TEST_SUITE_P(Rows, DBGridScrollBar,
                         ::testing::Values(ScrollCase{1, false}, ScrollCase{2, false}, ScrollCase{2, true},
                                           ScrollCase{20, false}, ScrollCase{20, true},
                                           ScrollCase{1000000, false}, ScrollCase{1000000, true}));

TEST(DBGridReads, OnlyTheRowsOnScreenAreRead)
{
    ListOnWindow list;
    MemoryDataSet data({{"题目"}}, 1000000, numberedSource());
    list.show(data);
    const int onScreen = list.grid->rowsOnScreen();
    ASSERT_GT(onScreen, 1);
    data.reads = 0;
    (void)list.image();
    EXPECT_EQ(data.reads, onScreen);
    data.reads = 0;
    data.MoveTo(500000);
    (void)list.image();
    EXPECT_LE(data.reads, onScreen);
    EXPECT_EQ(list.grid->scrollInfo().position, 500000);
}

TEST(DBGridScrolling, MovesShowTheCurrentRowWithTheLeastScrolling)
{
    ListOnWindow list;
    MemoryDataSet data("题目", numbered(30));
    list.show(data);
    const int capacity = list.grid->visibleRowCapacity();
    data.MoveTo(capacity);  // the last row on screen
    EXPECT_EQ(list.grid->topRecord(), 0);
    data.Next();
    EXPECT_EQ(list.grid->topRecord(), 1);
    data.Last();
    EXPECT_EQ(list.grid->topRecord(), 30 - capacity);
    data.MoveTo(30 - capacity + 1);  // the top row on screen (RecNo counts from 1)
    EXPECT_EQ(list.grid->topRecord(), 30 - capacity);
    data.Prior();
    EXPECT_EQ(list.grid->topRecord(), 30 - capacity - 1);
}

TEST(DBGridWheel, OneNotchMovesTheCurrentRowByOneAtMost)
{
    ListOnWindow list;
    MemoryDataSet data("题目", numbered(30));
    list.show(data);
    list.window.showActive();
    list.grid->SetFocus();
    auto turn = [&](int delta) {
        QWidget* view = list.grid->view();
        const QPoint at(100, 100);
        QWheelEvent wheel(at, view->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
    };
    turn(-120);
    EXPECT_EQ(data.RecNo(), 2);
    turn(-360);  // three notches at once still move by one
    EXPECT_EQ(data.RecNo(), 3);
    turn(60);
    EXPECT_EQ(data.RecNo(), 3);
    turn(60);
    EXPECT_EQ(data.RecNo(), 2);
    turn(120);
    turn(120);
    EXPECT_EQ(data.RecNo(), 1);
    EXPECT_EQ(list.grid->topRecord(), 0);
}

TEST(DBGridWheel, ActsOnTheFocusedControlNotOnTheOneUnderThePointer)
{
    ListOnWindow list;
    auto* edit = new TEdit(&list.window);
    edit->SetBounds(160, 261, 473, 20);
    MemoryDataSet data("题目", numbered(30));
    list.show(data);
    list.window.showActive();
    edit->SetFocus();
    QWidget* view = list.grid->view();
    const QPoint at(100, 100);
    QWheelEvent wheel(at, view->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    EXPECT_EQ(data.RecNo(), 1);
    EXPECT_TRUE(edit->Focused());
}

TEST(DBGridKeys, TabLeavesTheListAndClicksGiveItTheFocus)
{
    ListOnWindow list;
    auto* edit = new TEdit(&list.window);
    edit->SetBounds(160, 261, 473, 20);
    MemoryDataSet data("题目", numbered(30));
    list.show(data);
    list.window.showActive();
    edit->SetFocus();
    const QPoint third = list.cellPoint(2);
    QTest::mouseClick(list.grid->view(), Qt::LeftButton, Qt::NoModifier, third);
    EXPECT_TRUE(list.grid->Focused());
    EXPECT_EQ(data.RecNo(), 3);
    QTest::keyClick(list.grid->view(), Qt::Key_Tab);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(data.RecNo(), 3);
}

struct KeyCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int from;  // RecNo before
    int to;    // RecNo after, with 30 rows and the first row at the top
};

class DBGridKeyMoves : public ::testing::TestWithParam<KeyCase> {};

TEST_P(DBGridKeyMoves, MoveTheCurrentRow)
{
    const KeyCase c = GetParam();
    ListOnWindow list;
    MemoryDataSet data("题目", numbered(30));
    list.show(data);
    list.window.showActive();
    list.grid->SetFocus();
    data.MoveTo(c.from);
    const int top = list.grid->topRecord();
    const int capacity = list.grid->visibleRowCapacity();
    QTest::keyClick(list.grid->view(), c.key, c.modifiers);
    int expected = c.to;
    if (expected == -1)  // the top row on screen
        expected = top + 1;
    if (expected == -2)  // the bottom row on screen
        expected = top + capacity;
    if (expected == -3)  // a page further
        expected = std::min(30, c.from + capacity);
    EXPECT_EQ(data.RecNo(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DBGridKeyMoves,
    ::testing::Values(KeyCase{Qt::Key_Down, Qt::NoModifier, 1, 2}, KeyCase{Qt::Key_Right, Qt::NoModifier, 1, 2},
                      KeyCase{Qt::Key_Up, Qt::NoModifier, 5, 4}, KeyCase{Qt::Key_Left, Qt::NoModifier, 5, 4},
                      KeyCase{Qt::Key_Down, Qt::NoModifier, 30, 30}, KeyCase{Qt::Key_Up, Qt::NoModifier, 1, 1},
                      KeyCase{Qt::Key_Home, Qt::NoModifier, 17, 1}, KeyCase{Qt::Key_End, Qt::NoModifier, 3, 30},
                      KeyCase{Qt::Key_Home, Qt::ControlModifier, 17, 1},
                      KeyCase{Qt::Key_End, Qt::ControlModifier, 3, 30},
                      KeyCase{Qt::Key_PageDown, Qt::NoModifier, 1, -3},
                      KeyCase{Qt::Key_PageUp, Qt::NoModifier, 2, 1},
                      KeyCase{Qt::Key_Up, Qt::ControlModifier, 5, -1},
                      KeyCase{Qt::Key_Down, Qt::ControlModifier, 5, -2},
                      KeyCase{Qt::Key_Enter, Qt::NoModifier, 5, 5}, KeyCase{Qt::Key_A, Qt::NoModifier, 5, 5},
                      KeyCase{Qt::Key_Delete, Qt::NoModifier, 5, 5}));
