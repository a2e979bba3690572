#pragma once
// One stored row to values: the null mask, the fixed part, the variable part with its offset table
// (Jet 3's jump table included), and long values kept on other pages.
#include <cstdint>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

#include "jet/database_state.h"
#include "jet/text_decoder.h"
#include "jet/value.h"

namespace jet::detail {

class RowDecoder {
public:
    RowDecoder(const DatabaseState& db, const TableDef& table);

    // Decodes `row`, the bytes of one row stored on page `page`, into one value per column.
    void decode(std::span<const std::uint8_t> row, std::uint32_t page, std::vector<Value>& out);

private:
    struct Plan {
        ColumnType type;
        std::uint16_t number;
        bool fixed;
        std::uint16_t fixedOffset;
        std::uint16_t varIndex;
        std::uint16_t size;  // bytes in the fixed part
        std::uint8_t precision;
        std::uint8_t scale;
    };

    // Fills varOffsets_ and returns where the row's trailer (offset table, counts, mask) begins.
    std::size_t readVarOffsets(const std::uint8_t* row, std::size_t size, std::size_t maskSize, std::uint32_t page);
    // The bytes of a memo or OLE value: in place when the value lies in one row, else gathered into
    // longValue_.
    std::span<const std::uint8_t> readLongValue(const std::uint8_t* ref, std::size_t size);
    void setText(Value& target, const std::uint8_t* data, std::size_t size);
    [[noreturn]] void damaged(std::uint32_t page, const std::string& what) const;

    const DatabaseState& db_;
    const TableDef& table_;
    std::vector<Plan> plans_;
    TextDecoder text_;
    std::vector<std::uint32_t> varOffsets_;  // row var count + 1 entries, the last one the end of the data
    std::string longValue_;
    std::unordered_set<std::uint32_t> visitedRows_;  // of the long-value chain being read
    std::string decoded_;
};

}  // namespace jet::detail
