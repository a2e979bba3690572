#include "jet/database.h"

#include <array>

#include "jet/byte_order.h"
#include "jet/header_reader.h"
#include "jet/messages.h"
#include "jet/rc4.h"
#include "jet/table_definition_reader.h"
#include "jet/table_reader_state.h"

namespace jet {
namespace detail {

std::span<const std::uint8_t> DatabaseState::page(std::uint32_t number) const {
    if (number >= header.pageCount)
        corrupt("第 " + std::to_string(number) + " 页超出文件末尾（文件共 " + std::to_string(header.pageCount) + " 页）");
    return image.bytes().subspan(std::size_t(number) * header.pageSize, header.pageSize);
}

void DatabaseState::corrupt(std::string_view what) const { throwCorrupt(path(), what); }

namespace {

// Pages after the header are RC4-encrypted with the database key mixed with the page number.
void decryptPages(DatabaseState& db) {
    auto bytes = db.image.makeWritableCopy();
    for (std::uint32_t n = 1; n < db.header.pageCount; ++n) {
        const std::uint32_t key = db.header.databaseKey ^ n;
        const std::array<std::uint8_t, 4> keyBytes{std::uint8_t(key), std::uint8_t(key >> 8), std::uint8_t(key >> 16),
                                                   std::uint8_t(key >> 24)};
        rc4Apply(keyBytes, bytes.subspan(std::size_t(n) * db.header.pageSize, db.header.pageSize));
    }
}

template <typename T>
T integerOr(const Value& v, T fallback) {
    if (const auto* i = std::get_if<std::int64_t>(&v)) return T(*i);
    return fallback;
}

void readCatalog(const std::shared_ptr<DatabaseState>& db) {
    TableDef catalogDef = readTableDefinition(*db, format::CatalogPage, "MSysObjects");
    const int id = catalogDef.columnIndex("Id");
    const int parentId = catalogDef.columnIndex("ParentId");
    const int name = catalogDef.columnIndex("Name");
    const int type = catalogDef.columnIndex("Type");
    const int flags = catalogDef.columnIndex("Flags");
    if (id < 0 || name < 0 || type < 0) db->corrupt("系统表 MSysObjects 缺少必需的列");
    TableReaderState reader(db, std::move(catalogDef));
    std::vector<Value> row;
    while (reader.next(row, nullptr)) {
        CatalogEntry entry;
        if (const auto* s = std::get_if<std::string>(&row[std::size_t(name)])) entry.name = *s;
        entry.id = integerOr<std::int32_t>(row[std::size_t(id)], 0);
        if (parentId >= 0) entry.parentId = integerOr<std::int32_t>(row[std::size_t(parentId)], 0);
        entry.type = integerOr<std::int16_t>(row[std::size_t(type)], 0);
        if (flags >= 0) entry.flags = integerOr<std::uint32_t>(row[std::size_t(flags)], 0);
        db->catalog.push_back(std::move(entry));
    }
    for (const auto& entry : db->catalog) {
        if (entry.type != 1) continue;
        db->tables.push_back(readTableDefinition(*db, std::uint32_t(entry.id) & 0x00ffffff, entry.name));
        if (entry.isUserTable()) db->userTables.push_back(entry.name);
    }
}

}  // namespace
}  // namespace detail

Database::Database(std::shared_ptr<detail::DatabaseState> state) : state_(std::move(state)) {}
Database::~Database() = default;

std::unique_ptr<Database> Database::open(const std::filesystem::path& file) {
    auto state = std::make_shared<detail::DatabaseState>(file);
    state->header = detail::readFileHeader(state->image.bytes(), file);
    state->layout = &format::layoutFor(state->header.version);
    if (state->header.databaseKey != 0) detail::decryptPages(*state);
    detail::readCatalog(state);
    return std::unique_ptr<Database>(new Database(std::move(state)));
}

const std::filesystem::path& Database::path() const { return state_->path(); }
const FileHeader& Database::header() const { return state_->header; }
std::vector<std::string> Database::tableNames() const { return state_->userTables; }
const std::vector<CatalogEntry>& Database::catalog() const { return state_->catalog; }

bool Database::hasTable(std::string_view name) const {
    for (const auto& t : state_->tables)
        if (sameName(t.name, name)) return true;
    return false;
}

const TableDef& Database::table(std::string_view name) const {
    for (const auto& t : state_->tables)
        if (sameName(t.name, name)) return t;
    detail::throwFileError(path(), "中没有表“" + std::string(name) + "”");
}

TableDef Database::tableAt(std::uint32_t definitionPage, std::string_view name) const {
    return detail::readTableDefinition(*state_, definitionPage, std::string(name));
}

TableReader Database::read(std::string_view name) const { return read(table(name)); }

TableReader Database::read(const TableDef& definition) const {
    return TableReader(std::make_unique<detail::TableReaderState>(state_, definition));
}

bool Database::readRow(const TableDef& definition, RowId where, std::vector<Value>& row) const {
    const detail::DataPage page(*state_, where.page);
    if (page.owner() != definition.definitionPage)
        state_->corrupt("第 " + std::to_string(where.page) + " 页不属于表“" + definition.name + "”");
    if (where.row >= page.rowCount()) return false;
    std::uint32_t storedOn = 0;
    const auto bytes = detail::liveRowBytes(*state_, page, page.slot(where.row), storedOn);
    if (!bytes) return false;
    detail::RowDecoder decoder(*state_, definition);
    decoder.decode(*bytes, storedOn, row);
    return true;
}

std::span<const std::uint8_t> Database::page(std::uint32_t number) const { return state_->page(number); }

}  // namespace jet
