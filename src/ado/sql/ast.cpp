#include "ado/sql/ast.h"

namespace ado::sql {

const Parameters& parametersOf(const Statement& statement) {
    return std::visit([](const auto& s) -> const Parameters& { return s.parameters; }, statement);
}

}  // namespace ado::sql
