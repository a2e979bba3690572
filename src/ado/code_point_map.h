#pragma once
// A value per Unicode code point: a flat table for the Basic Multilingual Plane, where nearly every
// character of a question lives, and a hash map for the rest. Small enough to make for a tiny table.
#include <cstddef>
#include <unordered_map>
#include <vector>

namespace ado {

template <typename T>
class CodePointMap {
public:
    explicit CodePointMap(T empty) : empty_(empty), plane0_(0x10000, empty) {}

    T& operator[](char32_t cp) {
        if (cp < 0x10000) return plane0_[cp];
        return others_.try_emplace(cp, empty_).first->second;
    }
    T get(char32_t cp) const {
        if (cp < 0x10000) return plane0_[cp];
        const auto found = others_.find(cp);
        return found == others_.end() ? empty_ : found->second;
    }
    // Calls f(cp, value) for every code point whose value is not the empty one, ascending within each part.
    template <typename F>
    void forEach(F&& f) const {
        for (std::size_t cp = 0; cp < plane0_.size(); ++cp)
            if (plane0_[cp] != empty_) f(static_cast<char32_t>(cp), plane0_[cp]);
        for (const auto& [cp, value] : others_)
            if (value != empty_) f(cp, value);
    }
    std::size_t memoryUsed() const { return plane0_.capacity() * sizeof(T) + others_.size() * (sizeof(T) + 32); }

private:
    T empty_;
    std::vector<T> plane0_;
    std::unordered_map<char32_t, T> others_;
};

}  // namespace ado
