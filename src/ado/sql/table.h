#pragma once
// What the executor reads: a table of rows by number, and a catalog that finds tables by name.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/schema.h"
#include "jet/value.h"

namespace ado::sql {

struct ColumnInfo {
    std::string name;
    jet::ColumnType type;
};

class Table {
public:
    virtual ~Table() = default;
    virtual const std::string& name() const = 0;
    virtual const std::vector<ColumnInfo>& columns() const = 0;
    virtual std::size_t rowCount() const = 0;
    virtual jet::Value value(std::size_t row, std::size_t column) const = 0;

    // Reading text cells without a copy. A table that keeps a column's cells as UTF-8 strings answers
    // true for that column and then serves textView for it: nullopt for Null, else a view that stays
    // valid as long as the table does.
    virtual bool hasTextView(std::size_t /*column*/) const { return false; }
    virtual std::optional<std::string_view> textView(std::size_t /*row*/, std::size_t /*column*/) const {
        return std::nullopt;
    }

    // The column's index by name, letter case ignored as Jet ignores it; nullopt when there is none.
    std::optional<std::size_t> findColumn(std::string_view name) const;
};

class Catalog {
public:
    virtual ~Catalog() = default;
    // The table by name (letter case ignored), or null when the source has no such table.
    virtual std::shared_ptr<const Table> table(std::string_view name) = 0;
};

}  // namespace ado::sql
