#include "jet/database.h"

#include "jet/messages.h"

namespace jet {

namespace detail {
struct DatabaseState {};
struct TableReaderState {};
}  // namespace detail

TableReader::TableReader(std::unique_ptr<detail::TableReaderState> state) : state_(std::move(state)) {}
TableReader::TableReader(TableReader&&) noexcept = default;
TableReader& TableReader::operator=(TableReader&&) noexcept = default;
TableReader::~TableReader() = default;
bool TableReader::next(std::vector<Value>&, RowId*) { return false; }
const TableDef& TableReader::table() const { throw Error("读取器尚未完成"); }

Database::Database(std::shared_ptr<detail::DatabaseState> state) : state_(std::move(state)) {}
Database::~Database() = default;
std::unique_ptr<Database> Database::open(const std::filesystem::path& file) {
    detail::throwFileError(file, "无法打开：读取器尚未完成");
}
const std::filesystem::path& Database::path() const { throw Error("读取器尚未完成"); }
const FileHeader& Database::header() const { throw Error("读取器尚未完成"); }
std::vector<std::string> Database::tableNames() const { return {}; }
const std::vector<CatalogEntry>& Database::catalog() const { throw Error("读取器尚未完成"); }
bool Database::hasTable(std::string_view) const { return false; }
const TableDef& Database::table(std::string_view) const { throw Error("读取器尚未完成"); }
TableDef Database::tableAt(std::uint32_t, std::string_view) const { throw Error("读取器尚未完成"); }
TableReader Database::read(std::string_view) const { throw Error("读取器尚未完成"); }
TableReader Database::read(const TableDef&) const { throw Error("读取器尚未完成"); }
bool Database::readRow(const TableDef&, RowId, std::vector<Value>&) const { return false; }
std::span<const std::uint8_t> Database::page(std::uint32_t) const { throw Error("读取器尚未完成"); }

}  // namespace jet
