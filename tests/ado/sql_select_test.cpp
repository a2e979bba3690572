// SELECT beyond the search: columns and their names, WHERE, DISTINCT, ORDER BY, TOP, parameters and
// the hook through which the engine answers a WHERE itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ado/engine_error.h"
#include "ado/sql/executor.h"
#include "ado/sql/parser.h"
#include "ado/sql/search_shape.h"
#include "sql_test_table.h"

namespace {

using ado::sql::execute;
using ado::sql::parseSelect;
using jet::Value;

// people: name (Text), age (Long), city (Text)
std::shared_ptr<sql_test::MemoryTable> people() {
    using jet::ColumnType;
    auto row = [](std::optional<std::string> name, std::optional<std::int64_t> age, std::optional<std::string> city) {
        return std::vector<Value>{name ? Value(*name) : Value(), age ? Value(*age) : Value(), city ? Value(*city) : Value()};
    };
    return std::make_shared<sql_test::MemoryTable>(
        "people",
        std::vector<ado::sql::ColumnInfo>{{"name", ColumnType::Text}, {"age", ColumnType::Long}, {"city", ColumnType::Text}},
        std::vector<std::vector<Value>>{
            row("ann", 30, "Paris"),    // 0
            row("Bob", 25, "paris"),    // 1
            row("carl", 30, "Rome"),    // 2
            row("Dora", std::nullopt, "rome"),  // 3
            row("eve", 41, std::nullopt),       // 4
            row("Ann", 19, "Oslo"),     // 5
        });
}

struct RowsCase {
    std::string statement;
    std::vector<std::size_t> rows;  // source rows in result order
};

class SelectRows : public ::testing::TestWithParam<RowsCase> {};

TEST_P(SelectRows, AreTheExpectedSourceRowsInOrder) {
    const RowsCase& c = GetParam();
    sql_test::MemoryCatalog catalog;
    catalog.add(people());
    EXPECT_EQ(execute(parseSelect(c.statement), catalog, {}).rows, c.rows) << c.statement;
}

INSTANTIATE_TEST_SUITE_P(
    People, SelectRows,
    ::testing::Values(
        RowsCase{"select * from people", {0, 1, 2, 3, 4, 5}},
        RowsCase{"SELECT name FROM PEOPLE WHERE age > 26", {0, 2, 4}},
        RowsCase{"select name from people where age <= 26 or city = 'ROME'", {1, 2, 3, 5}},
        RowsCase{"select name from people where not (age > 26)", {1, 5}},  // Null age is neither
        RowsCase{"select name from people where age is null", {3}},
        RowsCase{"select name from people where city like 'p*'", {0, 1}},
        RowsCase{"select name from people where age in (19, 41)", {4, 5}},
        RowsCase{"select name from people where age between 20 and 30", {0, 1, 2}},
        RowsCase{"select name from people where name = 'ANN'", {0, 5}},
        RowsCase{"select name from people order by name", {0, 5, 1, 2, 3, 4}},   // stable, case ignored
        RowsCase{"select name from people order by age", {3, 5, 1, 0, 2, 4}},    // Null first
        RowsCase{"select name from people order by age desc, name desc", {4, 2, 0, 1, 5, 3}},
        RowsCase{"select name, age as years from people order by years", {3, 5, 1, 0, 2, 4}},
        RowsCase{"select name from people order by city, age", {4, 5, 1, 0, 3, 2}},
        RowsCase{"select distinct city from people", {0, 2, 4, 5}},               // Paris = paris, Null once
        RowsCase{"select distinct age from people order by age", {3, 5, 1, 0, 4}},
        RowsCase{"select top 2 name from people", {0, 1}},
        RowsCase{"select top 2 name from people order by age desc", {4, 0, 2}},  // ties with the last are kept
        RowsCase{"select top 50 percent name from people", {0, 1, 2}},
        RowsCase{"select top 10 name from people", {0, 1, 2, 3, 4, 5}},
        RowsCase{"select name from people where 1 = 0", {}},
        RowsCase{"select p.name from people as p where p.age = 30", {0, 2}},
        RowsCase{"select name from people p where [p].[age] = 30;", {0, 2}}));

TEST(SelectColumns, NamesTypesAndSources) {
    sql_test::MemoryCatalog catalog;
    catalog.add(people());
    const auto r = execute(parseSelect("select people.*, name as who, age + 1, Len(name), UCase(city) as c, "
                                       "age > 20, Null from people where name = 'ann' and age = 30"),
                           catalog, {});
    ASSERT_EQ(r.columns.size(), 9u);
    const std::vector<std::string> names = {"name", "age", "city", "who", "Expr1000", "Expr1001", "c", "Expr1002", "Expr1003"};
    for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(r.columns[i].name, names[i]);
    EXPECT_EQ(r.columns[3].source, std::optional<std::size_t>(0));
    EXPECT_FALSE(r.columns[4].source);
    EXPECT_EQ(r.columns[4].type, jet::ColumnType::Long);
    EXPECT_EQ(r.columns[6].type, jet::ColumnType::Text);
    EXPECT_EQ(r.columns[7].type, jet::ColumnType::Boolean);
    ASSERT_EQ(r.rowCount(), 1u);
    EXPECT_EQ(r.value(0, 4), Value(std::int64_t{31}));
    EXPECT_EQ(r.value(0, 5), Value(std::int64_t{3}));
    EXPECT_EQ(r.value(0, 6), Value(std::string("PARIS")));
    EXPECT_EQ(r.value(0, 7), Value(true));
    EXPECT_TRUE(jet::isNull(r.value(0, 8)));
}

TEST(SelectParameters, MarkersTakeTheirValuesInOrder) {
    sql_test::MemoryCatalog catalog;
    catalog.add(people());
    const auto r = execute(parseSelect("select name from people where age > ? and city <> ?"), catalog,
                           {Value(std::int64_t{20}), Value(std::string("rome"))});
    EXPECT_EQ(r.rows, (std::vector<std::size_t>{0, 1}));
    const auto none = execute(parseSelect("select name from people where age > ?"), catalog, {Value()});
    EXPECT_TRUE(none.rows.empty());  // a Null parameter compares to Null
}

TEST(SelectParameters, AMissingValueNamesItsMarker) {
    sql_test::MemoryCatalog catalog;
    catalog.add(people());
    const auto statement = parseSelect("select name from people where age > ? and city <> ?");
    for (const auto& values : {ado::sql::ParameterValues{Value(std::int64_t{1})},
                               ado::sql::ParameterValues{Value(std::int64_t{1}), std::nullopt}}) {
        try {
            execute(statement, catalog, values);
            FAIL();
        } catch (const ado::EngineError& e) {
            EXPECT_EQ(std::string(e.what()), "参数标记“?”没有值，位于第 51 个字符");
        }
    }
}

// A filter that answers the search shape by itself, as the engine's fast path does.
class CountingFilter : public ado::sql::RowFilterProvider {
public:
    std::optional<std::vector<std::size_t>> filter(const ado::sql::Table& table, const ado::sql::Expr& where,
                                                   const ado::sql::ParameterValues&) override {
        ++calls;
        const auto shape = ado::sql::matchSearchShape(where);
        if (!shape) return std::nullopt;
        const std::size_t column = *table.findColumn(shape->column.name);
        const std::string needle = ado::sql::lowerCase(std::get<std::string>(shape->text));
        std::vector<std::size_t> rows;
        for (std::size_t r = 0; r < table.rowCount(); ++r)
            if (auto text = table.textView(r, column))
                if (ado::sql::lowerCase(*text).find(needle) != std::string::npos) rows.push_back(r);
        answered = true;
        return rows;
    }
    int calls = 0;
    bool answered = false;
};

TEST(RowFilter, AnswersTheWhereWhenItCan) {
    sql_test::MemoryCatalog catalog;
    catalog.add(people());
    CountingFilter filter;
    const auto r = execute(parseSelect("select name from people where InStr(1,LCase(city),LCase(\"PAR\"),0)<>0"), catalog,
                           {}, &filter);
    EXPECT_TRUE(filter.answered);
    EXPECT_EQ(r.rows, (std::vector<std::size_t>{0, 1}));

    CountingFilter declines;
    const auto other = execute(parseSelect("select name from people where age = 30"), catalog, {}, &declines);
    EXPECT_EQ(declines.calls, 1);
    EXPECT_FALSE(declines.answered);
    EXPECT_EQ(other.rows, (std::vector<std::size_t>{0, 2}));
}

TEST(RowFilter, IsNotAskedWhenTheWhereNamesAnUnknownColumn) {
    sql_test::MemoryCatalog catalog;
    catalog.add(people());
    CountingFilter filter;
    EXPECT_THROW(execute(parseSelect("select name from people where InStr(1,LCase(town),LCase(\"x\"),0)<>0"), catalog, {},
                         &filter),
                 ado::EngineError);
    EXPECT_EQ(filter.calls, 0);
}

struct ShapeCase {
    std::string condition;
    bool matches;
};

class SearchShape : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(SearchShape, RecognisesExactlyTheSearchCondition) {
    const ShapeCase& c = GetParam();
    const auto statement = parseSelect("select * from tiku where " + c.condition);
    EXPECT_EQ(ado::sql::matchSearchShape(*statement.where).has_value(), c.matches) << c.condition;
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, SearchShape,
    ::testing::Values(ShapeCase{"InStr(1,LCase(题目),LCase(\"abc\"),0)<>0", true},
                      ShapeCase{"instr(1, lcase([题目]), lcase('abc'), 0) <> 0", true},
                      ShapeCase{"InStr(1,LCase(题目),LCase(?),0)<>0", true},
                      ShapeCase{"InStr(1,LCase(题目),LCase(\"abc\"),1)<>0", false},
                      ShapeCase{"InStr(2,LCase(题目),LCase(\"abc\"),0)<>0", false},
                      ShapeCase{"InStr(1,UCase(题目),LCase(\"abc\"),0)<>0", false},
                      ShapeCase{"InStr(1,LCase(题目),\"abc\",0)<>0", false},
                      ShapeCase{"InStr(1,LCase(题目),LCase(\"abc\"),0)>0", false},
                      ShapeCase{"InStr(1,LCase(题目),LCase(\"abc\"),0)<>1", false},
                      ShapeCase{"InStr(1,LCase(题目),LCase(1),0)<>0", false},
                      ShapeCase{"InStr(1,LCase(题目 & \"\"),LCase(\"abc\"),0)<>0", false},
                      ShapeCase{"InStr(LCase(题目),LCase(\"abc\"))<>0", false}));

TEST(SearchShapeParts, GivesTheColumnAndTheText) {
    const auto statement = parseSelect("select * from tiku where InStr(1,LCase(tiku.题目),LCase(\"a\"\"b\"),0)<>0");
    const auto shape = ado::sql::matchSearchShape(*statement.where);
    ASSERT_TRUE(shape);
    EXPECT_EQ(shape->column.name, "题目");
    EXPECT_EQ(shape->column.table, "tiku");
    EXPECT_EQ(shape->columnPosition, 40u);  // of the qualifier
    EXPECT_EQ(std::get<std::string>(shape->text), "a\"b");

    const auto marked = parseSelect("select * from tiku where InStr(1,LCase(题目),LCase(?),0)<>0");
    EXPECT_EQ(std::get<ado::sql::ParameterRef>(ado::sql::matchSearchShape(*marked.where)->text).index, 0u);
}

}  // namespace
