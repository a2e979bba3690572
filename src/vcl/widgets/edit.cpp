#include "vcl/widgets/edit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <limits>

namespace vcl {

namespace {

// Selects the whole text when entered by keyboard or by the program, not when entered by a click.
class EditWidget : public QLineEdit {
public:
    bool autoSelect = true;

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        QLineEdit::focusInEvent(event);
        switch (event->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
        case Qt::OtherFocusReason:
            if (autoSelect)
                selectAll();
            else
                deselect();
            break;
        default:
            break;
        }
    }
};

}  // namespace

TEdit::TEdit(TComponent* owner) : TWinControl(owner), edit_(new EditWidget)
{
    edit_->setFrame(true);
    SetMaxLength(0);
    // Any change of the text, whatever made it; moving the caret or the focus changes no text.
    QObject::connect(edit_, &QLineEdit::textChanged, edit_, [this] {
        if (OnChange)
            CallHandler([this] { OnChange(this); });
    });
    SetHandle(edit_);
    SetColor(clWindow);
    applySelectionColours();
}

std::string TEdit::Text() const
{
    return edit_->text().toStdString();
}

void TEdit::SetText(const std::string& text)
{
    edit_->setText(QString::fromStdString(text));
}

void TEdit::SetMaxLength(int maxLength)
{
    maxLength_ = std::max(0, maxLength);
    edit_->setMaxLength(maxLength_ == 0 ? std::numeric_limits<int>::max() : maxLength_);
}

bool TEdit::AutoSelect() const noexcept
{
    return static_cast<EditWidget*>(edit_)->autoSelect;
}

void TEdit::SetAutoSelect(bool autoSelect)
{
    static_cast<EditWidget*>(edit_)->autoSelect = autoSelect;
}

void TEdit::SetHideSelection(bool hideSelection)
{
    hideSelection_ = hideSelection;
    applySelectionColours();
}

bool TEdit::ReadOnly() const
{
    return edit_->isReadOnly();
}

void TEdit::SetReadOnly(bool readOnly)
{
    edit_->setReadOnly(readOnly);
}

void TEdit::SelectAll()
{
    edit_->selectAll();
}

int TEdit::SelStart() const
{
    return edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition();
}

int TEdit::SelLength() const
{
    return edit_->selectionLength();
}

void TEdit::ColorChanged()
{
    QPalette palette = edit_->palette();
    palette.setColor(QPalette::Base, toQColor(Color()));
    edit_->setPalette(palette);
    applySelectionColours();
}

void TEdit::FontChanged()
{
    TWinControl::FontChanged();
    applySelectionColours();
}

void TEdit::applySelectionColours()
{
    // The box gives up its selection when the focus moves elsewhere in the window; what stays is the
    // selection while the window itself is inactive, and that one is not shown either.
    QPalette palette = edit_->palette();
    const QPalette system = QApplication::palette();
    if (hideSelection_) {
        palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Base));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Active, QPalette::Text));
    } else {
        palette.setColor(QPalette::Inactive, QPalette::Highlight, system.color(QPalette::Inactive, QPalette::Highlight));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         system.color(QPalette::Inactive, QPalette::HighlightedText));
    }
    edit_->setPalette(palette);
}

}  // namespace vcl
