#include "vcl/widgets/guarded_application.h"

#include "vcl/widgets/application.h"

#include <cstdio>

namespace vcl {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (Application) {
            Application->HandleException(std::current_exception());
        } else {
            std::fputs("unhandled failure while no application object exists\n", stderr);
        }
        return false;
    }
}

}  // namespace vcl
