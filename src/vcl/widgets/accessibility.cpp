#include "vcl/widgets/accessibility.h"

#include <QAccessibleWidget>
#include <QWidget>

#include "vcl/widgets/grid_accessible.h"
#include "vcl/widgets/grid_view.h"
#include "vcl/widgets/label.h"

namespace vcl {

namespace {

// Qt asks for each class of an object in turn, the most derived first, until a factory answers.
QAccessibleInterface* programInterface(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("vcl::GridView"))
        return new GridAccessible(*static_cast<GridView*>(object));
    // A form's window is a plain QWidget, which Qt would describe as a client area ("filler" on AT-SPI).
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("QWidget") && widget->isWindow())
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

}  // namespace

void installAccessibleInterfaces()
{
    // Qt asks the factory installed last first, and its own (installed with the application object)
    // describes a plain QWidget too: ours goes on top again.
    QAccessible::removeFactory(programInterface);
    QAccessible::installFactory(programInterface);
}

void SetAccessibleLabel(TControl& control, const TLabel& label)
{
    if (QWidget* widget = control.Handle())
        widget->setAccessibleName(QString::fromStdString(label.Caption()));
}

}  // namespace vcl
