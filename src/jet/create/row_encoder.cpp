#include "jet/create/row_encoder.h"

#include "jet/error.h"
#include "jet/format.h"

namespace jet::create {

Bytes encodeRow(const TableLayout& table, const std::vector<Cell>& values) {
    if (values.size() != table.columns.size()) throw Error("行的值个数与表的列数不符: " + table.name);
    const std::size_t columnCount = table.columns.size();
    const std::uint16_t varCount = table.varCount();
    Bytes row;
    append16(row, std::uint32_t(columnCount));
    appendZeros(row, table.fixedLength());
    Bytes nullMask((columnCount + 7) / 8, 0);
    std::vector<std::uint16_t> varOffsets(varCount, 0);

    for (std::size_t i = 0; i < columnCount; ++i) {
        const ColumnLayout& c = table.columns[i];
        const Cell& v = values[i];
        const bool isNull = std::holds_alternative<std::monostate>(v);
        if (c.fixed()) {
            if (isNull) continue;
            std::uint8_t* p = &row[2 + c.fixedOffset];
            if (c.type == ColumnType::Boolean) {
                if (std::get<std::int64_t>(v) != 0) nullMask[i / 8] |= std::uint8_t(1u << (i % 8));
                continue;
            }
            switch (c.type) {
            case ColumnType::Byte: p[0] = std::uint8_t(std::get<std::int64_t>(v)); break;
            case ColumnType::Integer: put16(p, std::uint32_t(std::get<std::int64_t>(v))); break;
            case ColumnType::Long: put32(p, std::uint32_t(std::get<std::int64_t>(v))); break;
            case ColumnType::DateTime:
            case ColumnType::Double: put64(p, std::bit_cast<std::uint64_t>(std::get<double>(v))); break;
            default: throw Error("不支持写入此类型的定长列: " + c.name);
            }
            nullMask[i / 8] |= std::uint8_t(1u << (i % 8));
        }
    }
    // Variable columns in their slot order, each starting where the previous one ended.
    std::vector<const ColumnLayout*> bySlot(varCount, nullptr);
    for (const ColumnLayout& c : table.columns)
        if (!c.fixed()) bySlot[c.varIndex] = &c;
    for (std::uint16_t slot = 0; slot < varCount; ++slot) {
        const ColumnLayout& c = *bySlot[slot];
        varOffsets[slot] = std::uint16_t(row.size());
        const Cell& v = values[c.number];
        if (std::holds_alternative<std::monostate>(v)) continue;
        appendBytes(row, std::get<Bytes>(v));
        nullMask[c.number / 8] |= std::uint8_t(1u << (c.number % 8));
    }
    if (varCount > 0) {
        append16(row, std::uint32_t(row.size()));  // end of the variable data
        for (std::uint16_t slot = varCount; slot-- > 0;) append16(row, varOffsets[slot]);
        append16(row, varCount);
    }  // a table without variable columns stores neither the offsets nor their count
    appendBytes(row, nullMask);
    if (row.size() > format::Jet4Layout.maxRowSize) throw Error("行太长，一页放不下: " + table.name);
    return row;
}

Bytes inlineLongValue(const Bytes& value) {
    Bytes out(format::LongValueReferenceSize, 0);
    put32(&out[0], std::uint32_t(value.size()) | format::LongValueInline);
    appendBytes(out, value);
    return out;
}

Bytes longValueReference(std::uint32_t length, bool singlePage, std::uint32_t rowPointer) {
    Bytes out(format::LongValueReferenceSize, 0);
    put32(&out[0], length | (singlePage ? format::LongValueSinglePage : 0));
    put32(&out[4], rowPointer);
    return out;
}

}  // namespace jet::create
