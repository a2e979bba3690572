#include "vcl/widgets/status_bar.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QStatusBar>

namespace vcl {

// The bar decides on its grip when it is shown, once the window's frame is settled.
class StatusBarWidget : public QStatusBar {
public:
    explicit StatusBarWidget(TStatusBar& owner) : owner_(owner) {}

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            owner_.updateSizeGrip();
        else if (event->type() == QEvent::ApplicationFontChange)
            owner_.FontChanged();
        return QStatusBar::event(event);
    }

private:
    TStatusBar& owner_;
};

void TStatusPanel::SetText(std::string text)
{
    text_ = std::move(text);
    bar_.panelTextChanged(index_);
}

void TStatusPanel::SetWidth(int width)
{
    width_ = width;
    bar_.layoutPanels();
}

TStatusPanel* TStatusPanels::Add()
{
    panels_.push_back(std::unique_ptr<TStatusPanel>(new TStatusPanel(bar_, Count())));
    bar_.rebuildPanels();
    return panels_.back().get();
}

void TStatusPanels::Clear()
{
    panels_.clear();
    bar_.rebuildPanels();
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner), bar_(new StatusBarWidget(*this)), panels_(*this)
{
    bar_->setSizeGripEnabled(false);
    SetHandle(bar_);
    SetAlign(TAlign::alBottom);
    SetBounds(0, 0, 0, 19);
}

TStatusBar::~TStatusBar()
{
    DestroyHandle();
}

void TStatusBar::SetSizeGrip(bool sizeGrip)
{
    sizeGrip_ = sizeGrip;
    updateSizeGrip();
}

void TStatusBar::updateSizeGrip()
{
    const QWidget* window = bar_->window();
    const bool resizable = window && window != bar_ &&
                           !(window->windowFlags() & Qt::MSWindowsFixedSizeDialogHint) &&
                           window->minimumSize() != window->maximumSize();
    bar_->setSizeGripEnabled(sizeGrip_ && resizable);
}

QLabel* TStatusBar::panelLabel(int index) const
{
    return labels_.at(static_cast<std::size_t>(index));
}

void TStatusBar::rebuildPanels()
{
    for (QLabel* label : labels_) {
        bar_->removeWidget(label);
        delete label;
    }
    labels_.clear();
    for (int i = 0; i < panels_.Count(); ++i) {
        auto* label = new QLabel;
        label->setTextFormat(Qt::PlainText);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);  // the lowered bevel
        label->setLineWidth(1);
        label->setIndent(2);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setText(QString::fromStdString(panels_[i]->Text()));
        labels_.push_back(label);
    }
    layoutPanels();
    FontChanged();
}

void TStatusBar::layoutPanels()
{
    for (QLabel* label : labels_)
        bar_->removeWidget(label);
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        QLabel* label = labels_[i];
        const bool last = i + 1 == labels_.size();
        // The last panel reaches the right end of the bar, whatever its width says.
        if (last) {
            label->setMinimumWidth(0);
            label->setMaximumWidth(QWIDGETSIZE_MAX);
        } else {
            label->setFixedWidth(panels_[static_cast<int>(i)]->Width());
        }
        bar_->addWidget(label, last ? 1 : 0);
        label->show();
    }
}

void TStatusBar::panelTextChanged(int index)
{
    labels_.at(static_cast<std::size_t>(index))->setText(QString::fromStdString(panels_[index]->Text()));
}

void TStatusBar::FontChanged()
{
    // The panels use the system's status-bar font in the button-text colour, not the control's font.
    const QFont systemFont = QApplication::font("QStatusBar");
    bar_->setFont(systemFont);
    for (QLabel* label : labels_) {
        label->setFont(systemFont);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, toQColor(clBtnText));
        label->setPalette(palette);
    }
}

}  // namespace vcl
