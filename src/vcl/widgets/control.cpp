#include "vcl/widgets/control.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPalette>
#include <algorithm>

#include "vcl/widgets/dpi_scaling.h"
#include "vcl/widgets/wheel_router.h"

namespace vcl {

// Tells a TWinControl that its widget changed size, so that aligned controls on it follow.
class ParentResizeWatcher : public QObject {
public:
    ParentResizeWatcher(TWinControl& control, QWidget* widget) : QObject(widget), control_(control)
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            control_.Resized();
        return false;
    }

private:
    TWinControl& control_;
};

// ---- TControl --------------------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner), placeOn_(dynamic_cast<TWinControl*>(owner))
{
    font_.SetName("Tahoma");
    font_.SetHeight(-11);
    font_.OnChange = [this] {
        if (!takingParentFont_)
            parentFont_ = false;
        FontChanged();
    };
}

TControl::~TControl()
{
    if (parent_)
        parent_->removeControl(this);
    DestroyHandle();
}

void TControl::SetHandle(QWidget* widget)
{
    widget_ = widget;
    auto* router = new WheelRouter(widget);
    router->watch(widget);
    if (auto* scrollArea = qobject_cast<QAbstractScrollArea*>(widget))
        router->watch(scrollArea->viewport());
    HandleCreated();
    if (placeOn_ && !parent_)
        SetParent(placeOn_);
    placeOn_ = nullptr;
    FontChanged();
}

void TControl::CallHandler(const std::function<void()>& handler) noexcept
{
    try {
        handler();
    } catch (...) {
        try {
            HandleException(std::current_exception());
        } catch (const std::exception& failure) {
            qCritical("%s: %s", Name().c_str(), failure.what());
        } catch (...) {
            qCritical("%s: a failure without a message", Name().c_str());
        }
    }
}

void TControl::DestroyHandle()
{
    delete widget_.data();
    widget_ = nullptr;
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == parent_)
        return;
    if (parent_)
        parent_->removeControl(this);
    parent_ = parent;
    if (widget_) {
        const QRect geometry = widget_->geometry();
        widget_->setParent(parent && parent->Handle() ? parent->Handle() : nullptr);
        widget_->setGeometry(geometry);
        if (visible_ && parent)
            widget_->show();
    }
    if (auto* win = dynamic_cast<TWinControl*>(this))
        win->applyFocusPolicy();
    if (parent_) {
        parent_->insertControl(this);
        if (parentFont_)
            takeParentFont();
        if (!colorSet_)
            color_ = parent_->Color();
        RealignToParent();
    }
}

int TControl::Left() const { return widget_ ? widget_->x() : 0; }
int TControl::Top() const { return widget_ ? widget_->y() : 0; }
int TControl::Width() const { return widget_ ? widget_->width() : 0; }
int TControl::Height() const { return widget_ ? widget_->height() : 0; }
void TControl::SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
void TControl::SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
void TControl::SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
void TControl::SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

void TControl::SetBounds(int left, int top, int width, int height)
{
    if (!widget_)
        return;
    widget_->setGeometry(left, top, std::max(0, width), std::max(0, height));
    RealignToParent();
}

int TControl::ClientWidth() const { return widget_ ? widget_->contentsRect().width() : 0; }
int TControl::ClientHeight() const { return widget_ ? widget_->contentsRect().height() : 0; }

void TControl::SetAlign(TAlign align)
{
    align_ = align;
    RealignToParent();
}

void TControl::RealignToParent()
{
    if (align_ == TAlign::alNone || !parent_ || !parent_->Handle() || !widget_)
        return;
    const QRect area = parent_->Handle()->contentsRect();
    QRect target = widget_->geometry();
    switch (align_) {
    case TAlign::alTop: target = QRect(area.left(), area.top(), area.width(), target.height()); break;
    case TAlign::alBottom:
        target = QRect(area.left(), area.bottom() + 1 - target.height(), area.width(), target.height());
        break;
    case TAlign::alLeft: target = QRect(area.left(), area.top(), target.width(), area.height()); break;
    case TAlign::alRight:
        target = QRect(area.right() + 1 - target.width(), area.top(), target.width(), area.height());
        break;
    case TAlign::alClient: target = area; break;
    case TAlign::alNone: break;
    }
    if (target != widget_->geometry())
        widget_->setGeometry(target);
}

void TControl::SetParentFont(bool parentFont)
{
    parentFont_ = parentFont;
    if (parentFont_)
        takeParentFont();
}

void TControl::takeParentFont()
{
    if (!parent_)
        return;
    takingParentFont_ = true;
    font_.Assign(parent_->Font());
    takingParentFont_ = false;
}

void TControl::SetColor(TColor color)
{
    colorSet_ = true;
    color_ = color;
    ColorChanged();
}

void TControl::SetVisible(bool visible)
{
    visible_ = visible;
    if (widget_ && (parent_ || !visible))
        widget_->setVisible(visible);
}

bool TControl::Enabled() const { return widget_ && widget_->isEnabled(); }

void TControl::SetEnabled(bool enabled)
{
    if (widget_)
        widget_->setEnabled(enabled);
}

void TControl::ChangeScale(int numerator, int denominator)
{
    if (numerator == denominator || denominator == 0)
        return;
    // Edges are scaled, not extents, so that neighbouring controls stay neighbours.
    const int left = MulDiv(Left(), numerator, denominator);
    const int top = MulDiv(Top(), numerator, denominator);
    const int right = MulDiv(Left() + Width(), numerator, denominator);
    const int bottom = MulDiv(Top() + Height(), numerator, denominator);
    SetBounds(left, top, right - left, bottom - top);
    if (!parentFont_) {
        takingParentFont_ = true;  // scaling keeps the font the control's own, without clearing anything
        font_.SetHeight(MulDiv(font_.Height(), numerator, denominator));
        takingParentFont_ = false;
    }
}

void TControl::FontChanged()
{
    if (!widget_)
        return;
    widget_->setFont(font_.toQFont());
    QPalette palette = widget_->palette();
    const QColor text = toQColor(font_.Color());
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    widget_->setPalette(palette);
}

void TControl::ColorChanged()
{
    if (!widget_ || !colorSet_)
        return;
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Window, toQColor(color_));
    widget_->setPalette(palette);
    widget_->setAutoFillBackground(true);
}

// ---- TWinControl -----------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl()
{
    for (TControl* control : controls_)
        control->parent_ = nullptr;
    controls_.clear();
    tabList_.clear();
}

void TWinControl::insertControl(TControl* control)
{
    controls_.push_back(control);
    if (auto* win = dynamic_cast<TWinControl*>(control)) {
        tabList_.push_back(win);
        applyTabOrder();
    }
}

void TWinControl::HandleCreated()
{
    resizeWatcher_ = new ParentResizeWatcher(*this, Handle());
    applyFocusPolicy();
}

void TWinControl::removeControl(TControl* control)
{
    std::erase(controls_, control);
    if (auto* win = dynamic_cast<TWinControl*>(control))
        std::erase(tabList_, win);
}

int TWinControl::TabOrder() const
{
    if (!Parent())
        return -1;
    const auto& list = Parent()->tabList_;
    const auto found = std::find(list.begin(), list.end(), this);
    return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}

void TWinControl::SetTabOrder(int order)
{
    TWinControl* parent = Parent();
    if (!parent)
        return;
    auto& list = parent->tabList_;
    std::erase(list, this);
    const auto index = static_cast<std::size_t>(std::clamp(order, 0, static_cast<int>(list.size())));
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), this);
    parent->applyTabOrder();
}

void TWinControl::applyTabOrder()
{
    for (std::size_t i = 0; i + 1 < tabList_.size(); ++i) {
        QWidget* before = tabList_[i]->Handle();
        QWidget* after = tabList_[i + 1]->Handle();
        if (before && after)
            QWidget::setTabOrder(before, after);
    }
}

void TWinControl::SetTabStop(bool tabStop)
{
    tabStop_ = tabStop;
    applyFocusPolicy();
}

void TWinControl::applyFocusPolicy()
{
    if (!Handle())
        return;
    // A control takes the focus once placed on a window; the window itself (a form) never takes it.
    if (!TakesFocus() || !Parent())
        Handle()->setFocusPolicy(Qt::NoFocus);
    else
        Handle()->setFocusPolicy(tabStop_ ? Qt::StrongFocus : Qt::ClickFocus);
}

bool TWinControl::CanFocus() const
{
    return Handle() && TakesFocus() && Handle()->isEnabled() && Visible();
}

bool TWinControl::Focused() const
{
    return Handle() && Handle()->hasFocus();
}

void TWinControl::SetFocus()
{
    if (Handle())
        Handle()->setFocus(Qt::OtherFocusReason);
}

void TWinControl::ChangeScale(int numerator, int denominator)
{
    if (numerator == denominator || denominator == 0)
        return;
    TControl::ChangeScale(numerator, denominator);
    for (TControl* control : controls_)
        control->ChangeScale(numerator, denominator);
}

void TWinControl::FontChanged()
{
    TControl::FontChanged();
    for (TControl* control : controls_)
        if (control->ParentFont())
            control->takeParentFont();
}

void TWinControl::Resized()
{
    for (TControl* control : controls_)
        control->RealignToParent();
}

}  // namespace vcl
