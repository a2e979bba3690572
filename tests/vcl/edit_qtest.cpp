// The search box: OnChange after every change of its text and at no other time, AutoSelect on keyboard
// entry only, the selection hidden without the focus, and no length limit of its own.
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

#include "test_window.h"
#include "vcl/widgets/db_grid.h"
#include "vcl/widgets/edit.h"

using namespace vcl;
using testing_support::renderImage;
using testing_support::TestWindow;

namespace {

struct EditOnWindow {
    TestWindow window;
    TDBGrid* grid = new TDBGrid(&window);
    TEdit* edit = new TEdit(&window);
    int changes = 0;
    std::vector<std::string> texts;

    EditOnWindow()
    {
        grid->SetBounds(22, 10, 609, 241);
        edit->SetName("edt1");
        edit->SetBounds(160, 261, 473, 20);
        edit->OnChange = [this](TComponent* sender) {
            EXPECT_EQ(sender, edit);
            ++changes;
            texts.push_back(edit->Text());
        };
        window.showActive();
        edit->SetFocus();
    }
    QLineEdit* line() const { return edit->lineEdit(); }
    void type(const QString& text)
    {
        for (QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, line(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
};

struct ChangeCase {
    const char* name;
    std::function<void(EditOnWindow&)> act;
    int changes;        // OnChange calls the action makes
    const char* after;  // the text after it
};

}  // namespace

class EditChanges : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(EditChanges, RaiseOnChangeOncePerChangeOfTheText)
{
    const ChangeCase& c = GetParam();
    EditOnWindow box;
    box.type(QString::fromUtf8("题目ab"));
    box.changes = 0;
    box.texts.clear();
    c.act(box);
    EXPECT_EQ(box.changes, c.changes) << c.name;
    EXPECT_EQ(box.edit->Text(), c.after) << c.name;
    if (c.changes > 0) {
        ASSERT_FALSE(box.texts.empty());
        EXPECT_EQ(box.texts.back(), c.after);  // the handler sees the new text
    }
}

INSTANTIATE_TEST_SUITE_P(
    Actions, EditChanges,
    ::testing::Values(
        ChangeCase{"typed_letter", [](EditOnWindow& b) { QTest::keyClick(b.line(), Qt::Key_C); }, 1, "题目abc"},
        ChangeCase{"typed_chinese", [](EditOnWindow& b) { b.type(QString::fromUtf8("库")); }, 1, "题目ab库"},
        ChangeCase{"quote", [](EditOnWindow& b) { b.type("\""); }, 1, "题目ab\""},
        ChangeCase{"input_method_commit",
                   [](EditOnWindow& b) {
                       QInputMethodEvent preedit(QString::fromUtf8("ti"), {});
                       QApplication::sendEvent(b.line(), &preedit);
                       QInputMethodEvent commit;
                       commit.setCommitString(QString::fromUtf8("题库"));
                       QApplication::sendEvent(b.line(), &commit);
                   },
                   1, "题目ab题库"},
        ChangeCase{"backspace", [](EditOnWindow& b) { QTest::keyClick(b.line(), Qt::Key_Backspace); }, 1, "题目a"},
        ChangeCase{"delete",
                   [](EditOnWindow& b) {
                       QTest::keyClick(b.line(), Qt::Key_Home);
                       QTest::keyClick(b.line(), Qt::Key_Delete);
                   },
                   1, "目ab"},
        ChangeCase{"paste",
                   [](EditOnWindow& b) {
                       QApplication::clipboard()->setText("xyz");
                       QTest::keyClick(b.line(), Qt::Key_V, Qt::ControlModifier);
                   },
                   1, "题目abxyz"},
        ChangeCase{"cut",
                   [](EditOnWindow& b) {
                       QTest::keyClick(b.line(), Qt::Key_Left, Qt::ShiftModifier);
                       QTest::keyClick(b.line(), Qt::Key_X, Qt::ControlModifier);
                   },
                   1, "题目a"},
        ChangeCase{"paste_then_undo",
                   [](EditOnWindow& b) {
                       QApplication::clipboard()->setText("xyz");
                       QTest::keyClick(b.line(), Qt::Key_V, Qt::ControlModifier);
                       QTest::keyClick(b.line(), Qt::Key_Z, Qt::ControlModifier);
                   },
                   2, "题目ab"},
        ChangeCase{"caret_and_selection",
                   [](EditOnWindow& b) {
                       QTest::keyClick(b.line(), Qt::Key_Home);
                       QTest::keyClick(b.line(), Qt::Key_End, Qt::ShiftModifier);
                       QTest::keyClick(b.line(), Qt::Key_Left);
                   },
                   0, "题目ab"},
        ChangeCase{"copy",
                   [](EditOnWindow& b) {
                       b.line()->selectAll();
                       QTest::keyClick(b.line(), Qt::Key_C, Qt::ControlModifier);
                   },
                   0, "题目ab"},
        ChangeCase{"focus_out_and_in",
                   [](EditOnWindow& b) {
                       b.grid->SetFocus();
                       b.edit->SetFocus();
                   },
                   0, "题目ab"},
        ChangeCase{"select_all_typed_over",
                   [](EditOnWindow& b) {
                       b.line()->selectAll();
                       QTest::keyClick(b.line(), Qt::Key_Q);
                   },
                   1, "q"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Edit, NoChangeEventWhenMade)
{
    TestWindow window;
    auto* edit = new TEdit(&window);
    int changes = 0;
    edit->OnChange = [&](TComponent*) { ++changes; };
    window.showActive();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(edit->Text(), "");
}

TEST(Edit, KeyboardEntrySelectsAllAndAClickPutsTheCaret)
{
    EditOnWindow box;
    box.type("abcdef");
    box.grid->SetFocus();
    EXPECT_FALSE(box.line()->hasSelectedText());
    QTest::keyClick(box.grid->view(), Qt::Key_Tab);
    ASSERT_TRUE(box.edit->Focused());
    EXPECT_EQ(box.line()->selectedText(), "abcdef");

    box.grid->SetFocus();
    QTest::keyClick(box.grid->view(), Qt::Key_Tab);  // to the box again, then away backwards
    QTest::keyClick(box.line(), Qt::Key_Backtab);
    EXPECT_TRUE(box.grid->Focused());

    // A click between "abc" and "def".
    QPoint between;
    for (int x = 0; x < box.line()->width(); ++x)
        if (box.line()->cursorPositionAt(QPoint(x, box.line()->height() / 2)) == 3) {
            between = QPoint(x, box.line()->height() / 2);
            break;
        }
    ASSERT_FALSE(between.isNull());
    QTest::mouseClick(box.line(), Qt::LeftButton, Qt::NoModifier, between);
    EXPECT_TRUE(box.edit->Focused());
    EXPECT_FALSE(box.line()->hasSelectedText());
    EXPECT_EQ(box.line()->cursorPosition(), 3);
}

TEST(Edit, ShiftTabIntoTheBoxSelectsAllToo)
{
    EditOnWindow box;
    box.type("abc");
    box.grid->SetFocus();
    QTest::keyClick(box.grid->view(), Qt::Key_Backtab);
    if (!box.edit->Focused())
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    ASSERT_TRUE(box.edit->Focused());
    EXPECT_EQ(box.line()->selectedText(), "abc");
}

TEST(Edit, TheSelectionShowsOnlyWithTheFocus)
{
    EditOnWindow box;
    box.type("WWWWWWWW");
    box.line()->selectAll();
    const QRgb highlight = box.line()->palette().color(QPalette::Active, QPalette::Highlight).rgb();
    auto highlighted = [&] {
        const QImage image = renderImage(box.line());
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == highlight)
                    return true;
        return false;
    };
    EXPECT_TRUE(highlighted());
    box.grid->SetFocus();
    EXPECT_FALSE(highlighted());
    // While the window is inactive the box may keep its selection, but does not show it.
    box.edit->SetFocus();
    box.line()->selectAll();
    QPalette inactive = box.line()->palette();
    inactive.setCurrentColorGroup(QPalette::Inactive);
    EXPECT_EQ(inactive.color(QPalette::Highlight), inactive.color(QPalette::Base));
}

TEST(Edit, HasNoLengthLimitOfItsOwn)
{
    EditOnWindow box;
    const QString longText(100000, QLatin1Char('x'));
    QApplication::clipboard()->setText(longText);
    QTest::keyClick(box.line(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.edit->Text().size(), 100000u);
    EXPECT_EQ(box.edit->MaxLength(), 0);
}

TEST(Edit, AFailureInTheHandlerGoesToTheOwnerNotThroughQt)
{
    struct Catcher : TestWindow {
        std::string caught;
        void HandleException(std::exception_ptr failure) override
        {
            try {
                std::rethrow_exception(failure);
            } catch (const std::exception& e) {
                caught = e.what();
            }
        }
    } window;
    auto* edit = new TEdit(&window);
    edit->OnChange = [](TComponent*) { throw std::runtime_error("查询失败"); };
    window.showActive();
    edit->SetFocus();
    QTest::keyClick(edit->lineEdit(), Qt::Key_A);
    EXPECT_EQ(window.caught, "查询失败");
    EXPECT_EQ(edit->Text(), "a");
}
