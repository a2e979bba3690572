#pragma once
// Jet's Like patterns: * any run of characters, ? one character, # one digit, [list] one character
// of the list (ranges a-z allowed), [!list] one character not in it. Letter case is ignored.
#include <cstddef>
#include <string_view>
#include <vector>

#include <unicode/umachine.h>

namespace ado::sql {

class LikePattern {
public:
    // Throws ado::EngineError for an unclosed "[", naming position.
    LikePattern(std::string_view pattern, std::size_t position);
    bool matches(std::string_view text) const;

private:
    enum class Op : unsigned char { Literal, AnyRun, AnyOne, Digit, Set };
    struct Range { UChar32 low, high; };
    struct Element {
        Op op;
        UChar32 literal = 0;
        bool negated = false;
        std::size_t firstRange = 0, rangeCount = 0;
    };
    bool matchesOne(const Element&, UChar32 folded) const;

    std::vector<Element> elements_;
    std::vector<Range> ranges_;
    mutable std::vector<UChar32> text_;  // the folded text being matched, kept to spare allocations
};

}  // namespace ado::sql
