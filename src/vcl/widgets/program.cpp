#include "vcl/widgets/program.h"

#include "vcl/data/exceptions.h"
#include "vcl/widgets/application.h"
#include "vcl/widgets/application_title.h"
#include "vcl/widgets/error_text.h"
#include "vcl/widgets/guarded_application.h"
#include "vcl/widgets/message_box.h"

#include <dlfcn.h>

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <typeinfo>
#include <utility>
#include <vector>

namespace vcl {

namespace {

std::string fileNameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Qt's messages while the platform starts are held back until it is known whether it started, so that a
// platform that cannot start gives one line instead of Qt's several.
struct PlatformStart {
    static inline std::vector<std::pair<QtMsgType, QString>> held;
    static inline std::string programName;

    static void handler(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type != QtFatalMsg) {
            held.emplace_back(type, message);
            return;
        }
        // Qt would abort here: without a display the main window cannot be built.
        const QString detail = held.empty() ? message.section(u'\n', 0, 0) : held.front().second;
        std::fprintf(stderr, "%s: the main window cannot be built: no display can be opened (%s)\n",
                     programName.c_str(), detail.toLocal8Bit().constData());
        std::fflush(stderr);
        std::_Exit(1);
    }
};

// Makes the program's Qt application; a platform that cannot start ends the process with exit code 1.
std::unique_ptr<QApplication> startPlatform(int& argc, char** argv)
{
    PlatformStart::programName = fileNameOf(runningExecutablePath());
    const QtMessageHandler previous = qInstallMessageHandler(&PlatformStart::handler);
    auto app = std::make_unique<GuardedApplication>(argc, argv);
    qInstallMessageHandler(previous);
    // The platform started: what it said on the way is passed on as usual.
    for (const auto& [type, message] : PlatformStart::held)
        qt_message_output(type, QMessageLogContext(), message);
    PlatformStart::held.clear();
    return app;
}

// Where the failure was raised, as an address relative to the module that holds its class.
std::uint32_t failureAddress(const std::type_info& type)
{
    Dl_info info{};
    const void* where = &type;
    if (dladdr(where, &info) && info.dli_fbase)
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(where) -
                                          reinterpret_cast<std::uintptr_t>(info.dli_fbase));
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(where));
}

}  // namespace

std::string startupFailureTextFor(std::exception_ptr failure, const std::string& moduleName)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return startupFailureText(failureClassName(e), moduleName, failureAddress(typeid(e)), e.what());
    } catch (...) {
        return startupFailureText("Exception", moduleName, 0, "Unknown failure");
    }
}

int ShowStartupFailure(std::exception_ptr failure)
{
    ShowStartupFailureBox(startupFailureTextFor(failure, fileNameOf(runningExecutablePath())));
    return 1;
}

int RunProgram(int& argc, char** argv, const std::function<int()>& block)
{
    std::unique_ptr<QApplication> platform;
    if (!QCoreApplication::instance())
        platform = startPlatform(argc, argv);
    int exitCode = 0;
    {
        TApplication application;
        try {
            exitCode = block();
        } catch (...) {
            exitCode = ShowStartupFailure(std::current_exception());
        }
    }
    return exitCode;
}

}  // namespace vcl
