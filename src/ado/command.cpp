#include "ado/command.h"

#include <variant>

#include "ado/connection_catalog.h"
#include "ado/engine_error.h"
#include "ado/search_filter.h"
#include "ado/sql/parser.h"
#include "ado/table_snapshot.h"
#include "jet/error.h"

namespace ado {

std::vector<Parameter> Command::describeParameters() const {
    const sql::Statement statement = sql::parseStatement(text_);
    std::vector<Parameter> described;
    const std::size_t count = sql::parametersOf(statement).count();
    for (std::size_t i = 0; i < count; ++i) described.push_back(Parameter{"Param" + std::to_string(i + 1), std::nullopt});
    return described;
}

std::unique_ptr<Recordset> Command::execute() {
    if (!connection_) throw EngineError("命令还没有连接到数据库");
    sql::Statement statement = sql::parseStatement(text_);
    auto* select = std::get_if<sql::SelectStatement>(&statement);
    if (!select) throw EngineError("只有 SELECT 语句返回结果集，更改数据的语句不能作为结果集打开");
    sql::ParameterValues values;
    values.reserve(parameters_.size());
    for (const auto& parameter : parameters_) values.push_back(parameter.value);
    ConnectionCatalog catalog(*connection_);
    SearchFilter search(connection_->searchCache());
    try {
        auto recordset = std::make_unique<Recordset>(sql::execute(*select, catalog, values, &search));
        recordset->allowChanges(connection_, select->distinct);
        return recordset;
    } catch (const jet::Error& e) {
        throw EngineError(e.what());
    }
}

}  // namespace ado
