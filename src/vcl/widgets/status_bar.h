#pragma once
// The status bar at the bottom of the form: panels of text, each in a lowered bevel, in the system's
// status-bar font. The last panel reaches the right end of the bar whatever its width.
#include <memory>
#include <string>
#include <vector>

#include "vcl/widgets/control.h"

class QStatusBar;
class QLabel;

namespace vcl {

class TStatusBar;

class TStatusPanel {
public:
    const std::string& Text() const noexcept { return text_; }
    void SetText(std::string text);
    int Width() const noexcept { return width_; }
    void SetWidth(int width);
    int Index() const noexcept { return index_; }

private:
    friend class TStatusPanels;
    TStatusPanel(TStatusBar& bar, int index) : bar_(bar), index_(index) {}
    TStatusBar& bar_;
    int index_;
    std::string text_;
    int width_ = 50;
};

class TStatusPanels {
public:
    int Count() const noexcept { return static_cast<int>(panels_.size()); }
    TStatusPanel* Add();
    TStatusPanel* Items(int index) const { return panels_.at(static_cast<std::size_t>(index)).get(); }
    TStatusPanel* operator[](int index) const { return Items(index); }
    void Clear();

private:
    friend class TStatusBar;
    explicit TStatusPanels(TStatusBar& bar) : bar_(bar) {}
    TStatusBar& bar_;
    std::vector<std::unique_ptr<TStatusPanel>> panels_;
};

class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* owner);
    ~TStatusBar() override;

    TStatusPanels& Panels() noexcept { return panels_; }
    const TStatusPanels& Panels() const noexcept { return panels_; }
    // A grip is drawn only while the window it is on can be resized.
    bool SizeGrip() const noexcept { return sizeGrip_; }
    void SetSizeGrip(bool sizeGrip);

    // The label that shows a panel (for tests and readers of the window).
    QLabel* panelLabel(int index) const;

protected:
    bool TakesFocus() const override { return false; }
    void FontChanged() override;

private:
    friend class TStatusPanel;
    friend class TStatusPanels;
    friend class StatusBarWidget;
    void rebuildPanels();
    void panelTextChanged(int index);
    void layoutPanels();

    QStatusBar* bar_;
    TStatusPanels panels_;
    std::vector<QLabel*> labels_;
    bool sizeGrip_ = true;
    void updateSizeGrip();
};

}  // namespace vcl
