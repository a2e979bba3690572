// sql FILE STATEMENT: one statement through the engine, its result as JSON Lines, or for a statement
// that changes rows, how many it changed.
#include <string>
#include <variant>

#include "ado/command.h"
#include "ado/connection.h"
#include "ado/sql/parser.h"
#include "cli/failure.h"
#include "commands/commands.h"
#include "output/json_row_writer.h"

namespace tool {
namespace {

// The program's own connection string with the file as Data Source, quoted so that blanks and
// semicolons in the path stay part of it.
std::string connectionStringFor(const std::string& file)
{
    std::string quoted = "\"";
    for (char c : file) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    quoted += '"';
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + quoted + ";Persist Security Info=False";
}

}  // namespace

void runSql(const Arguments& arguments, OutputBuffer& out)
{
    const std::string& file = arguments[0];
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        throw Failure(file, "no such file");
    ado::Command command;
    command.setConnection(ado::Connection::open(connectionStringFor(file)));
    command.setText(arguments[1]);
    if (!std::holds_alternative<ado::sql::SelectStatement>(ado::sql::parseStatement(arguments[1]))) {
        out.number(command.executeChange());
        out.put('\n');
        return;
    }
    std::unique_ptr<ado::Recordset> result = command.execute();

    std::vector<OutputColumn> columns;
    for (std::size_t f = 0; f < result->fieldCount(); ++f)
        columns.push_back({result->fieldName(f), result->fieldType(f)});
    JsonRowWriter writer(columns);
    for (std::size_t row = 0; row < result->recordCount(); ++row) {
        if (columns.empty()) {
            out.put("{}\n");
            continue;
        }
        writer.writeEach(out, [&](std::size_t f) { return result->value(row, f); });
    }
}

}  // namespace tool
