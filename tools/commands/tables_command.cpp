// tables FILE: the user tables' names.
#include "commands/bank_file.h"
#include "commands/commands.h"

namespace tool {

void runTables(const Arguments& arguments, OutputBuffer& out)
{
    auto database = openForReading(arguments[0]);
    for (const auto& name : database->tableNames()) {
        out.put(name);
        out.put('\n');
    }
}

}  // namespace tool
