#pragma once
// A data page's row table: where each row starts and ends and what its flags say.
#include <cstdint>
#include <span>

#include "jet/database_state.h"

namespace jet::detail {

struct RowSlot {
    std::uint32_t start = 0;  // first byte of the row within the page
    std::uint32_t end = 0;    // one past its last byte
    std::uint16_t flags = 0;  // format::RowDeletedFlag, format::RowLookupFlag
    bool deleted() const { return flags & format::RowDeletedFlag; }
    bool moved() const { return flags & format::RowLookupFlag; }
    std::uint32_t size() const { return end - start; }
};

class DataPage {
public:
    // Throws jet::Error when the page is beyond the file or not a data page.
    DataPage(const DatabaseState& db, std::uint32_t number);

    std::uint32_t number() const { return number_; }
    std::uint32_t owner() const;  // first page of the owning table's definition
    std::uint16_t rowCount() const { return rowCount_; }
    // Throws jet::Error when the row table points outside the page.
    RowSlot slot(std::uint16_t row) const;
    std::span<const std::uint8_t> bytes() const { return bytes_; }
    std::span<const std::uint8_t> rowBytes(const RowSlot& s) const { return bytes_.subspan(s.start, s.size()); }

private:
    const DatabaseState* db_;
    std::uint32_t number_;
    std::span<const std::uint8_t> bytes_;
    std::uint16_t rowCount_ = 0;
};

}  // namespace jet::detail
