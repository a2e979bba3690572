#include "ado/connection_catalog.h"

#include "ado/table_snapshot.h"

namespace ado {

std::shared_ptr<const sql::Table> ConnectionCatalog::table(std::string_view name) {
    if (!connection_.hasTable(name)) return nullptr;  // the executor names the missing table
    return connection_.snapshot(name);
}

}  // namespace ado
