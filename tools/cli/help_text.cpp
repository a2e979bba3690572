#include "cli/help_text.h"

namespace tool {

std::string usageLine(const CommandEntry& entry)
{
    return "usage: tessarin-bank " + std::string(entry.name) + " " + std::string(entry.arguments) + "\n";
}

std::string toolHelp()
{
    std::string text =
        "usage: tessarin-bank COMMAND ARGUMENTS...\n"
        "       tessarin-bank COMMAND --help\n"
        "\n"
        "Makes, fills and reads question banks: Access (.mdb) files with the table tiku.\n"
        "\n"
        "Commands:\n";
    for (const auto& entry : commandEntries()) {
        std::string left = "  " + std::string(entry.name) + " " + std::string(entry.arguments);
        left.resize(std::max<std::size_t>(left.size() + 2, 26), ' ');
        text += left + std::string(entry.summary) + "\n";
    }
    text +=
        "\n"
        "Exit codes: 0 success, 1 failure (the message on standard error names the file), 2 usage error.\n"
        "Only 'new' and 'import' write files, and 'sql' when the statement itself (UPDATE, DELETE,\n"
        "INSERT) changes the bank; every other command leaves the file exactly as it was.\n";
    return text;
}

std::string commandHelp(const CommandEntry& entry)
{
    return usageLine(entry) + "\n" + std::string(entry.details);
}

}  // namespace tool
