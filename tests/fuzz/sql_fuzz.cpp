// Fuzzes the SQL layer: random statements are read, and SELECTs run against two small tables in
// memory. Whatever the input, the only failure allowed is ado::EngineError: no crash, no hang, no other
// exception. Inputs are cut at 8 KiB: text functions may take time in the product of their operands'
// lengths, which says nothing about robustness.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "../ado/sql_test_table.h"
#include "ado/engine_error.h"
#include "ado/sql/executor.h"
#include "ado/sql/parser.h"
#include "ado/sql/search_shape.h"

namespace {

sql_test::MemoryCatalog makeCatalog() {
    using jet::ColumnType;
    using jet::Value;
    sql_test::MemoryCatalog catalog;
    catalog.add(sql_test::bank({"What is the CAPITAL of France?", "法国的首都是哪里？", "ＡＢＣ ΣΑΣ Москва", "", std::nullopt,
                                "it's \"10:30\" 😀"}));
    catalog.add(std::make_shared<sql_test::MemoryTable>(
        "t",
        std::vector<ado::sql::ColumnInfo>{{"n", ColumnType::Long}, {"d", ColumnType::Double}, {"b", ColumnType::Boolean},
                                          {"c", ColumnType::Currency}, {"w", ColumnType::DateTime}, {"g", ColumnType::Guid},
                                          {"o", ColumnType::OLE}, {"s", ColumnType::Text}},
        std::vector<std::vector<Value>>{
            {Value(std::int64_t{INT64_MIN}), Value(-0.0), Value(true), Value(jet::Currency{-12345}),
             Value(jet::DateTime{45000.75}), Value(jet::Guid{}), Value(jet::Bytes{"\xff\x00x"}), Value(std::string("x"))},
            {Value(std::int64_t{7}), Value(1e308), Value(false), Value(jet::Currency{INT64_MAX}),
             Value(jet::DateTime{-700000.5}), Value(), Value(), Value()},
            {Value(), Value(), Value(), Value(), Value(), Value(), Value(), Value(std::string("Ab"))},
        },
        false));
    return catalog;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static sql_test::MemoryCatalog catalog = makeCatalog();
    const std::string_view statement(reinterpret_cast<const char*>(data), size < 8192 ? size : 8192);
    try {
        ado::sql::Statement parsed = ado::sql::parseStatement(statement);
        auto* select = std::get_if<ado::sql::SelectStatement>(&parsed);
        if (!select) return 0;
        if (select->where) (void)ado::sql::matchSearchShape(*select->where);
        // Every second marker gets a value; the others test the missing-value message.
        ado::sql::ParameterValues values;
        for (std::size_t i = 0; i < select->parameters.count(); ++i)
            values.push_back(i % 2 == 0 ? std::optional<jet::Value>(jet::Value(std::string("Ab"))) : std::nullopt);
        const ado::sql::Result result = ado::sql::execute(*select, catalog, values);
        for (std::size_t row = 0; row < result.rowCount(); ++row)
            for (std::size_t column = 0; column < result.columns.size(); ++column) (void)result.value(row, column);
        ado::sql::ParameterValues all(select->parameters.count(), jet::Value(std::int64_t{1}));
        (void)ado::sql::execute(*select, catalog, all);
    } catch (const ado::EngineError&) {
    }
    return 0;
}
