#pragma once
// What the instant search keeps for one text column: its lower-cased text and, for every character
// that occurs in it, the rows holding that character. A search takes the rows of the needle's rarest
// characters as candidates and confirms each by a substring search in the row's lower-cased text.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "ado/code_point_map.h"
#include "ado/lowered_text.h"
#include "ado/posting_list.h"
#include "ado/text_column.h"

namespace ado {

// The rows a needle matched, ascending, with the byte offset of its first occurrence in each row's
// lower-cased text when that is known (positions is then as long as rows, else empty).
struct Matches {
    static constexpr std::uint32_t kUnknown = 0xFFFFFFFFu;
    std::vector<std::uint32_t> rows;
    std::vector<std::uint32_t> positions;
};

class SearchIndex {
public:
    // Builds the index over original (which must outlive it), using every core.
    explicit SearchIndex(const TextColumn& original);

    // The rows, ascending, whose cell is not Null and whose lower-cased text contains loweredNeedle (not
    // empty). When earlier is given, only rows among them can match: they are the matches of
    // earlierNeedle, which loweredNeedle contains. When loweredNeedle even begins with it, the search
    // goes on from where earlierNeedle was found.
    Matches find(std::string_view loweredNeedle, const Matches* earlier = nullptr,
                 std::string_view earlierNeedle = {}) const;

    const LoweredText& lowered() const { return lowered_; }
    std::size_t characterCount() const { return lists_.size(); }
    std::size_t memoryUsed() const;

private:
    void build();

    const TextColumn* original_;
    LoweredText lowered_;
    CodePointMap<std::int32_t> listOf_;  // code point -> index into lists_, or -1
    std::vector<PostingList> lists_;
    bool malformed_ = false;  // some cell is not valid UTF-8: a one-character hit must be confirmed too
};

}  // namespace ado
