#include <array>

#include "cli/command_entry.h"
#include "commands/commands.h"

namespace tool {
namespace {

constexpr std::array entries{
    CommandEntry{"new", "FILE", 1, 1, "create a new empty question bank",
                "Creates FILE as a new Access 2000 (Jet 4) bank holding the table tiku with the columns\n"
                "ID (AutoNumber, primary key) and 题目 (Memo) and no rows. An existing FILE is never\n"
                "overwritten.\n",
                runNew},
    CommandEntry{"import", "FILE TEXTFILE", 2, 2, "fill an empty bank with the questions of a text file",
                "Reads TEXTFILE (UTF-8, one question a line) into the table tiku of FILE, which must be a\n"
                "bank made by 'new' that holds no questions yet. Inside a question, \\n stands for a line\n"
                "break and \\\\ for a backslash; any other backslash is an error. Empty lines are skipped,\n"
                "a line's trailing carriage return and a leading byte-order mark are dropped. A line that\n"
                "is not valid UTF-8 stops the import with its line number, and FILE is left as it was:\n"
                "the new file replaces FILE only once it is complete. A progress bar goes to standard\n"
                "error when that is a terminal.\n",
                runImport},
    CommandEntry{"tables", "FILE", 1, 1, "list the user tables",
                "Prints the names of FILE's user tables, one a line, in catalog order.\n", runTables},
    CommandEntry{"schema", "FILE [TABLE]", 1, 2, "show table definitions",
                "Prints the definition of TABLE, or of every user table, as CREATE TABLE statements with\n"
                "Access's type names, the primary key and the number of rows.\n",
                runSchema},
    CommandEntry{"count", "FILE TABLE", 2, 2, "count the rows of a table",
                "Prints the number of rows of TABLE, counted by reading them.\n", runCount},
    CommandEntry{"export", "FILE TABLE", 2, 2, "print a table as JSON Lines",
                "Prints every row of TABLE as one JSON object a line, the column names as keys in column\n"
                "order. Text is a string; Byte, Integer, Long, Single, Double, Currency and Decimal are\n"
                "numbers; Yes/No is true or false; Date/Time is \"YYYY-MM-DDTHH:MM:SS\"; a GUID is\n"
                "\"{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}\"; binary and OLE data are base64; Null is null.\n",
                runExport},
    CommandEntry{"sql", "FILE STATEMENT", 2, 2, "run one statement through the engine",
                "Runs STATEMENT against FILE through the program's database engine. A SELECT prints its\n"
                "result as JSON Lines, like 'export'. UPDATE t SET c = expr [, ...] [WHERE ...],\n"
                "DELETE FROM t [WHERE ...] and INSERT INTO t [(c, ...)] VALUES (...) change the rows of one\n"
                "table through the same writer as the program, and print the number of rows changed.\n"
                "Each row is written whole or not at all (a write cut off is put back at the next open);\n"
                "a row that another program changed meanwhile is not overwritten and stops the statement,\n"
                "the rows before it staying changed. When the engine rejects the statement its message\n"
                "goes to standard error and the exit code is 1. Examples:\n"
                "  tessarin-bank sql data.mdb 'select 题目 from tiku where InStr(1,LCase(题目),LCase(\"abc\"),0)<>0'\n"
                "  tessarin-bank sql data.mdb 'update tiku set 题目 = \"新的题目\" where ID = 3'\n",
                runSql},
    CommandEntry{"check", "FILE [TABLE]", 1, 2, "check that rows and indexes agree",
                "Checks TABLE, or every user table: every index entry points at a live row with that key,\n"
                "every row is in every index, and the stored row count is right. Prints \"consistent\" and\n"
                "exits with 0, or names the first inconsistency on standard error and exits with 1 (also\n"
                "when a cut-off write has not been put back yet). Indexes whose keys the writer does not\n"
                "keep (text keys, for one) are not checked; each is named on a \"not checked\" line.\n"
                "The file is only read.\n",
                runCheck},
};

}  // namespace

std::span<const CommandEntry> commandEntries() { return entries; }

const CommandEntry* findCommand(std::string_view name)
{
    for (const auto& entry : entries)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

}  // namespace tool
