#include "jet/write/row_encoding.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "jet/byte_order.h"
#include "jet/create/text_encoding.h"
#include "jet/error.h"
#include "jet/format.h"

namespace jet::write {
namespace {

using ByteString = std::vector<std::uint8_t>;

void append(ByteString& out, std::uint64_t v, int size)
{
    for (int i = 0; i < size; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

[[noreturn]] void unsuitable(const ColumnDef& column, const std::string& what)
{
    throw Error("列“" + column.name + "”" + what);
}

std::int64_t asInteger(const ColumnDef& column, const Value& v)
{
    if (auto* i = std::get_if<std::int64_t>(&v))
        return *i;
    if (auto* b = std::get_if<bool>(&v))
        return *b ? -1 : 0;
    if (auto* d = std::get_if<double>(&v)) {
        if (!std::isfinite(*d))
            unsuitable(column, "不能取非有限的数值");
        return std::llround(*d);
    }
    if (auto* s = std::get_if<std::string>(&v)) {
        try {
            std::size_t used = 0;
            long long parsed = std::stoll(*s, &used);
            if (used == s->size())
                return parsed;
        } catch (...) {
        }
    }
    unsuitable(column, "需要整数值");
}

double asDouble(const ColumnDef& column, const Value& v)
{
    if (const auto number = numericValue(v))
        return *number;
    unsuitable(column, "需要数值");
}

std::int64_t checkedRange(const ColumnDef& column, std::int64_t v, std::int64_t lo, std::int64_t hi)
{
    if (v < lo || v > hi)
        unsuitable(column, "的值 " + std::to_string(v) + " 超出范围");
    return v;
}

ByteString textOf(const ColumnDef& column, const Value& v)
{
    if (auto* s = std::get_if<std::string>(&v))
        return storedTextBytes(column, *s);
    if (auto* i = std::get_if<std::int64_t>(&v))
        return storedTextBytes(column, std::to_string(*i));
    unsuitable(column, "需要文本值");
}

ByteString bytesOf(const ColumnDef& column, const Value& v)
{
    if (auto* b = std::get_if<Bytes>(&v))
        return ByteString(b->data.begin(), b->data.end());
    if (auto* s = std::get_if<std::string>(&v))
        return ByteString(s->begin(), s->end());
    unsuitable(column, "需要二进制值");
}

bool isLongValue(ColumnType t) { return t == ColumnType::Memo || t == ColumnType::OLE; }

}  // namespace

std::optional<double> numericValue(const Value& v)
{
    if (auto* d = std::get_if<double>(&v))
        return *d;
    if (auto* i = std::get_if<std::int64_t>(&v))
        return double(*i);
    if (auto* t = std::get_if<DateTime>(&v))
        return t->days;
    if (auto* c = std::get_if<Currency>(&v))
        return double(c->units) / 10000.0;
    if (auto* b = std::get_if<bool>(&v))
        return *b ? -1.0 : 0.0;
    return std::nullopt;
}

bool canEncodeRows(const TableDef& table, std::string* why)
{
    for (const ColumnDef& c : table.columns) {
        if (c.type == ColumnType::Numeric || c.flags & column_flags::Replication ||
            (c.autoNumber && c.type != ColumnType::Long)) {
            if (why)
                *why = "列“" + c.name + "”的类型（" + std::string(columnTypeName(c.type)) + "）不能写入";
            return false;
        }
    }
    return true;
}

ByteString storedTextBytes(const ColumnDef& column, const std::string& utf8)
{
    return column.compressedUnicode ? create::storedText(utf8) : create::utf16le(utf8);
}

ByteString encodeRow(const TableDef& table, const std::vector<Value>& values, const LongValueStore& store)
{
    if (values.size() != table.columns.size())
        throw Error("内部错误：行的值个数与表“" + table.name + "”的列数不符");
    std::size_t columnCount = 0, varCount = 0, fixedLength = 0;
    for (const ColumnDef& c : table.columns) {
        columnCount = std::max<std::size_t>(columnCount, c.number + 1u);
        if (c.fixed) {
            if (c.type != ColumnType::Boolean)
                fixedLength = std::max<std::size_t>(fixedLength, c.fixedOffset + std::size_t(c.size));
        } else {
            varCount = std::max<std::size_t>(varCount, c.varIndex + 1u);
        }
    }
    ByteString row;
    append(row, columnCount, 2);
    row.resize(2 + fixedLength, 0);
    ByteString nullMask((columnCount + 7) / 8, 0);
    auto present = [&](const ColumnDef& c) { nullMask[c.number / 8] |= std::uint8_t(1u << (c.number % 8)); };

    std::vector<const ColumnDef*> bySlot(varCount, nullptr);
    std::vector<const Value*> slotValue(varCount, nullptr);
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const ColumnDef& c = table.columns[i];
        const Value& v = values[i];
        if (!c.fixed) {
            bySlot[c.varIndex] = &c;
            slotValue[c.varIndex] = &v;
            continue;
        }
        if (c.type == ColumnType::Boolean) {
            // A Yes/No column lives in the null mask: set means Yes.
            if (!isNull(v) && asInteger(c, v) != 0)
                present(c);
            continue;
        }
        if (isNull(v))
            continue;
        ByteString cell;
        switch (c.type) {
        case ColumnType::Byte: append(cell, std::uint64_t(checkedRange(c, asInteger(c, v), 0, 255)), 1); break;
        case ColumnType::Integer: append(cell, std::uint64_t(checkedRange(c, asInteger(c, v), -32768, 32767)), 2); break;
        case ColumnType::Long:
            append(cell, std::uint64_t(checkedRange(c, asInteger(c, v), std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max())), 4);
            break;
        case ColumnType::Currency: {
            std::int64_t units = 0;
            if (auto* cur = std::get_if<Currency>(&v))
                units = cur->units;
            else
                units = std::llround(asDouble(c, v) * 10000.0);
            append(cell, std::uint64_t(units), 8);
            break;
        }
        case ColumnType::Single: append(cell, std::bit_cast<std::uint32_t>(float(asDouble(c, v))), 4); break;
        case ColumnType::Double:
        case ColumnType::DateTime: append(cell, std::bit_cast<std::uint64_t>(asDouble(c, v)), 8); break;
        case ColumnType::Guid:
            if (auto* g = std::get_if<Guid>(&v))
                cell.assign(g->bytes.begin(), g->bytes.end());
            else
                unsuitable(c, "需要 GUID 值");
            break;
        case ColumnType::Text: {
            // A fixed-length text column is padded with blanks to its size.
            cell = textOf(c, v);
            if (cell.size() > c.size)
                unsuitable(c, "的文本太长");
            while (cell.size() + 2 <= c.size)
                append(cell, ' ', 2);
            break;
        }
        default: unsuitable(c, "的类型不能写入");
        }
        cell.resize(c.size, 0);
        std::copy(cell.begin(), cell.end(), row.begin() + 2 + c.fixedOffset);
        present(c);
    }

    std::vector<std::uint16_t> offsets(varCount, 0);
    for (std::size_t slot = 0; slot < varCount; ++slot) {
        offsets[slot] = std::uint16_t(row.size());
        const ColumnDef* c = bySlot[slot];
        if (!c || isNull(*slotValue[slot]))
            continue;
        const Value& v = *slotValue[slot];
        ByteString cell;
        switch (c->type) {
        case ColumnType::Text:
            cell = textOf(*c, v);
            if (c->size && cell.size() > c->size)
                unsuitable(*c, "的文本太长（最多 " + std::to_string(c->size / 2) + " 个字符）");
            break;
        case ColumnType::Binary:
            cell = bytesOf(*c, v);
            if (c->size && cell.size() > c->size)
                unsuitable(*c, "的值太长");
            break;
        case ColumnType::Memo:
        case ColumnType::OLE: {
            ByteString stored = c->type == ColumnType::Memo ? textOf(*c, v) : bytesOf(*c, v);
            if (stored.size() > format::LongValueLengthMask)
                unsuitable(*c, "的值太长");
            if (stored.size() <= format::Jet4Layout.maxInlineLongValue) {
                append(cell, stored.size() | format::LongValueInline, 4);
                cell.resize(format::LongValueReferenceSize, 0);
                cell.insert(cell.end(), stored.begin(), stored.end());
            } else {
                cell = store(stored);
            }
            break;
        }
        default: unsuitable(*c, "的类型不能写入");
        }
        row.insert(row.end(), cell.begin(), cell.end());
        present(*c);
    }
    if (varCount > 0) {
        append(row, row.size(), 2);  // where the variable data ends
        for (std::size_t slot = varCount; slot-- > 0;)
            append(row, offsets[slot], 2);
        append(row, varCount, 2);
    }
    row.insert(row.end(), nullMask.begin(), nullMask.end());
    if (row.size() > format::Jet4Layout.maxRowSize)
        throw Error("表“" + table.name + "”的一行太长，一页放不下");
    return row;
}

std::vector<LongValueRef> longValueRefs(const TableDef& table, const ByteString& row)
{
    std::vector<LongValueRef> pointers;
    if (row.size() < 4)
        return pointers;
    const std::size_t columnCount = detail::le16(row.data());
    const std::size_t maskSize = (columnCount + 7) / 8;
    if (row.size() < maskSize + 4)
        return pointers;
    const std::size_t varCountAt = row.size() - maskSize - 2;
    const std::size_t varCount = detail::le16(row.data() + varCountAt);
    if (varCountAt < 2 * (varCount + 1))
        return pointers;
    auto offset = [&](std::size_t slot) {
        return std::size_t(detail::le16(row.data() + varCountAt - 2 * (slot + 1)));
    };
    const std::uint8_t* mask = row.data() + row.size() - maskSize;
    for (const ColumnDef& c : table.columns) {
        if (c.fixed || !isLongValue(c.type) || c.varIndex >= varCount || c.number / 8 >= maskSize)
            continue;
        if (!(mask[c.number / 8] & (1u << (c.number % 8))))
            continue;
        const std::size_t start = offset(c.varIndex);
        if (start + format::LongValueReferenceSize > row.size())
            continue;
        const std::uint32_t length = detail::le32(row.data() + start);
        if (length & format::LongValueInline)
            continue;
        pointers.push_back({detail::le32(row.data() + start + 4), (length & format::LongValueSinglePage) != 0});
    }
    return pointers;
}

}  // namespace jet::write
