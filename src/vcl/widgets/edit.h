#pragma once
// The single-line text box. Entered by keyboard it selects its whole text (AutoSelect); entered by a click
// the caret goes where the click was. Its selection shows only while it has the focus. OnChange follows
// every change of its text, whatever made it, and nothing else.
#include <functional>
#include <string>

#include "vcl/widgets/control.h"

class QLineEdit;

namespace vcl {

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);

    std::string Text() const;
    void SetText(const std::string& text);

    // 0: no limit of its own.
    int MaxLength() const noexcept { return maxLength_; }
    void SetMaxLength(int maxLength);
    bool AutoSelect() const noexcept;
    void SetAutoSelect(bool autoSelect);
    bool HideSelection() const noexcept { return hideSelection_; }
    void SetHideSelection(bool hideSelection);
    bool ReadOnly() const;
    void SetReadOnly(bool readOnly);

    void SelectAll();
    int SelStart() const;
    int SelLength() const;

    // Raised after every change of the text, with the box as the sender.
    std::function<void(TComponent* sender)> OnChange;

    QLineEdit* lineEdit() const noexcept { return edit_; }

protected:
    void ColorChanged() override;
    void FontChanged() override;

private:
    void applySelectionColours();

    QLineEdit* edit_;
    int maxLength_ = 0;
    bool hideSelection_ = true;
};

}  // namespace vcl
