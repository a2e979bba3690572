#include "ado/sql/like_pattern.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "ado/sql/error_at.h"

namespace ado::sql {
namespace {

UChar32 fold(UChar32 c) { return u_foldCase(c, U_FOLD_CASE_DEFAULT); }

std::vector<UChar32> decode(std::string_view text) {
    std::vector<UChar32> out;
    std::size_t offset = 0;
    while (offset < text.size()) {
        UChar32 c;
        U8_NEXT(text.data(), offset, text.size(), c);
        out.push_back(c < 0 ? 0xFFFD : c);
    }
    return out;
}

}  // namespace

LikePattern::LikePattern(std::string_view pattern, std::size_t position) {
    const std::vector<UChar32> chars = decode(pattern);
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const UChar32 c = chars[i];
        Element e{Op::Literal};
        if (c == '*') {
            if (!elements_.empty() && elements_.back().op == Op::AnyRun) continue;
            e.op = Op::AnyRun;
        } else if (c == '?') {
            e.op = Op::AnyOne;
        } else if (c == '#') {
            e.op = Op::Digit;
        } else if (c == '[') {
            std::size_t j = i + 1;
            e.op = Op::Set;
            if (j < chars.size() && chars[j] == '!') {
                e.negated = true;
                ++j;
            }
            e.firstRange = ranges_.size();
            while (j < chars.size() && chars[j] != ']') {
                UChar32 low = chars[j], high = chars[j];
                if (j + 2 < chars.size() && chars[j + 1] == '-' && chars[j + 2] != ']') {
                    high = chars[j + 2];
                    j += 2;
                }
                ranges_.push_back({fold(low), fold(high)});
                ++j;
            }
            if (j >= chars.size()) failAt("Like 的模式中“[”没有对应的“]”", position);
            e.rangeCount = ranges_.size() - e.firstRange;
            i = j;
            // "[]" stands for nothing at all.
            if (e.rangeCount == 0 && !e.negated) continue;
        } else {
            e.literal = fold(c);
        }
        elements_.push_back(e);
    }
}

bool LikePattern::matchesOne(const Element& e, UChar32 c) const {
    switch (e.op) {
    case Op::Literal: return e.literal == c;
    case Op::AnyOne: return true;
    case Op::Digit: return c >= '0' && c <= '9';
    case Op::Set: {
        bool in = false;
        for (std::size_t r = e.firstRange; r < e.firstRange + e.rangeCount && !in; ++r)
            in = c >= ranges_[r].low && c <= ranges_[r].high;
        return in != e.negated;
    }
    case Op::AnyRun: break;
    }
    return false;
}

bool LikePattern::matches(std::string_view text) const {
    text_.clear();
    std::size_t offset = 0;
    while (offset < text.size()) {
        UChar32 c;
        U8_NEXT(text.data(), offset, text.size(), c);
        // The CJK block U+3000..U+9FFF has no cased letters: no look-up needed.
        text_.push_back(c >= 0x3000 && c <= 0x9FFF ? c : fold(c < 0 ? 0xFFFD : c));
    }
    // Greedy matching that returns to the last * on a mismatch: linear in practice, never exponential.
    std::size_t p = 0, t = 0;
    std::size_t starP = elements_.size(), starT = 0;
    while (t < text_.size()) {
        if (p < elements_.size() && elements_[p].op == Op::AnyRun) {
            starP = p++;
            starT = t;
        } else if (p < elements_.size() && matchesOne(elements_[p], text_[t])) {
            ++p;
            ++t;
        } else if (starP != elements_.size()) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < elements_.size() && elements_[p].op == Op::AnyRun) ++p;
    return p == elements_.size();
}

}  // namespace ado::sql
