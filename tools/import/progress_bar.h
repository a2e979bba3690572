#pragma once
// A one-line progress bar on standard error, drawn only when that is a terminal.
#include <cstdint>
#include <string>

namespace tool {

class ProgressBar {
public:
    // total: the amount of work (bytes of the text file); nothing is drawn when it is 0.
    explicit ProgressBar(std::uintmax_t total);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Cheap to call for every line: it redraws only when the shown tenth of a percent changes.
    void update(std::uintmax_t done, std::uint64_t items)
    {
        if (enabled_ && done * 1000 / total_ != shown_)
            draw(done, items);
    }
    // Replaces the bar by a note about the last step ("writing the index").
    void note(const std::string& text);
    // Ends the line the bar was drawn on.
    void finish();

private:
    void draw(std::uintmax_t done, std::uint64_t items);

    bool enabled_;
    bool drawn_ = false;
    std::uintmax_t total_;
    std::uintmax_t shown_ = UINTMAX_MAX;
};

}  // namespace tool
