// tessarin-bank: makes, fills and reads question banks from the command line.
#include <cstdio>
#include <exception>
#include <string>
#include <unistd.h>

#include "cli/command_entry.h"
#include "cli/failure.h"
#include "cli/help_text.h"
#include "cli/usage_error.h"
#include "output/output_buffer.h"

namespace {

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

bool isHelp(const std::string& argument) { return argument == "--help" || argument == "-h"; }

void printTo(std::FILE* stream, const std::string& text) { std::fputs(text.c_str(), stream); }

// A message from the layers below names the file already, as a rule; where it does not, the file
// argument goes in front so that the line always says which file failed.
std::string failureLine(const std::string& command, const tool::Arguments& arguments, const std::string& message,
                        bool ownMessage)
{
    std::string line = "tessarin-bank " + command + ": ";
    if (!ownMessage && !arguments.empty() && message.find(arguments.front()) == std::string::npos)
        line += arguments.front() + ": ";
    return line + message + "\n";
}

int run(int argc, char** argv)
{
    if (argc < 2) {
        printTo(stderr, tool::toolHelp());
        return exitUsage;
    }
    std::string name = argv[1];
    if (isHelp(name)) {
        printTo(stdout, tool::toolHelp());
        return 0;
    }
    const tool::CommandEntry* entry = tool::findCommand(name);
    if (!entry) {
        printTo(stderr, "tessarin-bank: unknown command '" + name + "'; try 'tessarin-bank --help'\n");
        return exitUsage;
    }
    tool::Arguments arguments(argv + 2, argv + argc);
    for (const auto& argument : arguments) {
        if (isHelp(argument)) {
            printTo(stdout, tool::commandHelp(*entry));
            return 0;
        }
    }
    try {
        // The tool takes no options; sql's statement may begin with anything, though.
        for (std::size_t i = 0; i < arguments.size(); ++i)
            if (arguments[i].size() > 1 && arguments[i][0] == '-' && !(entry->name == "sql" && i == 1))
                throw tool::UsageError("unknown option '" + arguments[i] + "'");
        if (arguments.size() < entry->minArguments || arguments.size() > entry->maxArguments)
            throw tool::UsageError(arguments.size() < entry->minArguments ? "missing arguments" : "too many arguments");
        tool::OutputBuffer out(STDOUT_FILENO);
        entry->run(arguments, out);
        out.flush();
        return 0;
    } catch (const tool::UsageError& e) {
        printTo(stderr, "tessarin-bank " + name + ": " + e.what() + "\n" + tool::usageLine(*entry) +
                            "Try 'tessarin-bank " + name + " --help'.\n");
        return exitUsage;
    } catch (const tool::Failure& e) {
        printTo(stderr, failureLine(name, arguments, e.what(), true));
    } catch (const std::exception& e) {  // jet::Error, ado::EngineError, output and memory failures
        printTo(stderr, failureLine(name, arguments, e.what(), false));
    }
    return exitFailure;
}

}  // namespace

int main(int argc, char** argv) { return run(argc, argv); }
