#pragma once
// The help texts of the tool and of each command.
#include <string>

#include "cli/command_entry.h"

namespace tool {

std::string toolHelp();
std::string commandHelp(const CommandEntry& entry);
std::string usageLine(const CommandEntry& entry);

}  // namespace tool
