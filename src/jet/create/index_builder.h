#pragma once
// Builds an index tree bottom-up from entries already in key order: leaf pages linked left to right,
// then levels of intermediate pages, each entry naming the last entry of a child page.
#include <cstdint>
#include <functional>
#include <vector>

#include "jet/create/byte_writer.h"

namespace jet::create {

struct IndexEntry {
    Bytes key;               // the encoded key columns (flag bytes included)
    std::uint32_t page;      // data page of the row
    std::uint8_t row;        // row number on that page
};

struct BuiltIndex {
    std::uint32_t rootPage = 0;
    std::vector<std::uint32_t> pages;  // every page of the index, ascending
};

// entries must be sorted by key. definitionPage goes into each page's parent field.
BuiltIndex buildIndex(const std::vector<IndexEntry>& entries, std::uint32_t definitionPage, std::uint32_t pageSize,
                      const std::function<std::uint32_t()>& allocatePage,
                      const std::function<void(std::uint32_t, const Bytes&)>& writePage);

// The same for the dense case of the primary key over 1..n: entry i has key i + 1 and row pointer
// rows[i] (page << 8 | row); avoids holding a million key strings.
BuiltIndex buildSequentialLongIndex(const std::vector<std::uint32_t>& rows, std::uint32_t definitionPage,
                                    std::uint32_t pageSize, const std::function<std::uint32_t()>& allocatePage,
                                    const std::function<void(std::uint32_t, const Bytes&)>& writePage);

}  // namespace jet::create
