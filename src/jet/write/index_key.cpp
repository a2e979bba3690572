#include "jet/write/index_key.h"

#include "jet/format.h"

namespace jet::write {
namespace {

using ByteString = std::vector<std::uint8_t>;

constexpr std::uint8_t kAscendingFlag = 0x7f;
constexpr std::uint8_t kNullFlag = 0x00;

bool integerKeyType(ColumnType t) { return t == ColumnType::Byte || t == ColumnType::Integer || t == ColumnType::Long; }

}  // namespace

bool canMaintainIndex(const TableDef& table, const IndexDef& index)
{
    for (const IndexColumn& ic : index.columns) {
        const ColumnDef* column = nullptr;
        for (const ColumnDef& c : table.columns)
            if (c.number == ic.columnNumber)
                column = &c;
        if (!column || !integerKeyType(column->type))
            return false;
    }
    return !index.columns.empty();
}

std::optional<ByteString> indexKey(const TableDef& table, const IndexDef& index, const std::vector<Value>& row)
{
    if (!canMaintainIndex(table, index))
        return std::nullopt;
    ByteString key;
    for (const IndexColumn& ic : index.columns) {
        std::size_t at = 0;
        while (table.columns[at].number != ic.columnNumber)
            ++at;
        const ColumnDef& c = table.columns[at];
        const Value& v = row.at(at);
        ByteString segment;
        if (isNull(v)) {
            segment.push_back(kNullFlag);
        } else {
            std::int64_t n = 0;
            if (auto* i = std::get_if<std::int64_t>(&v))
                n = *i;
            else if (auto* b = std::get_if<bool>(&v))
                n = *b ? -1 : 0;
            else
                return std::nullopt;
            segment.push_back(kAscendingFlag);
            // Big-endian with the sign bit flipped, so that the bytes sort as the numbers do.
            if (c.type == ColumnType::Byte) {
                segment.push_back(std::uint8_t(n));
            } else {
                const int size = c.type == ColumnType::Integer ? 2 : 4;
                const std::uint64_t flipped = std::uint64_t(n) ^ (std::uint64_t(1) << (8 * size - 1));
                for (int i = size - 1; i >= 0; --i)
                    segment.push_back(std::uint8_t(flipped >> (8 * i)));
            }
        }
        if (!ic.ascending)
            for (auto& b : segment)
                b = std::uint8_t(~b);
        key.insert(key.end(), segment.begin(), segment.end());
    }
    return key;
}

}  // namespace jet::write
