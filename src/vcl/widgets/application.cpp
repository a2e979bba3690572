#include "vcl/widgets/application.h"

#include "vcl/data/exceptions.h"
#include "vcl/widgets/accessibility.h"
#include "vcl/widgets/application_title.h"
#include "vcl/widgets/error_text.h"
#include "vcl/widgets/font_substitutes.h"
#include "vcl/widgets/form.h"
#include "vcl/widgets/message_box.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

// The icon lives in this static library's resources; nothing else would pull them into the program.
static void loadIconResource() { Q_INIT_RESOURCE(icons); }

namespace vcl {

TApplication* Application = nullptr;

namespace {
// Stands in for the system's message font on a Chinese system (9 points, 12 pixels at 96 dots per inch,
// more on a denser screen): the boxes take the application font.
constexpr const char* kMessageFontFace = "宋体";
constexpr int kMessageFontPoints = 9;
}  // namespace

TApplication::TApplication(const std::string& executablePath)
    : exeName_(executablePath), title_(titleFromExecutablePath(executablePath))
{
    SetName("Application");
    Application = this;
}

TApplication::TApplication() : TApplication(runningExecutablePath()) {}

TApplication::~TApplication()
{
    DestroyComponents();
    if (Application == this)
        Application = nullptr;
}

void TApplication::Initialize()
{
    // The engine needs no per-thread set-up; what the boxes and windows need is done here, before the
    // first widget is made.
    installFontSubstitutes();
    installAccessibleInterfaces();
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        app->setApplicationName(QString::fromStdString(title_));
        QFont messageFont(QString::fromUtf8(kMessageFontFace));
        messageFont.setPointSize(kMessageFontPoints);
        QApplication::setFont(messageFont);
        loadIconResource();
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/MAINICON")));
        // The main window's closing ends the loop, not the last window's.
        QApplication::setQuitOnLastWindowClosed(false);
    }
}

void TApplication::formBuilt(TForm* form)
{
    form->AfterConstruction();
    if (!mainForm_)
        mainForm_ = form;
}

int TApplication::Run()
{
    if (mainForm_ && !terminated_)
        mainForm_->Show();
    if (terminated_)
        return 0;
    return QApplication::exec();
}

void TApplication::Terminate()
{
    terminated_ = true;
    QCoreApplication::exit(0);
}

void TApplication::HandleException(std::exception_ptr failure)
{
    if (!failure)
        return;
    try {
        std::rethrow_exception(failure);
    } catch (const EAbort&) {
        // A silent abort shows nothing.
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowErrorBox(errorBoxText("Unknown failure"), title_);
    }
}

void TApplication::ShowException(const std::exception& failure)
{
    ShowErrorBox(errorBoxText(failure.what()), title_);
}

}  // namespace vcl
