#include "jet/index_reader.h"

#include "jet/byte_order.h"
#include "jet/format.h"
#include "jet/messages.h"

namespace jet {
namespace {

// Index pages store their pointers big-endian, unlike the rest of the file.
std::uint32_t be24(const std::uint8_t* p) { return std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2]; }
std::uint32_t be32(const std::uint8_t* p) { return std::uint32_t(p[0]) << 24 | be24(p + 1); }

[[noreturn]] void damaged(const Database& db, std::uint32_t page, const std::string& what) {
    detail::throwCorrupt(db.path(), "索引页 " + std::to_string(page) + what);
}

}  // namespace

IndexPageInfo readIndexPage(const Database& db, std::uint32_t number) {
    const format::Layout& L = format::layoutFor(db.header().version);
    const auto page = db.page(number);
    const std::uint8_t type = page[0];
    if (type != std::uint8_t(format::PageType::IndexNode) && type != std::uint8_t(format::PageType::IndexLeaf))
        damaged(db, number, "不是索引页");
    IndexPageInfo info;
    info.number = number;
    info.leaf = type == std::uint8_t(format::PageType::IndexLeaf);
    info.parent = detail::le32(&page[L.indexParentPage]);
    info.previous = detail::le32(&page[L.indexPrevPage]);
    info.next = detail::le32(&page[L.indexNextPage]);
    info.tail = detail::le32(&page[L.indexTailPage]);
    info.prefixLength = detail::le16(&page[L.indexPrefixLength]);

    // Each set bit of the bitmap marks where an entry ends (and the next begins), counted in bytes
    // from the first entry.
    const std::size_t pointerSize = info.leaf ? 4 : 8;
    std::size_t start = 0;
    std::string prefix;
    for (std::size_t byte = L.indexBitmap; byte < L.indexEntries; ++byte) {
        if (page[byte] == 0) continue;
        for (int bit = 0; bit < 8; ++bit) {
            if (!(page[byte] >> bit & 1)) continue;
            const std::size_t end = (byte - L.indexBitmap) * 8 + std::size_t(bit);
            if (L.indexEntries + end > page.size() || end <= start) damaged(db, number, "的条目位置超出页面");
            std::string bytes(reinterpret_cast<const char*>(&page[L.indexEntries + start]), end - start);
            if (info.entries.empty()) {
                if (info.prefixLength > bytes.size()) damaged(db, number, "的公共前缀长于首个条目");
                prefix = bytes.substr(0, info.prefixLength);
            } else {
                bytes.insert(0, prefix);
            }
            if (bytes.size() < pointerSize) damaged(db, number, "的条目太短");
            IndexPageInfo::Entry entry;
            const std::size_t keySize = bytes.size() - pointerSize;
            const auto* pointer = reinterpret_cast<const std::uint8_t*>(bytes.data() + keySize);
            entry.row = RowId{be24(pointer), pointer[3]};
            if (!info.leaf) entry.child = be32(pointer + 4);
            bytes.resize(keySize);
            entry.key = std::move(bytes);
            info.entries.push_back(std::move(entry));
            start = end;
        }
    }
    return info;
}

IndexCursor::IndexCursor(const Database& db, const IndexDef& index) : db_(db) {
    // Down the left edge: each intermediate page's first entry leads to the leftmost child.
    std::uint32_t page = index.firstPage;
    for (int depth = 0;; ++depth) {
        if (depth > 64) damaged(db_, page, "的索引树过深或形成循环");
        IndexPageInfo info = readIndexPage(db_, page);
        if (info.leaf) {
            leaf_ = std::move(info);
            visited_.insert(page);
            leavesRead_ = 1;
            return;
        }
        if (info.entries.empty()) damaged(db_, page, "是没有条目的中间页");
        page = info.entries.front().child;
    }
}

void IndexCursor::loadLeaf(std::uint32_t page) {
    if (!visited_.insert(page).second) damaged(db_, page, "的叶页链形成循环");
    leaf_ = readIndexPage(db_, page);
    if (!leaf_.leaf) damaged(db_, page, "应是索引叶页");
    position_ = 0;
    ++leavesRead_;
}

bool IndexCursor::next(IndexEntry& entry) {
    while (position_ >= leaf_.entries.size()) {
        if (leaf_.next == 0) return false;
        loadLeaf(leaf_.next);
    }
    const auto& e = leaf_.entries[position_++];
    entry.key = e.key;
    entry.row = e.row;
    return true;
}

std::vector<IndexEntry> readIndexEntries(const Database& db, const IndexDef& index) {
    std::vector<IndexEntry> entries;
    IndexCursor cursor(db, index);
    IndexEntry entry;
    while (cursor.next(entry)) entries.push_back(entry);
    return entries;
}

std::optional<std::vector<Value>> decodeIntegerKey(const TableDef& table, const IndexDef& index, std::string_view key) {
    std::vector<Value> values;
    std::size_t at = 0;
    for (const auto& indexColumn : index.columns) {
        const ColumnDef* column = nullptr;
        for (const auto& c : table.columns)
            if (c.number == indexColumn.columnNumber) column = &c;
        if (!column) return std::nullopt;
        std::size_t size;
        switch (column->type) {
        case ColumnType::Byte: size = 1; break;
        case ColumnType::Integer: size = 2; break;
        case ColumnType::Long: size = 4; break;
        case ColumnType::Boolean: size = 0; break;
        default: return std::nullopt;
        }
        if (at >= key.size()) return std::nullopt;
        // The flag byte: 0x7f a value in ascending order, 0x80 in descending order (all its bytes
        // inverted), 0x00 / 0xff Null. Yes/No is the flag alone.
        const auto flag = std::uint8_t(key[at++]);
        const bool descending = !indexColumn.ascending;
        if (column->type == ColumnType::Boolean) {
            // Yes sorts before No: 0x00 for Yes, 0xff for No ascending.
            values.emplace_back(bool((descending ? std::uint8_t(~flag) : flag) == 0x00));
            continue;
        }
        if (flag == (descending ? 0xff : 0x00)) {
            values.emplace_back(Null{});
            continue;
        }
        if (at + size > key.size()) return std::nullopt;
        std::uint64_t raw = 0;
        for (std::size_t i = 0; i < size; ++i) {
            auto b = std::uint8_t(key[at + i]);
            if (descending) b = std::uint8_t(~b);
            raw = raw << 8 | b;
        }
        at += size;
        std::int64_t value;
        if (column->type == ColumnType::Byte) {
            value = std::int64_t(raw);
        } else {
            const std::uint64_t sign = std::uint64_t(1) << (8 * size - 1);
            raw ^= sign;  // signed values have their sign bit flipped so that they sort as unsigned
            value = std::int64_t(raw) - ((raw & sign) ? std::int64_t(sign) * 2 : 0);
        }
        values.emplace_back(value);
    }
    return values;
}

}  // namespace jet
