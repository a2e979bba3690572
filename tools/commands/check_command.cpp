// check FILE [TABLE]: whether rows and indexes agree, as the writer keeps them; the file is only read.
#include <system_error>

#include "cli/failure.h"
#include "commands/bank_file.h"
#include "commands/commands.h"
#include "jet/write/bank_check.h"
#include "jet/write/page_journal.h"

namespace tool {

void runCheck(const Arguments& arguments, OutputBuffer& out)
{
    const std::filesystem::path file = arguments[0];
    auto database = openForReading(file);
    std::vector<std::string> tables;
    if (arguments.size() > 1)
        tables.push_back(requireTable(*database, arguments[1]).name);
    else
        tables = database->tableNames();

    // A journal left beside the bank means a write was cut off: the next writer or the program puts it
    // back, and until then the pages may be half-written.
    std::error_code ec;
    if (std::filesystem::exists(jet::journalPathFor(file), ec))
        throw Failure(file, "a write was cut off and has not been put back yet (" +
                                jet::journalPathFor(file).filename().string() + " is still there)");

    for (const std::string& table : tables) {
        std::vector<std::string> skipped;
        const std::vector<std::string> problems = jet::checkTable(file, table, &skipped);
        if (!problems.empty())
            throw Failure(file, "table " + table + ": " + problems.front());
        for (const std::string& index : skipped) {
            out.put("not checked: index " + index + " of table " + table + " (its keys are of a kind the writer does not keep)\n");
        }
    }
    out.put("consistent\n");
}

}  // namespace tool
