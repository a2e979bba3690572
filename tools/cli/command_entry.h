#pragma once
// The tool's commands: name, arguments, help text and the function that runs them.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "output/output_buffer.h"

namespace tool {

using Arguments = std::vector<std::string>;

struct CommandEntry {
    std::string_view name;
    std::string_view arguments;  // as the usage line shows them: "FILE TABLE"
    std::size_t minArguments;
    std::size_t maxArguments;
    std::string_view summary;    // one line for the tool's help
    std::string_view details;    // the rest of the command's own help
    void (*run)(const Arguments& arguments, OutputBuffer& out);
};

// Every command, in the order the help lists them.
std::span<const CommandEntry> commandEntries();
const CommandEntry* findCommand(std::string_view name);

}  // namespace tool
