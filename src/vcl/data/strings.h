#pragma once
// A list of UTF-8 text lines that tells its owner of every change (a query's statement is one).
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vcl {

class TStrings {
public:
    virtual ~TStrings() = default;

    int Count() const noexcept { return static_cast<int>(lines_.size()); }
    const std::string& operator[](int index) const { return lines_.at(static_cast<std::size_t>(index)); }
    const std::string& Strings(int index) const { return (*this)[index]; }
    const std::vector<std::string>& lines() const noexcept { return lines_; }

    // Each call that alters the list raises OnChange once; Clear on an empty list alters nothing.
    void Clear();
    int Add(std::string line);  // returns the new line's index
    void Insert(int index, std::string line);
    void Delete(int index);
    void Put(int index, std::string line);

    // The lines, each followed by CR LF, the last one too; an empty list gives "".
    std::string Text() const;
    // Replaces the lines by the text split at CR LF, LF or CR; one change.
    void SetText(std::string_view text);
    void Assign(const std::vector<std::string>& lines);

    // Between BeginUpdate and the matching EndUpdate changes are not told; EndUpdate tells one.
    void BeginUpdate() noexcept { ++updateCount_; }
    void EndUpdate();

    std::function<void()> OnChange;

protected:
    virtual void Changed();

private:
    std::vector<std::string> lines_;
    int updateCount_ = 0;
};

class TStringList : public TStrings {};

}  // namespace vcl
