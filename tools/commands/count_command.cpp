// count FILE TABLE: the number of rows, counted by reading them rather than trusting the stored count.
#include "commands/bank_file.h"
#include "commands/commands.h"

namespace tool {

void runCount(const Arguments& arguments, OutputBuffer& out)
{
    auto database = openForReading(arguments[0]);
    jet::TableReader reader = database->read(requireTable(*database, arguments[1]));
    std::uint64_t rows = 0;
    std::vector<jet::Value> row;
    while (reader.next(row))
        ++rows;
    out.number(rows);
    out.put('\n');
}

}  // namespace tool
