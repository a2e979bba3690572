#pragma once
// The base of every control on a form: a component that wraps one Qt widget, with the position, size,
// font and parent that the window description sets. TWinControl adds what takes the keyboard focus:
// the tab order, SetFocus, and the list of controls placed on it.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "vcl/data/component.h"
#include "vcl/widgets/color.h"
#include "vcl/widgets/font.h"

namespace vcl {

class TWinControl;
class WheelRouter;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TControl : public TComponent {
public:
    // A control whose owner is a TWinControl (a form) is placed on it; SetParent places it elsewhere.
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // The control it is placed on; its widget becomes a child of the parent's widget.
    TWinControl* Parent() const noexcept { return parent_; }
    void SetParent(TWinControl* parent);

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    virtual void SetBounds(int left, int top, int width, int height);
    // The inside, without the border.
    int ClientWidth() const;
    int ClientHeight() const;

    // Keeps the control at an edge of its parent, across its full width or height.
    TAlign Align() const noexcept { return align_; }
    void SetAlign(TAlign align);

    // Changing the font's settings shows at once; setting them clears ParentFont.
    TFont& Font() noexcept { return font_; }
    const TFont& Font() const noexcept { return font_; }
    void SetFont(const TFont& font) { font_.Assign(font); }
    // While set, the control takes its parent's font and follows its changes.
    bool ParentFont() const noexcept { return parentFont_; }
    void SetParentFont(bool parentFont);

    TColor Color() const noexcept { return color_; }
    void SetColor(TColor color);

    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const;
    void SetEnabled(bool enabled);

    // Scales position, size and (unless it follows its parent's) font by numerator / denominator.
    virtual void ChangeScale(int numerator, int denominator);

    // The Qt widget that shows the control.
    QWidget* Handle() const noexcept { return widget_; }

protected:
    // A concrete control makes its widget in its constructor and hands it over here; the control owns it.
    void SetHandle(QWidget* widget);
    // Releases the widget now; a control's destructor calls it while the control is still whole.
    void DestroyHandle();
    // The widget has just been handed over.
    virtual void HandleCreated() {}
    // Runs an event handler for an event of the widget. A failure it raises must not cross Qt's event
    // delivery: it goes to HandleException (the owner, then the application), as any event's failure does.
    void CallHandler(const std::function<void()>& handler) noexcept;
    // The font or colour changed: show them on the widget. The default sets the widget's font, text colour
    // and, unless the colour is the parent's, background.
    virtual void FontChanged();
    virtual void ColorChanged();
    // The parent's size changed (aligned controls follow it).
    void RealignToParent();

private:
    friend class TWinControl;
    void takeParentFont();

    QPointer<QWidget> widget_;
    TWinControl* placeOn_ = nullptr;  // the owner, until the widget exists
    TWinControl* parent_ = nullptr;
    TFont font_;
    bool parentFont_ = true;
    bool takingParentFont_ = false;
    TColor color_ = clBtnFace;  // the parent's until set
    bool colorSet_ = false;
    bool visible_ = true;
    TAlign align_ = TAlign::alNone;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // Position among the parent's controls that take the focus with Tab; 0 comes first.
    int TabOrder() const;
    void SetTabOrder(int order);
    // Whether Tab stops here; a control without it still takes the focus from a click.
    bool TabStop() const noexcept { return tabStop_; }
    void SetTabStop(bool tabStop);

    bool CanFocus() const;
    bool Focused() const;
    // Moves the keyboard focus here; while the window is not active yet the control takes it when it is.
    virtual void SetFocus();

    int ControlCount() const noexcept { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(static_cast<std::size_t>(index)); }

    // Also scales every control placed on it.
    void ChangeScale(int numerator, int denominator) override;

protected:
    // The focus policy to use when TabStop is on; controls that never take the focus say so.
    virtual bool TakesFocus() const { return true; }
    void FontChanged() override;
    void HandleCreated() override;
    // Called when the parent's size changed; aligned child controls follow.
    void Resized();

private:
    friend class TControl;
    friend class ParentResizeWatcher;
    void insertControl(TControl* control);
    void removeControl(TControl* control);
    void applyTabOrder();
    void applyFocusPolicy();

    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    bool tabStop_ = true;
    QObject* resizeWatcher_ = nullptr;
};

}  // namespace vcl
