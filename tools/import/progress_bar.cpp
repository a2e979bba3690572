#include "import/progress_bar.h"

#include <cstdio>
#include <unistd.h>

namespace tool {

ProgressBar::ProgressBar(std::uintmax_t total) : enabled_(total > 0 && isatty(STDERR_FILENO)), total_(total) {}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::draw(std::uintmax_t done, std::uint64_t items)
{
    shown_ = done * 1000 / total_;
    constexpr int width = 40;
    auto filled = static_cast<int>(shown_ * width / 1000);
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(width, '.');
    std::fprintf(stderr, "\r[%s] %3ju.%ju%%  %ju questions", bar.c_str(), shown_ / 10, shown_ % 10,
                 static_cast<std::uintmax_t>(items));
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressBar::note(const std::string& text)
{
    if (!enabled_)
        return;
    std::fprintf(stderr, "\r\033[K%s", text.c_str());
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressBar::finish()
{
    if (drawn_)
        std::fputs("\r\033[K", stderr);
    drawn_ = false;
    enabled_ = false;
}

}  // namespace tool
