#pragma once
// Fixed text on the form; it never takes the focus. With AutoSize it takes the size of its caption.
#include <string>

#include "vcl/widgets/control.h"

class QLabel;

namespace vcl {

class TLabel : public TControl {
public:
    explicit TLabel(TComponent* owner);

    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(std::string caption);
    bool AutoSize() const noexcept { return autoSize_; }
    void SetAutoSize(bool autoSize);

protected:
    void FontChanged() override;

private:
    void adjustSize();

    QLabel* label_;
    std::string caption_;
    bool autoSize_ = true;
};

}  // namespace vcl
