#include "ado/sql/table.h"

#include "ado/sql/text.h"

namespace ado::sql {

std::optional<std::size_t> Table::findColumn(std::string_view name) const {
    const std::vector<ColumnInfo>& all = columns();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (compareText(all[i].name, name) == 0) return i;
    return std::nullopt;
}

}  // namespace ado::sql
