#pragma once
// A top-level window built from a window description: the form's own settings, then its components,
// each created, owned and given its settings, their links, and last Loaded() for the form and for every
// component in the order of the description. The create event follows construction; the show event fires
// each time the window goes from hidden to shown, before it is placed.
#include <exception>
#include <functional>
#include <string>

#include "vcl/widgets/control.h"

namespace vcl {

enum class TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter,
};

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

// The title-bar buttons, combinable with |; the close button comes with the system menu.
enum TBorderIcon : unsigned { biSystemMenu = 1u << 0, biMinimize = 1u << 1, biMaximize = 1u << 2, biHelp = 1u << 3 };
using TBorderIcons = unsigned;

using TNotifyEvent = std::function<void(TComponent* sender)>;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    // The components go first, while the form is still whole.
    ~TForm() override;

    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(std::string caption);

    // The size of the inside of the window, without its frame.
    void SetClientWidth(int width);
    void SetClientHeight(int height);

    TPosition Position() const noexcept { return position_; }
    void SetPosition(TPosition position) noexcept { position_ = position; }
    TFormBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TBorderIcons BorderIcons() const noexcept { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);

    // The screen the description was made for: its dots per inch and the height of its window font's text.
    int PixelsPerInch() const noexcept { return pixelsPerInch_; }
    void SetPixelsPerInch(int pixelsPerInch) noexcept { pixelsPerInch_ = pixelsPerInch; }
    int TextHeight() const noexcept { return textHeight_; }
    void SetTextHeight(int textHeight) noexcept { textHeight_ = textHeight; }

    // False: the create event fires after construction is complete; true: at the end of loading.
    bool OldCreateOrder() const noexcept { return oldCreateOrder_; }
    void SetOldCreateOrder(bool oldCreateOrder) noexcept { oldCreateOrder_ = oldCreateOrder; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;

    // Construction is complete: the create event fires (unless it fired at the end of loading).
    void AfterConstruction();

    // Shows and hides the window (a top-level window has no parent to appear on).
    void Show();
    void Hide();

    // Closes the window; closing the application's main window ends the program's event loop.
    void Close();

    // A failure caught by a component of the form goes to the application's default handling.
    void HandleException(std::exception_ptr failure) override;

    // Scales the client size and every control on the form; the window font stays as it is.
    void ChangeScale(int numerator, int denominator) override;

    // Asked before the window closes; the window stays open when it says no. A failure in it is shown
    // in the error box and keeps the window open too.
    virtual bool CloseQuery() { return true; }

protected:
    // A component of the description, owned by the form, named, and marked as loading.
    template <class T>
    T* CreateComponent(std::string name)
    {
        T* component = new T(this);
        component->BeginLoading();
        component->SetName(std::move(name));
        return component;
    }

    // Marks the form as loading; its description follows.
    void BeginDescription();
    // Ends the description: scales to the screen, then tells the form and every component, in the order of
    // the description, that loading has finished.
    void FinishDescription();

private:
    friend class FormWindow;
    void windowShown();
    void windowClosed();
    bool closeAllowed();
    void DoCreate();
    void DoShow();
    void applyWindowFlags();
    void applyFixedSize();
    void placeOnScreen();

    std::string caption_;
    TPosition position_ = TPosition::poDesigned;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    int pixelsPerInch_ = 96;
    int textHeight_ = 12;
    bool oldCreateOrder_ = false;
    bool created_ = false;
    bool placed_ = false;
};

}  // namespace vcl
