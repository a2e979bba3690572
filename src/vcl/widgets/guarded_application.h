#pragma once
// The Qt application object of the program: a failure that escapes the handling of any event goes to
// the application's default failure handling (the error box), and the event loop goes on.
#include <QApplication>

namespace vcl {

class GuardedApplication : public QApplication {
    Q_OBJECT
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vcl
