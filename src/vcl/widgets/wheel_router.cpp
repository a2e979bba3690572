#include "vcl/widgets/wheel_router.h"

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>

namespace vcl {

namespace {

// The turn as handed on to the focused widget: it passes every router, there and on its parents.
class RoutedWheelEvent : public QWheelEvent {
public:
    using QWheelEvent::QWheelEvent;
};

}  // namespace

void WheelRouter::watch(QWidget* widget)
{
    widget->installEventFilter(this);
}

bool WheelRouter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel || dynamic_cast<RoutedWheelEvent*>(event))
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    QWidget* focused = QApplication::focusWidget();
    if (!widget || focused == widget)
        return false;
    if (!focused || focused->window() != widget->window())
        return true;  // nothing of this window has the focus: the turn does nothing
    auto* wheel = static_cast<QWheelEvent*>(event);
    const QPointF global = wheel->globalPosition();
    RoutedWheelEvent copy(focused->mapFromGlobal(global), global, wheel->pixelDelta(), wheel->angleDelta(),
                     wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted(), wheel->source());
    QCoreApplication::sendEvent(focused, &copy);
    return true;
}

}  // namespace vcl
