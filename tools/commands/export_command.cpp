// export FILE TABLE: every row as JSON Lines, streamed from the file.
#include "commands/bank_file.h"
#include "commands/commands.h"
#include "output/json_row_writer.h"

namespace tool {

void runExport(const Arguments& arguments, OutputBuffer& out)
{
    auto database = openForReading(arguments[0]);
    const jet::TableDef& table = requireTable(*database, arguments[1]);
    std::vector<OutputColumn> columns;
    for (const auto& column : table.columns)
        columns.push_back({column.name, column.type});
    JsonRowWriter writer(columns);
    jet::TableReader reader = database->read(table);
    std::vector<jet::Value> row;
    while (reader.next(row))
        writer.write(out, row);
}

}  // namespace tool
