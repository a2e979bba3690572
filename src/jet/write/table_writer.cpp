#include "jet/write/table_writer.h"

#include <algorithm>
#include <memory>
#include <set>

#include "jet/byte_order.h"
#include "jet/error.h"
#include "jet/format.h"
#include "jet/messages.h"
#include "jet/write/bank_lock.h"
#include "jet/write/editable_page.h"
#include "jet/write/index_tree.h"
#include "jet/write/long_value_pages.h"
#include "jet/write/page_store.h"
#include "jet/write/row_encoding.h"

namespace jet {
namespace {

using ByteString = std::vector<std::uint8_t>;
using write::EditablePage;
using write::PageStore;

const format::Layout& layout = format::Jet4Layout;
constexpr std::uint16_t kDeletedFlags = format::RowDeletedFlag | format::RowLookupFlag;  // as Jet marks deleted rows

void put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

ByteString le32Bytes(std::uint32_t v)
{
    ByteString b(4);
    put32(b.data(), v);
    return b;
}

bool canChangeRows(const Database& db, const TableDef& table, std::string* why);

// One change in progress: the lock, the file as it is now, and the pages being changed.
struct Session {
    Session(const std::filesystem::path& bank, std::string_view tableName, const WriteStepObserver& observer)
        : lock(bank)
    {
        rollBackInterruptedWrite(bank);
        db = Database::open(bank);
        table = db->table(tableName);
        std::string why;
        if (!canChangeRows(*db, table, &why))
            detail::throwFileError(bank, "不能修改表“" + table.name + "”：" + why);
        change = std::make_unique<PageTransaction>(bank, lock.fd(), db->header().pageSize, observer);
        store = std::make_unique<PageStore>(*change);
        longValues = std::make_unique<write::LongValuePages>(*store, table);
    }

    void commit()
    {
        longValues->finish();
        change->commit();
    }

    BankLock lock;
    std::unique_ptr<Database> db;
    TableDef table;
    std::unique_ptr<PageTransaction> change;
    std::unique_ptr<PageStore> store;
    std::unique_ptr<write::LongValuePages> longValues;
};

// Where a row's bytes live: its own slot, or the slot it moved to.
struct RowPlace {
    RowId home;
    RowId stored;
    bool moved() const { return !(home == stored); }
};

RowPlace locate(PageStore& store, RowId where)
{
    EditablePage page(store.read(where.page));
    if (where.row >= page.rowCount() || page.row(where.row).flags & format::RowDeletedFlag)
        throw Error("该行已被其他程序删除");
    RowPlace place{where, where};
    const auto& row = page.row(where.row);
    if (row.flags & format::RowLookupFlag) {
        if (row.bytes.size() < 4)
            throw Error("第 " + std::to_string(where.page) + " 页的移动行指针已损坏");
        const std::uint32_t pointer = detail::le32(row.bytes.data());
        place.stored = RowId{format::pointerPage(pointer), format::pointerRow(pointer)};
    }
    return place;
}

ByteString rowBytes(PageStore& store, RowId id)
{
    EditablePage page(store.read(id.page));
    if (id.row >= page.rowCount())
        throw Error("第 " + std::to_string(id.page) + " 页没有第 " + std::to_string(id.row) + " 行");
    return page.row(id.row).bytes;
}

void setRow(PageStore& store, RowId id, ByteString bytes, std::uint16_t flags)
{
    EditablePage page(store.read(id.page));
    page.row(id.row).bytes = std::move(bytes);
    page.row(id.row).flags = flags;
    store.write(id.page, page.image());
}

void deleteRowAt(PageStore& store, RowId id)
{
    EditablePage page(store.read(id.page));
    page.remove(id.row);
    page.row(id.row).flags = kDeletedFlags;
    store.write(id.page, page.image());
}

// A place for a row on the table's last data page, or on a new one.
RowId placeRow(Session& s, ByteString bytes, std::uint16_t flags)
{
    PageStore& store = *s.store;
    if (!s.table.dataPages.empty()) {
        const std::uint32_t last = s.table.dataPages.back();
        const ByteString image = store.read(last);
        if (image[0] == std::uint8_t(format::PageType::Data)) {
            EditablePage page(image);
            if (page.owner() == s.table.definitionPage && page.fitsWith(bytes.size())) {
                const std::uint16_t number = page.add(std::move(bytes), flags);
                store.write(last, page.image());
                return RowId{last, number};
            }
        }
    }
    EditablePage page(store.pageSize(), s.table.definitionPage);
    const std::uint16_t number = page.add(std::move(bytes), flags);
    const std::uint32_t fresh = store.allocate(page.image());
    write::addToUsageMap(store, s.table.usageMap, fresh);
    write::addToUsageMap(store, s.table.freeSpaceMap, fresh);
    s.table.dataPages.push_back(fresh);
    return RowId{fresh, number};
}

std::vector<Value> currentRow(Session& s, RowId where)
{
    std::vector<Value> row;
    if (!s.db->readRow(s.table, where, row))
        throw Error("该行已被其他程序删除");
    return row;
}

void checkUnchanged(Session& s, RowId where, const std::vector<Value>& expected)
{
    if (currentRow(s, where) != expected)
        throw Error("该行已被其他程序修改，为免覆盖别人的修改，本次没有保存");
}

// The physical indexes of the table, each once (foreign keys may share one).
std::vector<const IndexDef*> physicalIndexes(const TableDef& table)
{
    std::vector<const IndexDef*> result;
    for (const IndexDef& index : table.indexes) {
        bool seen = false;
        for (const IndexDef* other : result)
            seen |= other->physicalIndex == index.physicalIndex;
        if (!seen)
            result.push_back(&index);
    }
    return result;
}

void adjustDefinition(Session& s, int rowDelta, std::optional<std::uint32_t> lastAutoNumber)
{
    ByteString page = s.store->read(s.table.definitionPage);
    const std::uint32_t rows = detail::le32(page.data() + layout.tdefRowCount);
    put32(&page[layout.tdefRowCount], std::uint32_t(std::max<std::int64_t>(0, std::int64_t(rows) + rowDelta)));
    if (lastAutoNumber)
        put32(&page[layout.tdefAutoNumber], *lastAutoNumber);
    s.store->write(s.table.definitionPage, std::move(page));
}

std::uint32_t pointerOf(RowId id) { return format::makePointer(id.page, id.row); }

// What Jet refuses of a new key: Null in a primary key, and a value that a unique index already holds
// for another row (several Nulls may share a unique index). Checked before any page changes.
void requireAcceptableKey(PageStore& store, const TableDef& table, const IndexDef& index, const std::vector<Value>& row,
                          const std::vector<std::uint8_t>& key, std::optional<std::uint32_t> ownPointer)
{
    bool hasNull = false;
    for (const IndexColumn& ic : index.columns)
        for (std::size_t c = 0; c < table.columns.size(); ++c)
            if (table.columns[c].number == ic.columnNumber && isNull(row[c]))
                hasNull = true;
    if (hasNull && (index.primary || index.required))
        throw Error("索引或主关键字“" + index.name + "”不能包含空（Null）值");
    if (hasNull || !(index.unique || index.primary))
        return;
    for (const std::uint32_t pointer : write::IndexTree(store, table, index).rowsWithKey(key)) {
        if (ownPointer && pointer == *ownPointer)
            continue;
        throw Error("索引“" + index.name + "”中已有这个值：表“" + table.name +
                    "”的更改会在索引、主关键字或关系中造成重复的值，没有保存");
    }
}

// A row's entry leaves its index: sought by its key, or, when the key cannot be made (text the writer
// cannot weigh, in a row Access wrote), by the row pointer along the whole index.
void removeEntry(write::IndexTree& tree, const std::optional<std::vector<std::uint8_t>>& key, std::uint32_t pointer)
{
    if (key)
        tree.remove(*key, pointer);
    else
        tree.removeRow(pointer);
}

void updateRow(Session& s, RowId where, const std::vector<Value>& expected, const std::vector<Value>& values)
{
    checkUnchanged(s, where, expected);
    PageStore& store = *s.store;
    for (const IndexDef* index : physicalIndexes(s.table)) {
        if (write::sameIndexedValues(s.table, *index, expected, values))
            continue;  // its entry stays as it is, whether or not the writer could make the key
        // The new key must be made; the old one need not (its entry is found by the row alone).
        const auto newKey = write::requireIndexKey(s.table, *index, values);
        if (newKey != write::indexKey(s.table, *index, expected))
            requireAcceptableKey(store, s.table, *index, values, newKey, pointerOf(where));
    }
    const RowPlace place = locate(store, where);
    s.longValues->freeValuesOf(rowBytes(store, place.stored));
    ByteString encoded = s.longValues->encode(values);

    EditablePage page(store.read(place.stored.page));
    auto& slot = page.row(place.stored.row);
    slot.bytes = encoded;
    if (page.fits()) {
        store.write(place.stored.page, page.image());
    } else {
        // Too long for its page: the row moves, its home slot keeps a pointer to where it went (as Jet
        // does, the new place is marked deleted so that scans reach the row only through the pointer).
        // A row that had moved already leaves its last place.
        if (place.moved())
            deleteRowAt(store, place.stored);
        const RowId target = placeRow(s, std::move(encoded), format::RowDeletedFlag);
        setRow(store, place.home, le32Bytes(pointerOf(target)), format::RowLookupFlag);
    }
    for (const IndexDef* index : physicalIndexes(s.table)) {
        if (write::sameIndexedValues(s.table, *index, expected, values))
            continue;
        const auto oldKey = write::indexKey(s.table, *index, expected);
        const auto newKey = write::requireIndexKey(s.table, *index, values);
        if (oldKey == newKey)
            continue;
        write::IndexTree tree(store, s.table, *index);
        removeEntry(tree, oldKey, pointerOf(where));
        tree.insert(newKey, pointerOf(where));
    }
}

void removeRow(Session& s, RowId where, const std::vector<Value>& expected)
{
    checkUnchanged(s, where, expected);
    PageStore& store = *s.store;
    const RowPlace place = locate(store, where);
    s.longValues->freeValuesOf(rowBytes(store, place.stored));
    if (place.moved())
        deleteRowAt(store, place.stored);
    deleteRowAt(store, place.home);
    for (const IndexDef* index : physicalIndexes(s.table)) {
        write::IndexTree tree(store, s.table, *index);
        removeEntry(tree, write::indexKey(s.table, *index, expected), pointerOf(where));
    }
}

// lastAutoNumber: the number the definition will keep as the last one given, carried over a batch.
RowId insertRow(Session& s, std::vector<Value>& values, std::optional<std::uint32_t>& lastAutoNumber)
{
    if (values.size() != s.table.columns.size())
        throw Error("内部错误：行的值个数与表“" + s.table.name + "”的列数不符");
    for (std::size_t i = 0; i < s.table.columns.size(); ++i) {
        const ColumnDef& c = s.table.columns[i];
        if (c.autoNumber && c.type == ColumnType::Long && isNull(values[i])) {
            if (s.table.nextAutoNumber >= 0x7fffffffu)
                throw Error("表“" + s.table.name + "”的自动编号已用尽");
            lastAutoNumber = s.table.nextAutoNumber + 1;  // the definition keeps the last number given
            values[i] = std::int64_t(*lastAutoNumber);
        } else if (c.autoNumber && c.type == ColumnType::Long) {
            // A number given beyond the last one moves the counter on, as Jet does, so that the numbers
            // given later never repeat it.
            const auto* given = std::get_if<std::int64_t>(&values[i]);
            if (given && *given > std::int64_t(s.table.nextAutoNumber) && *given <= 0x7fffffff)
                lastAutoNumber = std::uint32_t(*given);
        }
    }
    if (lastAutoNumber)
        s.table.nextAutoNumber = *lastAutoNumber;
    PageStore& store = *s.store;
    for (const IndexDef* index : physicalIndexes(s.table))
        requireAcceptableKey(store, s.table, *index, values, write::requireIndexKey(s.table, *index, values), std::nullopt);
    ByteString encoded = s.longValues->encode(values);
    const RowId where = placeRow(s, std::move(encoded), 0);
    for (const IndexDef* index : physicalIndexes(s.table)) {
        write::IndexTree tree(store, s.table, *index);
        tree.insert(write::requireIndexKey(s.table, *index, values), pointerOf(where));
    }
    return where;
}

// What the file and the table allow, the lock aside (a writer holding the lock asks too).
bool canChangeRows(const Database& db, const TableDef& table, std::string* why)
{
    auto no = [&](const std::string& reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (db.header().version != 4 || db.header().pageSize != layout.pageSize)
        return no("只能修改 Access 2000 及以后格式（Jet 4）的文件");
    if (db.header().databaseKey != 0)
        return no("文件已加密");
    if (table.tableType != format::TableTypeUser)
        return no("这是系统表");
    std::string reason;
    if (!write::canEncodeRows(table, &reason))
        return no(reason);
    for (const IndexDef& index : table.indexes)
        if (!write::canMaintainIndex(table, index))
            return no("索引“" + index.name + "”的键无法保持准确");
    return true;
}

}  // namespace

TableWriter::TableWriter(std::filesystem::path bank, WriteStepObserver observer)
    : bank_(std::move(bank)), observer_(std::move(observer))
{
}

bool TableWriter::canWrite(const Database& db, const TableDef& table, std::string* why)
{
    if (!canChangeRows(db, table, why))
        return false;
    if (!BankLock::writable(db.path())) {
        if (why)
            *why = "文件不可写，或正被另一个程序占用";
        return false;
    }
    return true;
}

void TableWriter::update(std::string_view tableName, RowId where, const std::vector<Value>& expected,
                         const std::vector<Value>& values)
{
    std::vector<RowChange> changes{{RowChange::Kind::Update, where, expected, values}};
    apply(tableName, changes);
}

void TableWriter::remove(std::string_view tableName, RowId where, const std::vector<Value>& expected)
{
    std::vector<RowChange> changes{{RowChange::Kind::Remove, where, expected, {}}};
    apply(tableName, changes);
}

RowId TableWriter::insert(std::string_view tableName, std::vector<Value>& values)
{
    std::vector<RowChange> changes{{RowChange::Kind::Insert, {}, {}, values}};
    apply(tableName, changes);
    values = std::move(changes.front().values);
    return changes.front().where;
}

void TableWriter::apply(std::string_view tableName, std::vector<RowChange>& changes)
{
    if (changes.empty())
        return;
    Session s(bank_, tableName, observer_);
    // Each row is checked against the file as it was before the batch, so none may be named twice.
    std::set<std::pair<std::uint32_t, std::uint16_t>> named;
    for (const RowChange& change : changes)
        if (change.kind != RowChange::Kind::Insert && !named.insert({change.where.page, change.where.row}).second)
            throw Error("内部错误：同一次更改两次指定了同一行");
    int rowDelta = 0;
    std::optional<std::uint32_t> lastAutoNumber;
    for (RowChange& change : changes) {
        switch (change.kind) {
        case RowChange::Kind::Update: updateRow(s, change.where, change.expected, change.values); break;
        case RowChange::Kind::Remove:
            removeRow(s, change.where, change.expected);
            --rowDelta;
            break;
        case RowChange::Kind::Insert:
            change.where = insertRow(s, change.values, lastAutoNumber);
            ++rowDelta;
            break;
        }
    }
    if (rowDelta != 0 || lastAutoNumber)
        adjustDefinition(s, rowDelta, lastAutoNumber);
    s.commit();
}

}  // namespace jet
