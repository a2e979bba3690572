#pragma once
// A plain window to place controls on in tests: a TWinControl with a top-level widget of a given size.
#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>

#include "vcl/widgets/control.h"
#include "vcl/widgets/font_substitutes.h"

namespace testing_support {

class TestWindow : public vcl::TWinControl {
public:
    explicit TestWindow(int width = 658, int height = 434) : vcl::TWinControl(nullptr)
    {
        vcl::installFontSubstitutes();
        auto* widget = new QWidget;
        widget->resize(width, height);
        SetHandle(widget);
        Font().SetName("宋体");
        Font().SetHeight(-12);
        Font().SetCharset(vcl::GB2312_CHARSET);
        Font().SetColor(vcl::clBlack);
    }
    ~TestWindow() override { DestroyComponents(); }

    // Shows the window and waits until it is active, so that focus and highlight behave as on a desktop.
    void showActive()
    {
        Handle()->show();
        Handle()->activateWindow();
        QApplication::setActiveWindow(Handle());
        (void)QTest::qWaitForWindowActive(Handle());
    }
};

// What a widget shows, painted into an image of its own size.
inline QImage renderImage(QWidget* widget)
{
    QImage image(widget->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    widget->render(&image);
    return image;
}

}  // namespace testing_support
