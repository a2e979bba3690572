#include "vcl/data/strings.h"

#include <stdexcept>

namespace vcl {

namespace {
void checkIndex(int index, std::size_t limit)
{
    if (index < 0 || static_cast<std::size_t>(index) > limit)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}
}  // namespace

void TStrings::Clear()
{
    if (lines_.empty())
        return;
    lines_.clear();
    Changed();
}

int TStrings::Add(std::string line)
{
    lines_.push_back(std::move(line));
    Changed();
    return Count() - 1;
}

void TStrings::Insert(int index, std::string line)
{
    checkIndex(index, lines_.size());
    lines_.insert(lines_.begin() + index, std::move(line));
    Changed();
}

void TStrings::Delete(int index)
{
    checkIndex(index, lines_.size());
    if (static_cast<std::size_t>(index) == lines_.size())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    lines_.erase(lines_.begin() + index);
    Changed();
}

void TStrings::Put(int index, std::string line)
{
    lines_.at(static_cast<std::size_t>(index)) = std::move(line);
    Changed();
}

std::string TStrings::Text() const
{
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void TStrings::SetText(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    Assign(lines);
}

void TStrings::Assign(const std::vector<std::string>& lines)
{
    lines_ = lines;
    Changed();
}

void TStrings::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0)
        Changed();
}

void TStrings::Changed()
{
    if (updateCount_ == 0 && OnChange)
        OnChange();
}

}  // namespace vcl
