#include "vcl/widgets/wheel_router.h"

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>

namespace vcl {

void WheelRouter::watch(QWidget* widget)
{
    widget->installEventFilter(this);
}

bool WheelRouter::eventFilter(QObject* watched, QEvent* event)
{
    // Only the turn as the window system delivered it; the copy sent on below is not spontaneous, so
    // that it passes this filter when it reaches the focused widget or travels on to its parents.
    if (event->type() != QEvent::Wheel || !event->spontaneous())
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    QWidget* focused = QApplication::focusWidget();
    if (!widget || focused == widget)
        return false;
    if (!focused || focused->window() != widget->window())
        return true;  // nothing of this window has the focus: the turn does nothing
    auto* wheel = static_cast<QWheelEvent*>(event);
    const QPointF global = wheel->globalPosition();
    QWheelEvent copy(focused->mapFromGlobal(global), global, wheel->pixelDelta(), wheel->angleDelta(),
                     wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted(), wheel->source());
    QCoreApplication::sendEvent(focused, &copy);
    return true;
}

}  // namespace vcl
