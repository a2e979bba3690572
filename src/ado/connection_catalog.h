#pragma once
// The executor's view of a connection: tables by name, read through the connection's snapshot cache.
#include "ado/connection.h"
#include "ado/sql/table.h"

namespace ado {

class ConnectionCatalog final : public sql::Catalog {
public:
    explicit ConnectionCatalog(Connection& connection) : connection_(connection) {}
    std::shared_ptr<const sql::Table> table(std::string_view name) override;

private:
    Connection& connection_;
};

}  // namespace ado
