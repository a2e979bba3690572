#include "jet/write/bank_check.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>

#include "jet/byte_order.h"
#include "jet/database.h"
#include "jet/format.h"
#include "jet/messages.h"
#include "jet/write/editable_page.h"
#include "jet/write/index_tree.h"
#include "jet/write/long_value_pages.h"

namespace jet {
namespace {

// The bytes of a live row as stored: in its own slot, or where its slot's pointer says it moved.
std::vector<std::uint8_t> storedRow(const write::PageStore& store, RowId id)
{
    const auto pointer = format::makePointer(id.page, id.row);
    write::EditablePage page(store.read(id.page));
    if (id.row < page.rowCount() && page.row(id.row).flags & format::RowLookupFlag &&
        page.row(id.row).bytes.size() >= 4) {
        const std::uint32_t moved = detail::le32(page.row(id.row).bytes.data());
        return store.readRow(moved);
    }
    return store.readRow(pointer);
}

// Every LVAL page a live value of a long-value column uses is in the usage map the definition keeps
// for that column (where it keeps one).
void checkLongValuePages(const write::PageStore& store, const TableDef& table,
                         const std::vector<std::pair<RowId, std::vector<Value>>>& rows, std::vector<std::string>& problems)
{
    const auto maps = write::longValueMaps(store, table);
    if (!maps || maps->empty())
        return;
    std::map<std::uint16_t, std::set<std::uint32_t>> owned;
    for (const auto& m : *maps) {
        const auto pages = write::usageMapPages(store, m.usageMap);
        owned[m.column] = std::set<std::uint32_t>(pages.begin(), pages.end());
    }
    std::set<std::uint16_t> reported;
    for (const auto& [id, values] : rows)
        for (const auto& value : write::columnLongValues(table, storedRow(store, id))) {
            const auto it = owned.find(value.column);
            if (it == owned.end() || reported.count(value.column))
                continue;
            for (std::uint32_t page : write::longValuePages(store, value.ref))
                if (!it->second.count(page)) {
                    std::string name = std::to_string(value.column);
                    for (const ColumnDef& c : table.columns)
                        if (c.number == value.column)
                            name = c.name;
                    problems.push_back("列“" + name + "”的长值所在的第 " + std::to_string(page) + " 页不在该列的使用图中");
                    reported.insert(value.column);
                    break;
                }
        }
}

}  // namespace

std::vector<std::string> checkTable(const std::filesystem::path& bank, std::string_view tableName,
                                    std::vector<std::string>* skipped)
{
    auto db = Database::open(bank);
    const TableDef& table = db->table(tableName);
    std::vector<std::string> problems;

    std::vector<std::pair<RowId, std::vector<Value>>> rows;
    auto reader = db->read(table);
    std::vector<Value> row;
    RowId where;
    while (reader.next(row, &where))
        rows.emplace_back(where, row);
    if (rows.size() != table.rowCount)
        problems.push_back("表定义记录 " + std::to_string(table.rowCount) + " 行，实有 " + std::to_string(rows.size()) + " 行");

    if (db->header().version != 4)
        return problems;
    int fd = ::open(bank.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        detail::throwFileError(bank, "无法读取");
    try {
        PageTransaction view(bank, fd, db->header().pageSize);  // read only: never committed
        write::PageStore store(view);
        std::set<std::uint32_t> seen;
        for (const IndexDef& index : table.indexes) {
            if (!seen.insert(index.physicalIndex).second)
                continue;
            if (!write::canMaintainIndex(table, index)) {
                if (skipped)
                    skipped->push_back(index.name);
                continue;
            }
            std::multiset<std::vector<std::uint8_t>> expected;
            // Rows whose key the writer cannot make (text it cannot weigh): their entries are matched by
            // the row they point at alone.
            std::multiset<std::uint32_t> unkeyed;
            for (const auto& [id, values] : rows) {
                const std::uint32_t pointer = format::makePointer(id.page, id.row);
                auto key = write::indexKey(table, index, values);
                if (!key) {
                    unkeyed.insert(pointer);
                    continue;
                }
                auto entry = std::move(*key);
                entry.insert(entry.end(), {std::uint8_t(pointer >> 24), std::uint8_t(pointer >> 16),
                                           std::uint8_t(pointer >> 8), std::uint8_t(pointer)});
                expected.insert(std::move(entry));
            }
            const auto actualList = write::IndexTree(store, table, index).entries();
            if (!std::is_sorted(actualList.begin(), actualList.end()))
                problems.push_back("索引“" + index.name + "”的条目没有按键的顺序排列");
            std::multiset<std::vector<std::uint8_t>> actual(actualList.begin(), actualList.end());
            bool stray = false;
            for (const auto& e : actual) {
                if (expected.count(e))
                    continue;
                const std::size_t n = e.size();
                const auto pointed = n < 4 ? unkeyed.end()
                                           : unkeyed.find(std::uint32_t(e[n - 4]) << 24 | std::uint32_t(e[n - 3]) << 16 |
                                                          std::uint32_t(e[n - 2]) << 8 | e[n - 1]);
                if (pointed == unkeyed.end()) {
                    stray = true;
                    break;
                }
                unkeyed.erase(pointed);
            }
            if (stray)
                problems.push_back("索引“" + index.name + "”有一个条目不指向相应的行");
            bool missing = !unkeyed.empty();
            for (const auto& e : expected)
                missing |= !actual.count(e);
            if (missing)
                problems.push_back("索引“" + index.name + "”缺少一行的条目");
        }
        checkLongValuePages(store, table, rows, problems);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return problems;
}

}  // namespace jet
