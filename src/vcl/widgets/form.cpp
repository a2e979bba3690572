#include "vcl/widgets/form.h"

#include "vcl/widgets/application.h"
#include "vcl/widgets/dpi_scaling.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QWidget>

namespace vcl {

// The form's top-level window: tells the form when it is shown and closed.
class FormWindow : public QWidget {
public:
    explicit FormWindow(TForm& form) : QWidget(nullptr, Qt::Window), form_(form) {}

protected:
    void showEvent(QShowEvent* event) override
    {
        // Restoring a minimised window is a spontaneous show; only the program's own showing counts.
        if (!event->spontaneous())
            form_.windowShown();
        QWidget::showEvent(event);
    }
    void closeEvent(QCloseEvent* event) override
    {
        if (!form_.closeAllowed()) {
            event->ignore();
            return;
        }
        QWidget::closeEvent(event);
        if (event->isAccepted())
            form_.windowClosed();
    }

private:
    TForm& form_;
};

TForm::TForm(TComponent* owner) : TWinControl(owner)
{
    SetHandle(new FormWindow(*this));
    SetParentFont(false);
    SetVisible(false);
    SetColor(clBtnFace);
    applyWindowFlags();
}

TForm::~TForm()
{
    DestroyComponents();
    DestroyHandle();
}

void TForm::SetCaption(std::string caption)
{
    caption_ = std::move(caption);
    Handle()->setWindowTitle(QString::fromStdString(caption_));
}

void TForm::SetClientWidth(int width)
{
    Handle()->setMinimumSize(0, 0);
    Handle()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    Handle()->resize(width, Handle()->height());
    applyFixedSize();
}

void TForm::SetClientHeight(int height)
{
    Handle()->setMinimumSize(0, 0);
    Handle()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    Handle()->resize(Handle()->width(), height);
    applyFixedSize();
}

void TForm::SetBorderStyle(TFormBorderStyle style)
{
    borderStyle_ = style;
    applyWindowFlags();
    applyFixedSize();
}

void TForm::SetBorderIcons(TBorderIcons icons)
{
    borderIcons_ = icons;
    applyWindowFlags();
}

void TForm::applyWindowFlags()
{
    Qt::WindowFlags flags = Qt::Window;
    if (borderStyle_ == TFormBorderStyle::bsNone) {
        flags |= Qt::FramelessWindowHint;
    } else {
        // Only the buttons asked for: no maximise button unless biMaximize, and none on a fixed frame
        // that is not sizeable.
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        const bool sizeable =
            borderStyle_ == TFormBorderStyle::bsSizeable || borderStyle_ == TFormBorderStyle::bsSizeToolWin;
        if (borderStyle_ == TFormBorderStyle::bsToolWindow || borderStyle_ == TFormBorderStyle::bsSizeToolWin)
            flags |= Qt::Tool;
        if (borderIcons_ & biSystemMenu) {
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            if (borderStyle_ != TFormBorderStyle::bsDialog) {
                if (borderIcons_ & biMinimize)
                    flags |= Qt::WindowMinimizeButtonHint;
                if ((borderIcons_ & biMaximize) && sizeable)
                    flags |= Qt::WindowMaximizeButtonHint;
            }
            if (borderIcons_ & biHelp)
                flags |= Qt::WindowContextHelpButtonHint;
        }
        if (!sizeable)
            flags |= Qt::MSWindowsFixedSizeDialogHint;
    }
    const bool visible = Handle()->isVisible();
    Handle()->setWindowFlags(flags);
    if (visible)
        Handle()->show();
}

void TForm::applyFixedSize()
{
    const bool sizeable =
        borderStyle_ == TFormBorderStyle::bsSizeable || borderStyle_ == TFormBorderStyle::bsSizeToolWin;
    if (sizeable) {
        Handle()->setMinimumSize(0, 0);
        Handle()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        Handle()->setFixedSize(Handle()->size());
    }
}

void TForm::BeginDescription()
{
    BeginLoading();
}

void TForm::FinishDescription()
{
    const ScaleRatio ratio = prepareFormScaling(Font(), screenPixelsPerInch(), pixelsPerInch_, textHeight_);
    if (!ratio.isIdentity())
        ChangeScale(ratio.numerator, ratio.denominator);
    Loaded();
    for (int i = 0; i < ComponentCount(); ++i)
        Components(i)->Loaded();
    if (oldCreateOrder_)
        DoCreate();
}

void TForm::ChangeScale(int numerator, int denominator)
{
    const int width = MulDiv(Handle()->width(), numerator, denominator);
    const int height = MulDiv(Handle()->height(), numerator, denominator);
    SetClientWidth(width);
    SetClientHeight(height);
    for (int i = 0; i < ControlCount(); ++i)
        Controls(i)->ChangeScale(numerator, denominator);
}

void TForm::AfterConstruction()
{
    if (!oldCreateOrder_)
        DoCreate();
}

void TForm::DoCreate()
{
    if (created_)
        return;
    created_ = true;
    if (!OnCreate)
        return;
    try {
        OnCreate(this);
    } catch (...) {
        HandleException(std::current_exception());
    }
}

void TForm::DoShow()
{
    if (!OnShow)
        return;
    try {
        OnShow(this);
    } catch (...) {
        HandleException(std::current_exception());
    }
}

void TForm::windowShown()
{
    DoShow();
    if (!placed_) {
        placed_ = true;
        placeOnScreen();
    }
}

void TForm::placeOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect area;
    switch (position_) {
    case TPosition::poDesktopCenter: area = screen->virtualGeometry(); break;
    case TPosition::poScreenCenter:
    case TPosition::poMainFormCenter:
    case TPosition::poOwnerFormCenter: area = screen->geometry(); break;
    default: return;
    }
    // The frame is not known before the window is mapped; the inside is centred, which the frame only
    // widens by a few pixels on each side.
    const QSize size = Handle()->frameGeometry().size();
    Handle()->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

bool TForm::closeAllowed()
{
    try {
        return CloseQuery();
    } catch (...) {
        HandleException(std::current_exception());
        return false;
    }
}

void TForm::windowClosed()
{
    if (Application && Application->MainForm() == this)
        Application->Terminate();
}

void TForm::Show()
{
    SetVisible(true);
    Handle()->show();
}

void TForm::Hide()
{
    SetVisible(false);
    Handle()->hide();
}

void TForm::Close()
{
    Handle()->close();
}

void TForm::HandleException(std::exception_ptr failure)
{
    if (Application)
        Application->HandleException(failure);
    else
        TComponent::HandleException(failure);
}

}  // namespace vcl
