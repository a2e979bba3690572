#include "jet/write/long_value_pages.h"

#include <algorithm>
#include <set>

#include "jet/byte_order.h"
#include "jet/error.h"
#include "jet/format.h"
#include "jet/write/editable_page.h"

namespace jet::write {
namespace {

using ByteString = std::vector<std::uint8_t>;
const format::Layout& layout = format::Jet4Layout;
constexpr std::uint32_t kLongValueOwner = 0x4c41564c;  // "LVAL"
constexpr std::uint16_t kDeletedFlags = format::RowDeletedFlag | format::RowLookupFlag;
constexpr std::uint16_t kNoColumn = 0xffff;
// The fewest bytes an LVAL page must have left to be listed as having free space (as new banks have it).
constexpr std::size_t kUsefulFreeSpace = 64;
// How many of a column's pages with room a change looks at before it starts a new page.
constexpr int kPagesTriedForRoom = 4;

bool isLongValueColumn(const ColumnDef& c) { return !c.fixed && (c.type == ColumnType::Memo || c.type == ColumnType::OLE); }

void put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

// The definition's bytes with offsets running on across its pages: the first page whole, each
// continuation after its 8-byte header.
ByteString definitionBytes(const PageStore& store, std::uint32_t first)
{
    ByteString bytes;
    std::set<std::uint32_t> seen;
    for (std::uint32_t page = first; page != 0 && seen.insert(page).second;) {
        const ByteString image = store.read(page);
        if (image[0] != std::uint8_t(format::PageType::TableDefinition))
            break;
        bytes.insert(bytes.end(), image.begin() + (bytes.empty() ? 0 : 8), image.end());
        page = detail::le32(image.data() + layout.tdefNextPage);
    }
    return bytes;
}

bool looksLikeUsageMap(const PageStore& store, std::uint32_t pointer)
{
    try {
        const ByteString row = store.readRow(pointer);
        return !row.empty() && (row[0] == format::UsageMapInline || row[0] == format::UsageMapReference);
    } catch (const Error&) {
        return false;
    }
}

// The bytes of the stored value a long-value column's cell becomes, as the row encoder makes them;
// nothing when the cell is Null or not of a kind the column takes.
std::optional<ByteString> storedBytes(const ColumnDef& c, const Value& v)
{
    if (c.type == ColumnType::Memo) {
        if (auto* s = std::get_if<std::string>(&v))
            return storedTextBytes(c, *s);
        if (auto* i = std::get_if<std::int64_t>(&v))
            return storedTextBytes(c, std::to_string(*i));
    } else {
        if (auto* b = std::get_if<Bytes>(&v))
            return ByteString(b->data.begin(), b->data.end());
        if (auto* s = std::get_if<std::string>(&v))
            return ByteString(s->begin(), s->end());
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<LongValueColumnMaps>> longValueMaps(const PageStore& store, const TableDef& table)
{
    const ByteString def = definitionBytes(store, table.definitionPage);
    std::size_t pos = layout.tdefBlockEnd + std::size_t(table.physicalIndexCount) * layout.physicalIndexCountEntry +
                      table.columns.size() * layout.columnEntry;
    auto skipNames = [&](std::size_t count) {
        for (std::size_t i = 0; i < count && pos + 2 <= def.size(); ++i)
            pos += 2 + detail::le16(def.data() + pos);
    };
    skipNames(table.columns.size());
    pos += std::size_t(table.physicalIndexCount) * layout.physicalIndexEntry +
           std::size_t(table.logicalIndexCount) * layout.logicalIndexEntry;
    skipNames(table.logicalIndexCount);

    std::vector<LongValueColumnMaps> result;
    for (;;) {
        if (pos + 2 > def.size())
            return std::nullopt;
        const std::uint16_t number = detail::le16(def.data() + pos);
        if (number == kNoColumn)
            return result;
        if (pos + 10 > def.size())
            return std::nullopt;
        LongValueColumnMaps maps{number, detail::le32(def.data() + pos + 2), detail::le32(def.data() + pos + 6)};
        pos += 10;
        const bool known = std::any_of(table.columns.begin(), table.columns.end(), [&](const ColumnDef& c) {
            return c.number == number && isLongValueColumn(c);
        });
        const bool repeated = std::any_of(result.begin(), result.end(), [&](const auto& m) { return m.column == number; });
        if (!known || repeated || !looksLikeUsageMap(store, maps.usageMap) || !looksLikeUsageMap(store, maps.freeSpaceMap))
            return std::nullopt;
        result.push_back(maps);
    }
}

std::vector<ColumnLongValue> columnLongValues(const TableDef& table, const ByteString& row)
{
    std::vector<ColumnLongValue> values;
    if (row.size() < 4)
        return values;
    const std::size_t columnCount = detail::le16(row.data());
    const std::size_t maskSize = (columnCount + 7) / 8;
    if (row.size() < maskSize + 4)
        return values;
    const std::size_t varCountAt = row.size() - maskSize - 2;
    const std::size_t varCount = detail::le16(row.data() + varCountAt);
    if (varCountAt < 2 * (varCount + 1))
        return values;
    const std::uint8_t* mask = row.data() + row.size() - maskSize;
    for (const ColumnDef& c : table.columns) {
        if (!isLongValueColumn(c) || c.varIndex >= varCount || c.number / 8 >= maskSize)
            continue;
        if (!(mask[c.number / 8] & (1u << (c.number % 8))))
            continue;  // Null
        const std::size_t start = detail::le16(row.data() + varCountAt - 2 * (c.varIndex + 1));
        if (start + format::LongValueReferenceSize > row.size())
            continue;
        const std::uint32_t length = detail::le32(row.data() + start);
        if (length & format::LongValueInline)
            continue;
        values.push_back({c.number, {detail::le32(row.data() + start + 4), (length & format::LongValueSinglePage) != 0}});
    }
    return values;
}

std::vector<std::uint32_t> longValuePages(const PageStore& store, const LongValueRef& ref)
{
    std::vector<std::uint32_t> pages;
    std::set<std::uint32_t> seen;
    for (std::uint32_t pointer = ref.pointer; pointer != 0 && seen.insert(pointer).second;) {
        const std::uint32_t number = format::pointerPage(pointer);
        EditablePage page(store.read(number));
        const std::uint16_t row = format::pointerRow(pointer);
        if (page.owner() != kLongValueOwner || row >= page.rowCount())
            break;
        pages.push_back(number);
        const ByteString& bytes = page.row(row).bytes;
        if (ref.singlePage || bytes.size() < 4)
            break;
        pointer = detail::le32(bytes.data());
    }
    return pages;
}

LongValuePages::LongValuePages(PageStore& store, const TableDef& table)
    : store_(store), table_(table), maps_(longValueMaps(store, table).value_or(std::vector<LongValueColumnMaps>{}))
{
}

std::optional<std::size_t> LongValuePages::mapsOf(std::uint16_t column) const
{
    for (std::size_t i = 0; i < maps_.size(); ++i)
        if (maps_[i].column == column)
            return i;
    return std::nullopt;
}

ByteString LongValuePages::encode(const std::vector<Value>& values)
{
    // The encoder hands over the values that leave the row in the order of their variable-column
    // slots, without naming the column: each is matched to the next column in that order that holds it.
    struct Pending {
        std::optional<std::size_t> maps;
        ByteString bytes;
    };
    std::vector<std::pair<std::uint16_t, Pending>> pending;  // by slot
    for (std::size_t i = 0; i < table_.columns.size() && i < values.size(); ++i) {
        const ColumnDef& c = table_.columns[i];
        if (!isLongValueColumn(c) || isNull(values[i]))
            continue;
        if (auto bytes = storedBytes(c, values[i]); bytes && bytes->size() > layout.maxInlineLongValue)
            pending.push_back({c.varIndex, {mapsOf(c.number), std::move(*bytes)}});
    }
    std::stable_sort(pending.begin(), pending.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::size_t next = 0;
    return encodeRow(table_, values, [&](const ByteString& stored) {
        std::optional<std::size_t> maps;
        for (std::size_t i = next; i < pending.size(); ++i)
            if (pending[i].second.bytes == stored) {
                maps = pending[i].second.maps;
                next = i + 1;
                break;
            }
        return store(stored, maps);
    });
}

void LongValuePages::freeValuesOf(const ByteString& row)
{
    for (const ColumnLongValue& value : columnLongValues(table_, row))
        free(value.ref, mapsOf(value.column));
}

ByteString LongValuePages::store(const ByteString& stored, std::optional<std::size_t> maps)
{
    const std::size_t singleLimit = store_.pageSize() - layout.dataRowTable - 2;
    ByteString reference(format::LongValueReferenceSize, 0);
    if (stored.size() <= singleLimit) {
        const std::uint32_t pointer = addRow(stored, maps);
        put32(&reference[0], std::uint32_t(stored.size()) | format::LongValueSinglePage);
        put32(&reference[4], pointer);
        return reference;
    }
    const std::size_t chunk = singleLimit - 4;
    const std::size_t pieces = (stored.size() + chunk - 1) / chunk;
    std::vector<std::uint32_t> pages;
    for (std::size_t i = 0; i < pieces; ++i)
        pages.push_back(newPage(ByteString(store_.pageSize(), 0), maps));
    for (std::size_t i = 0; i < pieces; ++i) {
        ByteString row(4, 0);
        put32(row.data(), i + 1 < pieces ? format::makePointer(pages[i + 1], 0) : 0);
        const std::size_t begin = i * chunk, end = std::min(stored.size(), begin + chunk);
        row.insert(row.end(), stored.begin() + std::ptrdiff_t(begin), stored.begin() + std::ptrdiff_t(end));
        EditablePage page(store_.pageSize(), kLongValueOwner);
        page.add(std::move(row));
        store_.write(pages[i], page.image());
    }
    put32(&reference[0], std::uint32_t(stored.size()));
    put32(&reference[4], format::makePointer(pages.front(), 0));
    return reference;
}

std::optional<std::uint32_t> LongValuePages::pageWithRoom(std::size_t maps, std::size_t bytes) const
{
    // The column's pages listed as having room, the newest first; a few are tried, not the whole map.
    const auto listed = usageMapPages(store_, maps_[maps].freeSpaceMap);
    int tried = 0;
    for (auto it = listed.rbegin(); it != listed.rend() && tried < kPagesTriedForRoom; ++it, ++tried) {
        try {
            const ByteString image = store_.read(*it);
            if (image[0] != std::uint8_t(format::PageType::Data))
                continue;
            EditablePage page(image);
            if (page.owner() == kLongValueOwner && page.fitsWith(bytes))
                return *it;
        } catch (const Error&) {
            // a page the map lists wrongly (beyond the file, not a data page): not used
        }
    }
    return std::nullopt;
}

std::uint32_t LongValuePages::addRow(ByteString row, std::optional<std::size_t> maps)
{
    const int key = maps ? int(*maps) : -1;
    if (maps && !current_.count(key))
        if (auto page = pageWithRoom(*maps, row.size()))
            current_[key] = *page;
    if (auto it = current_.find(key); it != current_.end()) {
        EditablePage page(store_.read(it->second));
        if (page.fitsWith(row.size())) {
            const std::uint16_t number = page.add(std::move(row));
            store_.write(it->second, page.image());
            touched_.emplace(it->second, maps);
            return format::makePointer(it->second, number);
        }
    }
    EditablePage page(store_.pageSize(), kLongValueOwner);
    const std::uint16_t number = page.add(std::move(row));
    const std::uint32_t fresh = newPage(page.image(), maps);
    current_[key] = fresh;
    return format::makePointer(fresh, number);
}

std::uint32_t LongValuePages::newPage(const ByteString& image, std::optional<std::size_t> maps)
{
    const std::uint32_t page = store_.allocate(image);
    if (maps)
        addToUsageMap(store_, maps_[*maps].usageMap, page);
    touched_[page] = maps;
    return page;
}

void LongValuePages::free(const LongValueRef& ref, std::optional<std::size_t> maps)
{
    std::uint32_t pointer = ref.pointer;
    for (int guard = 0; pointer != 0 && guard < 1 << 20; ++guard) {
        const std::uint32_t number = format::pointerPage(pointer);
        const std::uint16_t row = format::pointerRow(pointer);
        EditablePage page(store_.read(number));
        if (row >= page.rowCount() || page.owner() != kLongValueOwner)
            return;  // a damaged reference: leave what it points at alone
        const ByteString bytes = page.row(row).bytes;
        page.remove(row);
        page.row(row).flags = kDeletedFlags;
        store_.write(number, page.image());
        touched_.emplace(number, maps);
        if (ref.singlePage || bytes.size() < 4)
            return;
        pointer = detail::le32(bytes.data());
    }
}

void LongValuePages::finish()
{
    for (const auto& [number, maps] : touched_) {
        if (!maps)
            continue;
        EditablePage page(store_.read(number));
        setInUsageMap(store_, maps_[*maps].freeSpaceMap, number, page.freeSpace() >= kUsefulFreeSpace);
    }
    touched_.clear();
}

}  // namespace jet::write
