// schema FILE [TABLE]: table definitions as CREATE TABLE statements with Access's type names.
#include <string>

#include "commands/bank_file.h"
#include "commands/commands.h"

namespace tool {
namespace {

std::string bracketed(std::string_view name) { return "[" + std::string(name) + "]"; }

std::string typeText(const jet::ColumnDef& column, int version)
{
    std::string text(jet::columnTypeName(column.type));
    if (column.type == jet::ColumnType::Text) {
        unsigned characters = version >= 4 ? column.size / 2u : column.size;  // Jet 4 stores UTF-16 lengths
        text += " (" + std::to_string(characters) + ")";
    } else if (column.type == jet::ColumnType::Numeric) {
        text += " (" + std::to_string(column.precision) + ", " + std::to_string(column.scale) + ")";
    }
    if (column.autoNumber)
        text += " AutoNumber";
    if (!(column.flags & jet::column_flags::Nullable))
        text += " NOT NULL";
    return text;
}

std::string columnName(const jet::TableDef& table, std::uint16_t number)
{
    for (const auto& column : table.columns)
        if (column.number == number)
            return column.name;
    return "#" + std::to_string(number);
}

void writeTable(OutputBuffer& out, const jet::TableDef& table, int version)
{
    out.put("-- " + table.name + ": " + std::to_string(table.rowCount) + " rows\n");
    out.put("CREATE TABLE " + bracketed(table.name) + " (\n");
    std::vector<std::string> lines;
    for (const auto& column : table.columns)
        lines.push_back("  " + bracketed(column.name) + " " + typeText(column, version));
    for (const auto& index : table.indexes) {
        if (!index.primary)
            continue;
        std::string key = "  PRIMARY KEY (";
        for (std::size_t i = 0; i < index.columns.size(); ++i)
            key += (i ? ", " : "") + bracketed(columnName(table, index.columns[i].columnNumber));
        lines.push_back(key + ")");
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        out.put(lines[i] + (i + 1 < lines.size() ? ",\n" : "\n"));
    out.put(");\n");
}

}  // namespace

void runSchema(const Arguments& arguments, OutputBuffer& out)
{
    auto database = openForReading(arguments[0]);
    int version = database->header().version;
    if (arguments.size() == 2) {
        writeTable(out, requireTable(*database, arguments[1]), version);
        return;
    }
    bool first = true;
    for (const auto& name : database->tableNames()) {
        if (!first)
            out.put('\n');
        first = false;
        writeTable(out, database->table(name), version);
    }
}

}  // namespace tool
