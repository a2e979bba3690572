// Start of the program on the real main window: the status line, the error boxes of a bank that cannot
// be opened, the focus after showing, the run until the window is closed, and a window that cannot be built.
#include "main_window_fixture.h"

#include "vcl/data/ado_query.h"
#include "vcl/data/exceptions.h"
#include "vcl/widgets/db_grid.h"
#include "vcl/widgets/db_memo.h"
#include "vcl/widgets/edit.h"
#include "vcl/widgets/error_text.h"
#include "vcl/widgets/label.h"
#include "vcl/widgets/program.h"
#include "vcl/widgets/status_bar.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <regex>

namespace {

using testing_support::MainWindowTest;
using testing_support::numberedQuestions;

const std::string kClosedDatasetBox = "qry1: Cannot perform this operation on a closed dataset.";

struct StatusLineCase {
    int questions;
    std::string statusLine;
};

class StatusLine : public MainWindowTest, public testing::WithParamInterface<StatusLineCase> {};

TEST_P(StatusLine, TellsHowManyQuestionsTheBankHolds)
{
    writeBank(numberedQuestions(GetParam().questions));
    buildMainWindow();
    EXPECT_TRUE(boxes_.boxes().empty());
    EXPECT_EQ(Form1->StatusBar1->Panels()[0]->Text(), GetParam().statusLine);
    EXPECT_EQ(Form1->qry1->RecordCount(), GetParam().questions);
}

INSTANTIATE_TEST_SUITE_P(Banks, StatusLine,
                         testing::Values(StatusLineCase{0, "数据库中共有问题： 0 条"},
                                         StatusLineCase{1, "数据库中共有问题： 1 条"},
                                         StatusLineCase{1234, "数据库中共有问题： 1234 条"}),
                         [](const testing::TestParamInfo<StatusLineCase>& info) {
                             return "questions_" + std::to_string(info.param.questions);
                         });

TEST_F(MainWindowTest, ShowsTheFirstQuestionWithTheCaretInTheSearchBox)
{
    writeBank({"first question", "second question"});
    buildMainWindow();
    showMainWindow();
    EXPECT_EQ(Form1->DBMemo1->Text(), "first question");
    EXPECT_EQ(Form1->dbgrd1->indicator(), vcl::GridIndicator::Current);
    EXPECT_EQ(QApplication::focusWidget(), Form1->edt1->lineEdit());
    EXPECT_TRUE(Form1->edt1->Text().empty());
}

TEST_F(MainWindowTest, TabMovesThroughTheListTheSearchBoxAndTheFullTextView)
{
    writeBank({"first question", "second question"});
    buildMainWindow();
    showMainWindow();
    const auto focusedControl = [] {
        QWidget* focused = QApplication::focusWidget();
        for (vcl::TWinControl* control : std::initializer_list<vcl::TWinControl*>{Form1->dbgrd1, Form1->edt1, Form1->DBMemo1})
            if (focused && (focused == control->Handle() || control->Handle()->isAncestorOf(focused)))
                return control->Name();
        return std::string("other");
    };
    EXPECT_EQ(focusedControl(), "edt1");
    std::vector<std::string> order;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.push_back(focusedControl());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"DBMemo1", "dbgrd1", "edt1"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focusedControl(), "dbgrd1");
}

TEST_F(MainWindowTest, MissingBankGivesTwoErrorBoxesAndThenAnEmptyWindow)
{
    buildMainWindow();
    ASSERT_EQ(boxes_.boxes().size(), 2u);
    const auto& engine = boxes_.boxes()[0];
    const auto& count = boxes_.boxes()[1];
    for (const auto& box : boxes_.boxes()) {
        EXPECT_EQ(box.caption, vcl::Application->Title());
        EXPECT_EQ(box.icon, QMessageBox::Critical);
        EXPECT_EQ(box.buttons, QStringList{"OK"});
        EXPECT_TRUE(box.applicationModal);
    }
    // The engine's message, without a full stop of its own, gets exactly one.
    ASSERT_GE(engine.text.size(), 2u);
    EXPECT_EQ(engine.text.back(), '.');
    EXPECT_NE(engine.text[engine.text.size() - 2], '.');
    EXPECT_EQ(engine.text.find("closed dataset"), std::string::npos);
    EXPECT_EQ(count.text, kClosedDatasetBox);

    EXPECT_FALSE(Form1->qry1->Active());
    EXPECT_EQ(Form1->StatusBar1->Panels()[0]->Text(), "");
    showMainWindow();
    EXPECT_EQ(boxes_.boxes().size(), 2u);
    EXPECT_EQ(Form1->DBMemo1->Text(), "");
    EXPECT_EQ(Form1->dbgrd1->indicator(), vcl::GridIndicator::None);
    EXPECT_EQ(QApplication::focusWidget(), Form1->edt1->lineEdit());
}

TEST_F(MainWindowTest, TitleComesFromTheTestProgramsName)
{
    buildMainWindow();
    EXPECT_EQ(vcl::Application->Title(), "main_start_qtest");
    EXPECT_EQ(Form1->Caption(), "Tessarinv0.1 powerby Halvorne 20191217 ");
    EXPECT_EQ(Form1->Handle()->windowTitle().toStdString(), "Tessarinv0.1 powerby Halvorne 20191217 ");
}

TEST_F(MainWindowTest, RunShowsTheWindowCentredAndEndsWithExitCodeZeroWhenItIsClosed)
{
    writeBank(numberedQuestions(3));
    buildMainWindow();
    bool checked = false;
    QTimer::singleShot(50, [&] {
        QWidget* window = Form1->Handle();
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->size(), QSize(658, 434));
        const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
        EXPECT_LE(std::abs(window->frameGeometry().center().x() - desktop.center().x()), 1);
        EXPECT_LE(std::abs(window->frameGeometry().center().y() - desktop.center().y()), 1);
        EXPECT_EQ(window->focusWidget(), Form1->edt1->lineEdit());
        checked = true;
        Form1->Close();
    });
    EXPECT_EQ(vcl::Application->Run(), 0);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(vcl::Application->Terminated());
}

TEST_F(MainWindowTest, ScalingChangesTheClientSizeAndEveryControlButNotTheWindowFont)
{
    writeBank({});
    buildMainWindow();
    Form1->ChangeScale(3, 2);
    EXPECT_EQ(Form1->Handle()->size(), QSize(987, 651));
    EXPECT_EQ(Form1->edt1->Left(), 240);
    EXPECT_EQ(Form1->edt1->Width(), 710);
    EXPECT_EQ(Form1->dbgrd1->Top(), 15);
    EXPECT_EQ(Form1->dbgrd1->Font().Height(), -21);
    EXPECT_EQ(Form1->Font().Height(), -12);
    // The frame stays fixed at the new size.
    EXPECT_EQ(Form1->Handle()->minimumSize(), Form1->Handle()->maximumSize());
}

TEST_F(MainWindowTest, ErrorBoxShowsTheMessageWithTheFullStopRule)
{
    buildMainWindow();
    const std::size_t before = boxes_.boxes().size();
    vcl::Application->HandleException(std::make_exception_ptr(vcl::Exception("abc")));
    vcl::Application->HandleException(std::make_exception_ptr(vcl::Exception("找不到文件")));
    vcl::Application->HandleException(std::make_exception_ptr(vcl::Exception("abc)")));
    vcl::Application->HandleException(std::make_exception_ptr(std::runtime_error("from the engine")));
    ASSERT_EQ(boxes_.boxes().size(), before + 4);
    EXPECT_EQ(boxes_.boxes()[before].text, "abc.");
    EXPECT_EQ(boxes_.boxes()[before + 1].text, "找不到文件.");
    EXPECT_EQ(boxes_.boxes()[before + 2].text, "abc)");
    EXPECT_EQ(boxes_.boxes()[before + 3].text, "from the engine.");
    EXPECT_EQ(boxes_.boxes()[before].caption, vcl::Application->Title());
}

TEST_F(MainWindowTest, SilentAbortShowsNothing)
{
    writeBank({});
    buildMainWindow();
    vcl::Application->HandleException(std::make_exception_ptr(vcl::EAbort("Operation aborted")));
    EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(MainWindowTest, FocusComesBackAfterAnErrorBox)
{
    writeBank({"one"});
    buildMainWindow();
    showMainWindow();
    Form1->dbgrd1->SetFocus();
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    ASSERT_NE(focused, Form1->edt1->lineEdit());
    vcl::Application->ShowException(vcl::Exception("abc"));
    ASSERT_EQ(boxes_.boxes().size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == Form1->Handle(); }, 2000));
    EXPECT_EQ(QApplication::focusWidget(), focused);
}

// A window whose building fails: a component of its description cannot be created.
struct FailingFormProbe {
    static inline bool referenceSetBeforeConstruction = false;
    static inline QPointer<QWidget> builtLabel;
};

class FailingForm : public vcl::TForm {
public:
    explicit FailingForm(vcl::TComponent* owner);
};

FailingForm* failingForm = nullptr;

FailingForm::FailingForm(vcl::TComponent* owner) : vcl::TForm(owner)
{
    FailingFormProbe::referenceSetBeforeConstruction = failingForm == this;
    BeginDescription();
    auto* label = CreateComponent<vcl::TLabel>("lbl1");
    label->SetParent(this);
    FailingFormProbe::builtLabel = label->Handle();
    throw vcl::Exception("Error creating object.  Please verify that the Microsoft Data Access Components 2.1 (or "
                         "later) have been properly installed");
}

TEST(StartupFailure, ShowsTheApplicationErrorBoxAndEndsWithExitCodeOne)
{
    testing_support::ModalBoxWatcher boxes;
    int argc = 1;
    char name[] = "main_start_qtest";
    char* argv[] = {name, nullptr};
    bool ran = false;
    const int exitCode = vcl::RunProgram(argc, argv, [&] {
        vcl::Application->Initialize();
        vcl::Application->CreateForm(failingForm);
        ran = true;
        return vcl::Application->Run();
    });
    EXPECT_EQ(exitCode, 1);
    EXPECT_FALSE(ran);
    EXPECT_TRUE(FailingFormProbe::referenceSetBeforeConstruction);
    EXPECT_EQ(failingForm, nullptr);
    EXPECT_TRUE(FailingFormProbe::builtLabel.isNull()) << "the half-built window's components were not released";
    EXPECT_EQ(vcl::Application, nullptr);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    const auto& box = boxes.boxes()[0];
    EXPECT_EQ(box.caption, "Application Error");
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.buttons, QStringList{"OK"});
    EXPECT_FALSE(box.hasParent);
    EXPECT_TRUE(std::regex_match(
        box.text, std::regex("Exception Exception in module main_start_qtest at [0-9A-F]{8}\\.\n"
                             "Error creating object\\.  Please verify that the Microsoft Data Access Components "
                             "2\\.1 \\(or later\\) have been properly installed\\.\n")))
        << box.text;
}

// A window whose show handler fails is still shown.
class ShowFailingForm : public vcl::TForm {
public:
    explicit ShowFailingForm(vcl::TComponent* owner) : vcl::TForm(owner)
    {
        OnShow = [](vcl::TComponent*) { throw vcl::Exception("show failed"); };
        OnCreate = [](vcl::TComponent*) { throw vcl::Exception("create failed"); };
    }
};

TEST(FormHandlers, FailuresOfTheCreateAndShowHandlersAreShownAndTheWindowGoesOn)
{
    testing_support::ModalBoxWatcher boxes;
    vcl::TApplication application;
    application.Initialize();
    ShowFailingForm* form = nullptr;
    application.CreateForm(form);
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "create failed.");
    form->Show();
    ASSERT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.boxes()[1].text, "show failed.");
    EXPECT_TRUE(form->Handle()->isVisible());
}

}  // namespace
