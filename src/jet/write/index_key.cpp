#include "jet/write/index_key.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "jet/error.h"
#include "jet/write/general_sort_key.h"
#include "jet/write/row_encoding.h"

namespace jet::write {
namespace {

using ByteString = std::vector<std::uint8_t>;

constexpr std::uint8_t kAscendingFlag = 0x7f;
constexpr std::uint8_t kNullFlag = 0x00;
constexpr std::uint8_t kTextEnd = 0x00;
constexpr std::uint8_t kYes = 0x00;  // Yes sorts before No: Yes is -1
constexpr std::uint8_t kNo = 0xff;

bool keyableColumn(const ColumnDef& c)
{
    switch (c.type) {
    case ColumnType::Boolean:
    case ColumnType::Byte:
    case ColumnType::Integer:
    case ColumnType::Long:
    case ColumnType::Currency:
    case ColumnType::Single:
    case ColumnType::Double:
    case ColumnType::DateTime: return true;
    case ColumnType::Text:
    case ColumnType::Memo: return c.sortOrder == GeneralSortOrder;
    default: return false;
    }
}

// Where the index's column sits in the table's columns, or -1.
int positionOf(const TableDef& table, const IndexColumn& ic)
{
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        if (table.columns[i].number == ic.columnNumber)
            return int(i);
    return -1;
}

void appendBigEndian(ByteString& out, std::uint64_t v, int size)
{
    for (int i = size - 1; i >= 0; --i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

// The values the row encoder turns into each stored type, converted as it converts them, so that the
// key matches what is written.
std::optional<std::int64_t> integerOf(const Value& v)
{
    if (auto* i = std::get_if<std::int64_t>(&v))
        return *i;
    if (auto* b = std::get_if<bool>(&v))
        return *b ? -1 : 0;
    if (auto* d = std::get_if<double>(&v); d && std::isfinite(*d))
        return std::llround(*d);
    return std::nullopt;
}

// Big-endian with the sign bit flipped, so that the bytes sort as the numbers do.
void appendSignedInteger(ByteString& out, std::int64_t n, int size)
{
    appendBigEndian(out, std::uint64_t(n) ^ (std::uint64_t(1) << (8 * size - 1)), size);
}

// IEEE bits big-endian: a positive number gets its sign bit flipped, a negative one all its bits
// inverted, so that the bytes sort as the numbers do.
void appendFloatingPoint(ByteString& out, std::uint64_t bits, int size)
{
    const std::uint64_t sign = std::uint64_t(1) << (8 * size - 1);
    const std::uint64_t all = size == 8 ? ~std::uint64_t(0) : (sign << 1) - 1;
    appendBigEndian(out, (bits & sign) ? ~bits & all : bits ^ sign, size);
}

std::size_t utf8Length(const std::string& s)
{
    std::size_t n = 0;
    for (const char ch : s)
        n += (std::uint8_t(ch) & 0xc0) != 0x80;
    return n;
}

// The column's part of the key in ascending order, flag first; nothing when it cannot be made exactly.
std::optional<ByteString> ascendingSegment(const ColumnDef& c, const Value& v)
{
    ByteString out;
    if (c.type == ColumnType::Boolean) {
        // Yes/No is never Null: the row encoder stores Null as No.
        const auto n = isNull(v) ? std::optional<std::int64_t>(0) : integerOf(v);
        if (!n)
            return std::nullopt;
        return ByteString{kAscendingFlag, *n != 0 ? kYes : kNo};
    }
    if (isNull(v))
        return ByteString{kNullFlag};
    out.push_back(kAscendingFlag);
    switch (c.type) {
    case ColumnType::Byte: {
        const auto n = integerOf(v);
        if (!n)
            return std::nullopt;
        out.push_back(std::uint8_t(*n));  // unsigned: no sign bit to flip
        return out;
    }
    case ColumnType::Integer:
    case ColumnType::Long: {
        const auto n = integerOf(v);
        if (!n)
            return std::nullopt;
        appendSignedInteger(out, *n, c.type == ColumnType::Integer ? 2 : 4);
        return out;
    }
    case ColumnType::Currency: {
        std::int64_t units = 0;
        if (auto* cur = std::get_if<Currency>(&v))
            units = cur->units;
        else if (const auto d = numericValue(v); d && std::isfinite(*d))
            units = std::llround(*d * 10000.0);
        else
            return std::nullopt;
        appendSignedInteger(out, units, 8);
        return out;
    }
    case ColumnType::Single: {
        const auto d = numericValue(v);
        if (!d)
            return std::nullopt;
        appendFloatingPoint(out, std::bit_cast<std::uint32_t>(float(*d)), 4);
        return out;
    }
    case ColumnType::Double:
    case ColumnType::DateTime: {
        const auto d = numericValue(v);
        if (!d)
            return std::nullopt;
        appendFloatingPoint(out, std::bit_cast<std::uint64_t>(*d), 8);
        return out;
    }
    case ColumnType::Text:
    case ColumnType::Memo: {
        const auto* s = std::get_if<std::string>(&v);
        // A fixed-length text is stored padded with blanks; how Jet keys the padding is not known here.
        if (!s || (c.fixed && utf8Length(*s) * 2 != c.size))
            return std::nullopt;
        const auto weights = generalSortWeights(*s);
        if (!weights)
            return std::nullopt;
        out.insert(out.end(), weights->begin(), weights->end());
        out.push_back(kTextEnd);
        return out;
    }
    default: return std::nullopt;
    }
}

}  // namespace

bool canMaintainIndex(const TableDef& table, const IndexDef& index)
{
    for (const IndexColumn& ic : index.columns) {
        const int at = positionOf(table, ic);
        if (at < 0 || !keyableColumn(table.columns[std::size_t(at)]))
            return false;
    }
    return !index.columns.empty();
}

std::optional<ByteString> indexKey(const TableDef& table, const IndexDef& index, const std::vector<Value>& row)
{
    if (!canMaintainIndex(table, index))
        return std::nullopt;
    // An index that ignores Nulls may leave out a row whose key columns are all Null, and no Access file
    // at hand shows whether it does: such a row gets no key, so that its write is refused rather than
    // guessed at (its old entry, if any, is found by its row pointer).
    if (index.ignoreNulls && std::all_of(index.columns.begin(), index.columns.end(), [&](const IndexColumn& ic) {
            const auto at = std::size_t(positionOf(table, ic));
            return at < row.size() && isNull(row[at]);
        }))
        return std::nullopt;
    ByteString key;
    for (const IndexColumn& ic : index.columns) {
        const auto at = std::size_t(positionOf(table, ic));
        if (at >= row.size())
            return std::nullopt;
        const ColumnDef& c = table.columns[at];
        auto segment = ascendingSegment(c, row[at]);
        if (!segment)
            return std::nullopt;
        if (!ic.ascending) {
            // Descending: every byte inverted; a text keeps a 0x00 after its inverted end so that a
            // shorter text still sorts after the longer ones it begins.
            const bool text = (c.type == ColumnType::Text || c.type == ColumnType::Memo) && !isNull(row[at]);
            for (auto& b : *segment)
                b = std::uint8_t(~b);
            if (text)
                segment->push_back(kTextEnd);
        }
        key.insert(key.end(), segment->begin(), segment->end());
    }
    return key;
}

std::vector<std::uint8_t> requireIndexKey(const TableDef& table, const IndexDef& index, const std::vector<Value>& row)
{
    auto key = indexKey(table, index, row);
    if (!key)
        throw Error("无法为索引“" + index.name + "”准确生成这一行的键（例如文本中有本程序无法按 Access 的顺序排列的字符），没有保存");
    return std::move(*key);
}

bool sameIndexedValues(const TableDef& table, const IndexDef& index, const std::vector<Value>& a,
                       const std::vector<Value>& b)
{
    for (const IndexColumn& ic : index.columns) {
        const int at = positionOf(table, ic);
        if (at < 0 || std::size_t(at) >= a.size() || std::size_t(at) >= b.size() || !(a[std::size_t(at)] == b[std::size_t(at)]))
            return false;
    }
    return true;
}

}  // namespace jet::write
