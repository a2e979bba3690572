#pragma once
// A Jet 4 data page taken apart into its rows, changed, and packed again.
//
// Rows fill a data page from its end downwards, each ending where the one before it starts, so a row
// cannot grow or shrink in place without disturbing its neighbours. Changing a row therefore rewrites
// the page: every row is kept with its number and flags, and all are packed again from the end.
#include <cstdint>
#include <vector>

namespace jet::write {

class EditablePage {
public:
    struct Row {
        std::uint16_t flags = 0;  // format::RowDeletedFlag, format::RowLookupFlag
        std::vector<std::uint8_t> bytes;
    };

    // Throws jet::Error when the image is not a well-formed data page.
    explicit EditablePage(const std::vector<std::uint8_t>& image);
    // A new, empty data page owned by the table (or long-value store) `owner`.
    EditablePage(std::uint32_t pageSize, std::uint32_t owner);

    std::uint32_t owner() const { return owner_; }
    std::size_t rowCount() const { return rows_.size(); }
    const Row& row(std::size_t number) const { return rows_.at(number); }
    Row& row(std::size_t number) { return rows_.at(number); }

    // Whether the page's rows, with one more of `extra` bytes (and its offset entry), still fit.
    bool fitsWith(std::size_t extra) const;
    bool fits() const { return fitsWith(0) || rows_.empty(); }
    // Adds a row (the caller checks fitsWith first) and returns its number.
    std::uint16_t add(std::vector<std::uint8_t> bytes, std::uint16_t flags = 0);
    // Marks a row deleted and drops its bytes; its number stays taken.
    void remove(std::size_t number);

    std::size_t freeSpace() const;
    std::vector<std::uint8_t> image() const;

private:
    std::size_t used() const;
    std::vector<std::uint8_t> header_;  // the page's header bytes as they were (unknown fields kept)
    std::uint32_t pageSize_;
    std::uint32_t owner_;
    std::vector<Row> rows_;
};

}  // namespace jet::write
