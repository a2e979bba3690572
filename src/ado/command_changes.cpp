// UPDATE, DELETE and INSERT: the rows they name, worked out from the table's snapshot, written through
// the connection's file writer.
#include <variant>

#include "ado/command.h"
#include "ado/engine_error.h"
#include "ado/sql/error_at.h"
#include "ado/sql/evaluator.h"
#include "ado/sql/parser.h"
#include "ado/table_snapshot.h"
#include "jet/error.h"

namespace ado {
namespace {

struct ChangeRunner {
    Connection& connection;
    const sql::ParameterValues& parameters;

    std::shared_ptr<const TableSnapshot> changeableTable(const sql::TableRef& ref) const {
        if (!connection.hasTable(ref.name)) sql::failAt("找不到输入表或查询“" + ref.name + "”", ref.position);
        auto table = connection.snapshot(ref.name);
        std::string why;
        if (!connection.canWrite(ref.name, &why) || table->rowIds().size() != table->rowCount())
            throw EngineError("不能更改表“" + table->name() + "”：" + (why.empty() ? "它的行在文件中的位置不明" : why));
        return table;
    }

    std::size_t columnOf(const TableSnapshot& table, const std::string& name, std::size_t position) const {
        const auto column = table.findColumn(name);
        if (!column) sql::failAt("表“" + table.name() + "”中没有列“" + name + "”", position);
        return *column;
    }

    static std::vector<jet::Value> cellsOf(const TableSnapshot& table, std::size_t row) {
        std::vector<jet::Value> cells(table.columns().size());
        for (std::size_t c = 0; c < cells.size(); ++c) cells[c] = table.value(row, c);
        return cells;
    }

    std::size_t write(const std::shared_ptr<const TableSnapshot>& table, std::vector<RowWrite>& writes) const {
        if (!writes.empty()) connection.writeRows(table->name(), table, writes);
        return writes.size();
    }

    std::size_t operator()(const sql::SelectStatement&) const {
        throw EngineError("SELECT 语句不更改数据，它的结果要作为结果集打开");
    }

    std::size_t operator()(const sql::UpdateStatement& s) const {
        const auto table = changeableTable(s.table);
        std::vector<std::size_t> columns;
        std::vector<sql::CompiledExpr> values;
        for (const sql::Assignment& assignment : s.assignments) {
            columns.push_back(columnOf(*table, assignment.column, assignment.position));
            values.emplace_back(*assignment.value, table.get(), parameters);
        }
        // Every new value is worked out from the rows as they were before the first is written.
        std::vector<RowWrite> writes;
        for (std::size_t row : sql::selectRows(*table, s.where.get(), parameters)) {
            RowWrite change{SnapshotChange::Kind::Update, table->rowIds()[row], cellsOf(*table, row), {}};
            change.values = change.expected;
            for (std::size_t i = 0; i < columns.size(); ++i) change.values[columns[i]] = values[i].evaluate(row);
            writes.push_back(std::move(change));
        }
        return write(table, writes);
    }

    std::size_t operator()(const sql::DeleteStatement& s) const {
        const auto table = changeableTable(s.table);
        std::vector<RowWrite> writes;
        for (std::size_t row : sql::selectRows(*table, s.where.get(), parameters))
            writes.push_back({SnapshotChange::Kind::Remove, table->rowIds()[row], cellsOf(*table, row), {}});
        return write(table, writes);
    }

    std::size_t operator()(const sql::InsertStatement& s) const {
        const auto table = changeableTable(s.table);
        std::vector<std::size_t> columns;
        if (s.columns.empty()) {
            for (std::size_t c = 0; c < table->columns().size(); ++c) columns.push_back(c);
            if (columns.size() != s.values.size())
                sql::failAt("INSERT 的值的个数（" + std::to_string(s.values.size()) + "）与表“" + table->name() +
                                "”的列数（" + std::to_string(columns.size()) + "）不一致",
                            s.valuesPosition);
        } else {
            for (const sql::InsertColumn& column : s.columns) {
                const std::size_t c = columnOf(*table, column.name, column.position);
                for (std::size_t earlier : columns)
                    if (earlier == c) sql::failAt("INSERT 中列“" + column.name + "”出现了两次", column.position);
                columns.push_back(c);
            }
        }
        RowWrite change{SnapshotChange::Kind::Insert, {}, {}, std::vector<jet::Value>(table->columns().size())};
        for (std::size_t i = 0; i < columns.size(); ++i)
            change.values[columns[i]] = sql::CompiledExpr(*s.values[i], nullptr, parameters).evaluate(0);
        std::vector<RowWrite> writes{std::move(change)};
        return write(table, writes);
    }
};

}  // namespace

std::size_t Command::executeChange() {
    if (!connection_) throw EngineError("命令还没有连接到数据库");
    const sql::Statement statement = sql::parseStatement(text_);
    sql::ParameterValues values;
    values.reserve(parameters_.size());
    for (const auto& parameter : parameters_) values.push_back(parameter.value);
    sql::requireParameterValues(sql::parametersOf(statement), values);
    try {
        return std::visit(ChangeRunner{*connection_, values}, statement);
    } catch (const jet::Error& e) {
        throw EngineError(e.what());
    }
}

}  // namespace ado
