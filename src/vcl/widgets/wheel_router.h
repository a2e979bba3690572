#pragma once
// The mouse wheel acts on the control that has the keyboard focus, not on the one under the pointer.
// A router watches one widget: a wheel turn delivered to it while another widget of the same window has
// the focus goes to the focused widget instead (and no further).
#include <QObject>

namespace vcl {

class WheelRouter : public QObject {
    Q_OBJECT
public:
    explicit WheelRouter(QObject* parent = nullptr) : QObject(parent) {}
    // Watches the widget (and stays until this router goes).
    void watch(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace vcl
