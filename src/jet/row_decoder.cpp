#include "jet/row_decoder.h"

#include <cstring>

#include "jet/byte_order.h"
#include "jet/data_page.h"

namespace jet::detail {

RowDecoder::RowDecoder(const DatabaseState& db, const TableDef& table)
    : db_(db), table_(table), text_(db.header.version, db.textCodePage(), db.path()) {
    plans_.reserve(table.columns.size());
    for (const auto& c : table.columns) {
        std::uint16_t size = fixedSizeOf(c.type);
        if (c.fixed && (c.type == ColumnType::Text || c.type == ColumnType::Binary || size == 0)) size = c.size;
        plans_.push_back({c.type, c.number, c.fixed, c.fixedOffset, c.varIndex, size, c.precision, c.scale});
    }
}

void RowDecoder::damaged(std::uint32_t page, const std::string& what) const {
    db_.corrupt("表“" + table_.name + "”在第 " + std::to_string(page) + " 页的一行" + what);
}

std::size_t RowDecoder::readVarOffsets(const std::uint8_t* row, std::size_t size, std::size_t maskSize,
                                       std::uint32_t page) {
    const format::Layout& L = *db_.layout;
    varOffsets_.clear();
    const std::size_t tail = maskSize + L.rowColumnCountSize;  // null mask and the variable-column count
    if (size < L.rowColumnCountSize + tail) damaged(page, "太短");
    const std::size_t countAt = size - tail;
    if (L.version == 4) {
        const std::size_t count = le16(row + countAt);
        if ((count + 1) * 2 > countAt - L.rowColumnCountSize) damaged(page, "的可变列表超出行");
        for (std::size_t i = 0; i <= count; ++i) varOffsets_.push_back(le16(row + countAt - 2 * (i + 1)));
        return countAt - 2 * (count + 1);
    }
    // Jet 3: one byte per offset; the jump table lists, for every 256-byte step, the first column
    // whose data starts past it. Its length follows from the row size and may hold one dummy entry.
    const std::size_t count = row[countAt];
    std::size_t jumps = (size - 1) / 256;
    if (countAt < jumps + count + 1 + L.rowColumnCountSize) damaged(page, "的可变列表超出行");
    const std::size_t offsetsEnd = countAt - jumps - 1;  // the first offset entry
    if ((offsetsEnd - count) / 256 < jumps) --jumps;
    std::size_t used = 0;
    for (std::size_t i = 0; i <= count; ++i) {
        while (used < jumps && row[countAt - 1 - used] == i) ++used;
        varOffsets_.push_back(std::uint32_t(row[offsetsEnd - i] + 256 * used));
    }
    return offsetsEnd - count;
}

void RowDecoder::decode(std::span<const std::uint8_t> bytes, std::uint32_t page, std::vector<Value>& out) {
    const format::Layout& L = *db_.layout;
    const std::uint8_t* row = bytes.data();
    const std::size_t size = bytes.size();
    if (size < L.rowColumnCountSize) damaged(page, "太短");
    const std::size_t rowColumns = L.rowColumnCountSize == 1 ? row[0] : le16(row);
    const std::size_t maskSize = (rowColumns + 7) / 8;
    if (size < L.rowColumnCountSize + maskSize) damaged(page, "的空值掩码超出行");
    const std::uint8_t* mask = row + size - maskSize;
    std::size_t dataEnd = size - maskSize;  // where column data must stop
    if (table_.varColumns > 0) {
        dataEnd = readVarOffsets(row, size, maskSize, page);
    } else {
        varOffsets_.clear();
    }

    out.resize(plans_.size());
    for (std::size_t i = 0; i < plans_.size(); ++i) {
        const Plan& p = plans_[i];
        Value& value = out[i];
        const bool present = p.number < rowColumns && (mask[p.number / 8] >> (p.number % 8) & 1);
        if (p.type == ColumnType::Boolean) {
            value = present;  // Yes/No lives in the null mask
            continue;
        }
        if (!present) {
            value = Null{};
            continue;
        }
        const std::uint8_t* data;
        std::size_t length;
        if (p.fixed) {
            const std::size_t at = L.rowColumnCountSize + p.fixedOffset;
            if (at + p.size > dataEnd) damaged(page, "的定长列“" + table_.columns[i].name + "”超出行");
            data = row + at;
            length = p.size;
        } else {
            if (p.varIndex + 1u >= varOffsets_.size()) {
                value = Null{};  // the column was added after the row was written
                continue;
            }
            const std::size_t from = varOffsets_[p.varIndex];
            const std::size_t to = varOffsets_[p.varIndex + 1u];
            if (from < L.rowColumnCountSize || from > to || to > dataEnd)
                damaged(page, "的可变列“" + table_.columns[i].name + "”超出行");
            data = row + from;
            length = to - from;
        }
        switch (p.type) {
        case ColumnType::Byte: value = std::int64_t(data[0]); break;
        case ColumnType::Integer: value = std::int64_t(std::int16_t(le16(data))); break;
        case ColumnType::Long: value = std::int64_t(std::int32_t(le32(data))); break;
        case ColumnType::Currency: value = Currency{std::int64_t(le64(data))}; break;
        case ColumnType::Single: value = double(leFloat(data)); break;
        case ColumnType::Double: value = leDouble(data); break;
        case ColumnType::DateTime: value = DateTime{leDouble(data)}; break;
        case ColumnType::Guid: {
            Guid g;
            std::memcpy(g.bytes.data(), data, 16);
            value = g;
            break;
        }
        case ColumnType::Numeric: {
            // Sign byte, then four 32-bit little-endian words, the most significant first.
            Decimal d;
            d.negative = data[0] & 0x80;
            for (int w = 0; w < 4; ++w) d.mantissa = d.mantissa << 32 | le32(data + 1 + 4 * w);
            d.precision = p.precision;
            d.scale = p.scale;
            value = d;
            break;
        }
        case ColumnType::Text: setText(value, data, length); break;
        case ColumnType::Memo: {
            const auto bytes = readLongValue(data, length);
            setText(value, bytes.data(), bytes.size());
            break;
        }
        case ColumnType::OLE: {
            const auto bytes = readLongValue(data, length);
            value = Bytes{std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size())};
            break;
        }
        default:  // Binary and types this reader does not know: the bytes as stored
            value = Bytes{std::string(reinterpret_cast<const char*>(data), length)};
            break;
        }
    }
}

void RowDecoder::setText(Value& target, const std::uint8_t* data, std::size_t size) {
    // Reuses the string already in the cell, so that a reader's row vector keeps its buffers.
    if (auto* s = std::get_if<std::string>(&target)) {
        text_.decode(data, size, *s);
    } else {
        text_.decode(data, size, decoded_);
        target = std::move(decoded_);
        decoded_.clear();
    }
}

std::span<const std::uint8_t> RowDecoder::readLongValue(const std::uint8_t* ref, std::size_t size) {
    if (size == 0) return {};
    if (size < format::LongValueReferenceSize) db_.corrupt("表“" + table_.name + "”的长值引用太短");
    const std::uint32_t head = le32(ref);
    const std::uint32_t length = head & format::LongValueLengthMask;
    if (length == 0) return {};
    if (length > db_.image.size()) db_.corrupt("表“" + table_.name + "”的长值长度超出文件大小");
    if (head & format::LongValueInline) {
        if (format::LongValueReferenceSize + length > size) db_.corrupt("表“" + table_.name + "”的内嵌长值超出行");
        return {ref + format::LongValueReferenceSize, length};
    }
    std::uint32_t pointer = le32(ref + 4);
    if (head & format::LongValueSinglePage) {
        const DataPage page(db_, format::pointerPage(pointer));
        const auto row = page.rowBytes(page.slot(format::pointerRow(pointer)));
        if (row.size() < length) db_.corrupt("第 " + std::to_string(page.number()) + " 页的长值不完整");
        return row.first(length);
    }
    // A chain of rows on long-value pages, each starting with the pointer to the next and holding some
    // of the value. A row met twice means a damaged chain that loops.
    visitedRows_.clear();
    longValue_.clear();
    longValue_.reserve(length);
    while (longValue_.size() < length) {
        if (pointer == 0) db_.corrupt("表“" + table_.name + "”的长值链提前结束");
        if (!visitedRows_.insert(pointer).second) db_.corrupt("表“" + table_.name + "”的长值链形成循环");
        const DataPage page(db_, format::pointerPage(pointer));
        const auto row = page.rowBytes(page.slot(format::pointerRow(pointer)));
        if (row.size() <= 4) db_.corrupt("第 " + std::to_string(page.number()) + " 页的长值行太短");
        pointer = le32(row.data());
        const std::size_t take = std::min<std::size_t>(row.size() - 4, length - longValue_.size());
        longValue_.append(reinterpret_cast<const char*>(row.data() + 4), take);
    }
    return {reinterpret_cast<const std::uint8_t*>(longValue_.data()), longValue_.size()};
}

}  // namespace jet::detail
