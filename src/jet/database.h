#pragma once
// Reading an Access (Jet 3 / Jet 4) file: its header, catalog, table definitions and rows.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "jet/error.h"
#include "jet/schema.h"
#include "jet/value.h"

namespace jet {

namespace detail {
struct DatabaseState;
struct TableReaderState;
}  // namespace detail

// A stream of a table's rows in storage order (data pages ascending, rows in page order), deleted rows
// skipped and moved rows followed. It keeps the file open by itself, so it may outlive its Database.
class TableReader {
public:
    TableReader(TableReader&&) noexcept;
    TableReader& operator=(TableReader&&) noexcept;
    ~TableReader();

    // The next row, one value per column of table().columns; false at the end. `where` receives the
    // row's place. Throws jet::Error on a damaged page.
    bool next(std::vector<Value>& row, RowId* where = nullptr);

    const TableDef& table() const;

private:
    friend class Database;
    explicit TableReader(std::unique_ptr<detail::TableReaderState>);
    std::unique_ptr<detail::TableReaderState> state_;
};

class Database {
public:
    // Opens the file read-only. Throws jet::Error naming the file when it is missing, not an Access
    // file, damaged or protected by a database password.
    static std::unique_ptr<Database> open(const std::filesystem::path& file);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::filesystem::path& path() const;
    const FileHeader& header() const;

    // The user tables, in catalog order.
    std::vector<std::string> tableNames() const;
    // Every row of MSysObjects, in catalog order.
    const std::vector<CatalogEntry>& catalog() const;

    // A local table (user or system) by name, letter case ignored.
    bool hasTable(std::string_view name) const;
    const TableDef& table(std::string_view name) const;  // throws jet::Error when missing
    // The definition at a given page, whether the catalog names it or not.
    TableDef tableAt(std::uint32_t definitionPage, std::string_view name = {}) const;

    TableReader read(std::string_view table) const;
    TableReader read(const TableDef& table) const;

    // One row by its place; false when the slot is empty or deleted.
    bool readRow(const TableDef& table, RowId where, std::vector<Value>& row) const;

    // Raw page bytes (decrypted); throws jet::Error when the page lies beyond the file.
    std::span<const std::uint8_t> page(std::uint32_t number) const;

private:
    explicit Database(std::shared_ptr<detail::DatabaseState>);
    std::shared_ptr<detail::DatabaseState> state_;
};

}  // namespace jet
