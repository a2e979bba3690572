#pragma once
// The help texts of the tool and of each command.
#include <string>

#include "cli/command_spec.h"

namespace tool {

std::string toolHelp();
std::string commandHelp(const CommandSpec& spec);
std::string usageLine(const CommandSpec& spec);

}  // namespace tool
