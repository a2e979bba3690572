#pragma once
// A data page (or long-value page) being filled: rows packed from the end of the page downwards, their
// offsets in the table after the header.
#include <cstdint>

#include "jet/create/byte_writer.h"

namespace jet::create {

class DataPage {
public:
    static constexpr std::uint32_t kLongValueOwner = 0x4c41564c;  // "LVAL" in the owner field

    DataPage(std::uint32_t pageSize, std::uint32_t owner);

    // Room left for one more row (its bytes plus its offset entry), 0 when the page is full of rows.
    std::size_t room() const;
    // Adds a row and returns its number on the page; the caller checks room() first.
    std::uint16_t add(const std::uint8_t* row, std::size_t length);
    std::uint16_t add(const Bytes& row) { return add(row.data(), row.size()); }

    std::uint16_t rowCount() const { return rowCount_; }
    bool empty() const { return rowCount_ == 0; }
    std::size_t freeSpace() const { return rowsStart_ - headerEnd(); }
    // The finished page (header fields brought up to date).
    const Bytes& bytes();
    void reset(std::uint32_t owner);

private:
    std::size_t headerEnd() const;
    Bytes page_;
    std::uint16_t rowCount_ = 0;
    std::size_t rowsStart_;
};

}  // namespace jet::create
