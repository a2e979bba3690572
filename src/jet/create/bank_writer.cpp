#include "jet/create/bank_writer.h"

#include <algorithm>

#include "jet/create/catalog_rows.h"
#include "jet/create/header_page.h"
#include "jet/create/index_builder.h"
#include "jet/create/row_encoder.h"
#include "jet/create/system_tables.h"
#include "jet/create/table_definition.h"
#include "jet/create/text_encoding.h"
#include "jet/create/usage_map.h"
#include "jet/error.h"
#include "jet/format.h"

namespace jet {
namespace {

using namespace create;
const format::Layout& layout = format::Jet4Layout;
constexpr std::uint32_t kPageSize = 4096;

// Where the fixed pages of a new bank go; the question rows stream from kFirstStreamedPage on.
enum FixedPage : std::uint32_t {
    kHeaderPage = 0,
    kGlobalMapPage = 1,
    kObjectsDefinition = 2,   // the catalog's definition is always on page 2
    kAcesDefinition = 3,
    kQueriesDefinition = 4,
    kRelationshipsDefinition = 5,
    kMapRowsPage = 6,         // the usage-map rows of every table, index and long-value column
    kObjectsIndexes = 7,      // 7, 8
    kAcesIndex = 9,
    kQueriesIndex = 10,
    kRelationshipsIndexes = 11,  // 11, 12, 13
    kObjectsData = 14,
    kAcesData = 15,
    kQuestionsDefinition = 16,
    kFirstStreamedPage = 17,
};
constexpr std::uint32_t kGlobalMapOwner = 1;  // the global map's page names itself as owner

// A single-page long value: the whole row on one LVAL page.
const std::uint32_t kMaxSinglePageValue = kPageSize - layout.dataRowTable - 2;
// A chained long value: each LVAL row starts with the pointer to the next.
const std::uint32_t kChainChunk = kMaxSinglePageValue - 4;
const std::uint32_t kMaxInlineValue = layout.maxInlineLongValue;
// The fewest bytes a data page must have left to count as having free space.
constexpr std::size_t kUsefulFreeSpace = 64;
// An Access file holds at most 2 GB; room is kept for what finish() adds (index and map pages).
constexpr std::uint64_t kMaxPages = (std::uint64_t(2) << 30) / kPageSize;
constexpr std::uint64_t kFinishReserve = 64;
constexpr std::uint64_t kIndexEntriesPerPage = 400;

std::filesystem::path partialPath(const std::filesystem::path& target) {
    std::filesystem::path p = target;
    p += ".partial";
    return p;
}

}  // namespace

BankWriter::BankWriter(std::filesystem::path target, double creationDate)
    : target_(std::move(target)), partial_(partialPath(target_)), creationDate_(creationDate),
      file_(partial_, kPageSize, kFirstStreamedPage), questions_(questionTableLayout()),
      dataPage_(kPageSize, kQuestionsDefinition), longValuePage_(kPageSize, DataPage::kLongValueOwner) {
    questions_.definitionPage = kQuestionsDefinition;
    rowBuffer_.reserve(64);
}

BankWriter::~BankWriter() {
    if (!finished_) {
        std::error_code ignored;
        std::filesystem::remove(partial_, ignored);
    }
}

std::uint32_t BankWriter::storeLongValue(const Bytes& value, bool& singlePage) {
    singlePage = value.size() <= kMaxSinglePageValue;
    if (singlePage) {
        if (!longValuePage_.empty() && longValuePage_.room() < value.size()) closeLongValuePage();
        if (longValuePage_.empty()) longValuePageNumber_ = file_.allocate();
        const std::uint16_t row = longValuePage_.add(value);
        return format::makePointer(longValuePageNumber_, row);
    }
    // A chain over pages of its own, numbered in a row so that each knows the next.
    const std::size_t chunks = (value.size() + kChainChunk - 1) / kChainChunk;
    const std::uint32_t first = file_.allocate();
    for (std::size_t i = 1; i < chunks; ++i) file_.allocate();
    DataPage page(kPageSize, DataPage::kLongValueOwner);
    Bytes row;
    for (std::size_t i = 0; i < chunks; ++i) {
        const std::size_t begin = i * kChainChunk;
        const std::size_t end = std::min(value.size(), begin + kChainChunk);
        const std::uint32_t number = first + std::uint32_t(i);
        row.assign(4, 0);
        if (i + 1 < chunks) put32(row.data(), format::makePointer(number + 1, 0));
        row.insert(row.end(), value.begin() + std::ptrdiff_t(begin), value.begin() + std::ptrdiff_t(end));
        page.reset(DataPage::kLongValueOwner);
        page.add(row);
        file_.put(number, page.bytes());
        longValuePages_.push_back(number);
    }
    return format::makePointer(first, 0);
}

void BankWriter::append(std::optional<std::string_view> question) {
    if (finished_ || failed_) throw Error("题库已经写完，不能再添加行");
    if (rowCount_ == 0x7fffffffu) throw Error("题库的行数超出了自动编号的范围");
    // Refused before anything is written, so the bank can still be finished without this row.
    const std::uint64_t longValuePages = question ? question->size() * 2 / kChainChunk + 2 : 0;
    if (file_.pageCount() + longValuePages + 1 + rowCount_ / kIndexEntriesPerPage + kFinishReserve > kMaxPages)
        throw Error("题库超出了 Access 文件 2 GB 的上限");
    try {
        const std::uint32_t id = rowCount_ + 1;
        // Row: column count, ID, the memo field, end of data, its offset, variable count, null mask.
        constexpr std::size_t kMemoStart = 6;
        constexpr std::size_t kReference = format::LongValueReferenceSize;
        Bytes& row = rowBuffer_;
        row.assign(kMemoStart, 0);
        put16(&row[0], 2);
        put32(&row[2], id);
        std::uint8_t nullMask = 0x01;
        if (question) {
            const Bytes& stored = encoder_.store(*question);
            if (stored.size() > format::LongValueLengthMask) throw Error("题目太长");
            const auto length = std::uint32_t(stored.size());
            row.resize(kMemoStart + kReference, 0);
            if (length <= kMaxInlineValue) {
                put32(&row[kMemoStart], length | format::LongValueInline);
                row.insert(row.end(), stored.begin(), stored.end());
            } else {
                bool singlePage = false;
                const std::uint32_t pointer = storeLongValue(stored, singlePage);
                put32(&row[kMemoStart], length | (singlePage ? format::LongValueSinglePage : 0));
                put32(&row[kMemoStart + 4], pointer);
            }
            nullMask |= 0x02;
        }
        const std::size_t end = row.size();
        row.resize(end + 7);
        put16(&row[end], std::uint32_t(end));   // end of the variable data
        put16(&row[end + 2], kMemoStart);        // where the memo field starts
        put16(&row[end + 4], 1);
        row[end + 6] = nullMask;

        if (!dataPage_.empty() && dataPage_.room() < row.size()) closeDataPage();
        const std::uint16_t slot = dataPage_.add(row);
        rowPointers_.push_back(format::makePointer(std::uint32_t(dataPages_.size()), slot));
        rowCount_ = id;
    } catch (...) {
        failed_ = true;  // the pages already handed out would otherwise stay unwritten
        throw;
    }
}

void BankWriter::closeDataPage() {
    if (dataPage_.empty()) return;
    const std::uint32_t number = file_.allocate();
    if (dataPage_.freeSpace() >= kUsefulFreeSpace) lastDataPageFree_ = number;
    file_.put(number, dataPage_.bytes());
    dataPages_.push_back(number);
    dataPage_.reset(kQuestionsDefinition);
}

void BankWriter::closeLongValuePage() {
    if (longValuePage_.empty()) return;
    if (longValuePage_.freeSpace() >= kUsefulFreeSpace) lastLongValuePageFree_ = longValuePageNumber_;
    file_.put(longValuePageNumber_, longValuePage_.bytes());
    longValuePages_.push_back(longValuePageNumber_);
    longValuePage_.reset(DataPage::kLongValueOwner);
}

void BankWriter::finish() {
    if (finished_) throw Error("题库已经写完");
    if (failed_) throw Error("写入题库时出错，文件不完整");
    failed_ = true;  // until the end is reached
    closeDataPage();
    closeLongValuePage();
    std::sort(longValuePages_.begin(), longValuePages_.end());
    for (std::uint32_t& pointer : rowPointers_)  // data page ordinals become page numbers
        pointer = format::makePointer(dataPages_[format::pointerPage(pointer)], format::pointerRow(pointer));
    questions_.rowCount = rowCount_;
    questions_.lastAutoNumber = rowCount_;
    writeCatalog();
    file_.close();
    std::error_code error;
    std::filesystem::rename(partial_, target_, error);
    if (error) throw Error("无法把新题库移到 " + target_.string() + ": " + error.message());
    failed_ = false;
    finished_ = true;
}

void BankWriter::writeCatalog() {
    const auto allocate = [this] { return file_.allocate(); };
    const auto write = [this](std::uint32_t page, const Bytes& bytes) { file_.put(page, bytes); };

    // The question table's primary key, over as many pages as it needs.
    const BuiltIndex primaryKey =
        buildSequentialLongIndex(rowPointers_, kQuestionsDefinition, kPageSize, allocate, write);

    // Usage-map rows, all on one page; each row pointer names its slot there.
    DataPage mapRows(kPageSize, 0);
    std::vector<std::pair<std::uint32_t, Bytes>> mapPages;
    const auto addMap = [&](const std::vector<std::uint32_t>& pages) {
        UsageMap map = buildUsageMap(pages, kPageSize, allocate);
        for (auto& p : map.pages) mapPages.push_back(std::move(p));
        if (mapRows.room() < map.row.size()) throw Error("内部错误: 使用图放不下");
        return format::makePointer(kMapRowsPage, mapRows.add(map.row));
    };
    const auto single = [](std::uint32_t page) { return page ? std::vector<std::uint32_t>{page} : std::vector<std::uint32_t>{}; };

    questions_.usageMap = addMap(dataPages_);
    questions_.freeSpaceMap = addMap(single(lastDataPageFree_));
    questions_.indexes[0].rootPage = primaryKey.rootPage;
    questions_.indexes[0].usageMap = addMap(primaryKey.pages);
    questions_.longValueMaps.push_back({questions_.columns[1].number, addMap(longValuePages_),
                                        addMap(single(lastLongValuePageFree_))});
    for (auto& [page, bytes] : mapPages) file_.put(page, bytes);

    // System tables: their rows, their one-page indexes and their maps.
    TableLayout objects = msysObjectsLayout(), aces = msysAcesLayout(), queries = msysQueriesLayout(),
                relationships = msysRelationshipsLayout();
    objects.definitionPage = kObjectsDefinition;
    aces.definitionPage = kAcesDefinition;
    queries.definitionPage = kQueriesDefinition;
    relationships.definitionPage = kRelationshipsDefinition;

    const double now = creationDate_;
    DataPage objectRows(kPageSize, kObjectsDefinition);
    std::vector<IndexEntry> byParentAndName, byId;
    for (const CatalogObject& o : catalogObjects(kQuestionsDefinition)) {
        std::vector<Cell> cells(objects.columns.size());
        cells[0] = std::int64_t(o.id);
        cells[1] = std::int64_t(o.parentId);
        cells[2] = utf16le(o.name);
        cells[3] = std::int64_t(o.type);
        cells[4] = now;
        cells[5] = now;
        cells[6] = o.owner;
        cells[7] = std::int64_t(std::int32_t(o.flags));
        const Bytes row = encodeRow(objects, cells);
        if (objectRows.room() < row.size()) throw Error("内部错误: 目录放不下");
        const std::uint8_t slot = std::uint8_t(objectRows.add(row));
        Bytes key = longKey(o.parentId);
        appendBytes(key, generalSortKey(o.name));
        byParentAndName.push_back({std::move(key), kObjectsData, slot});
        byId.push_back({longKey(o.id), kObjectsData, slot});
    }
    objects.rowCount = objectRows.rowCount();

    DataPage aceRows(kPageSize, kAcesDefinition);
    std::vector<IndexEntry> byObject;
    for (const AccessControlEntry& a : accessControlEntries(kQuestionsDefinition)) {
        const Bytes row = encodeRow(aces, {std::int64_t(a.objectId), a.sid, std::int64_t(a.mask), std::int64_t(a.inheritable)});
        if (aceRows.room() < row.size()) throw Error("内部错误: 权限表放不下");
        const std::uint8_t slot = std::uint8_t(aceRows.add(row));
        byObject.push_back({longKey(a.objectId), kAcesData, slot});
    }
    aces.rowCount = aceRows.rowCount();

    const auto byKey = [](const IndexEntry& a, const IndexEntry& b) {
        if (a.key != b.key) return a.key < b.key;
        return std::pair(a.page, a.row) < std::pair(b.page, b.row);
    };
    // A system index lives on its one fixed page.
    const auto fixedIndex = [&](TableLayout& table, std::size_t which, std::vector<IndexEntry> entries, std::uint32_t page) {
        std::sort(entries.begin(), entries.end(), byKey);
        bool used = false;
        const auto onePage = [&] {
            if (used) throw Error("内部错误: 系统索引放不下一页");
            used = true;
            return page;
        };
        const auto put = [&](std::uint32_t number, const Bytes& bytes) { file_.putAt(number, bytes); };
        const BuiltIndex built = buildIndex(entries, table.definitionPage, kPageSize, onePage, put);
        table.indexes[which].rootPage = built.rootPage;
        table.indexes[which].usageMap = addMap(built.pages);
    };
    const auto tableMaps = [&](TableLayout& table, std::uint32_t dataPage) {
        table.usageMap = addMap(single(dataPage));
        table.freeSpaceMap = addMap(single(dataPage));
        for (const ColumnLayout& c : table.columns)
            if (c.longValue()) table.longValueMaps.push_back({c.number, addMap({}), addMap({})});
    };
    tableMaps(objects, kObjectsData);
    fixedIndex(objects, 0, byParentAndName, kObjectsIndexes);
    fixedIndex(objects, 1, byId, kObjectsIndexes + 1);
    tableMaps(aces, kAcesData);
    fixedIndex(aces, 0, byObject, kAcesIndex);
    tableMaps(queries, 0);
    fixedIndex(queries, 0, {}, kQueriesIndex);
    tableMaps(relationships, 0);
    for (std::size_t i = 0; i < relationships.indexes.size(); ++i)
        fixedIndex(relationships, i, {}, kRelationshipsIndexes + std::uint32_t(i));

    file_.putAt(kObjectsData, objectRows.bytes());
    file_.putAt(kAcesData, aceRows.bytes());
    file_.putAt(kMapRowsPage, mapRows.bytes());
    file_.putAt(kObjectsDefinition, tableDefinitionPage(objects, kPageSize));
    file_.putAt(kAcesDefinition, tableDefinitionPage(aces, kPageSize));
    file_.putAt(kQueriesDefinition, tableDefinitionPage(queries, kPageSize));
    file_.putAt(kRelationshipsDefinition, tableDefinitionPage(relationships, kPageSize));
    file_.putAt(kQuestionsDefinition, tableDefinitionPage(questions_, kPageSize));

    // The global map: pages past the end of the file within its reach count as free.
    const std::uint32_t pageCount = file_.pageCount();
    std::vector<std::uint32_t> beyondEnd;
    for (std::uint32_t p = pageCount; p < kInlineMapPages; ++p) beyondEnd.push_back(p);
    DataPage global(kPageSize, kGlobalMapOwner);
    global.add(inlineUsageMap(0, beyondEnd));
    global.add(inlineUsageMap(0, {}));
    file_.putAt(kGlobalMapPage, global.bytes());
    file_.putAt(kHeaderPage, headerPage(kPageSize, creationDate_));
}

}  // namespace jet
