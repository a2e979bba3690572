// new FILE: an empty bank, never over an existing file.
#include <filesystem>
#include <system_error>

#include "cli/failure.h"
#include "commands/commands.h"
#include "jet/create/bank_builder.h"

namespace tool {

void runNew(const Arguments& arguments, OutputBuffer&)
{
    std::filesystem::path file = arguments[0];
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(file, ec)))
        throw Failure(file, "already exists; 'new' never overwrites a file");
    jet::BankBuilder::create(file).finish();
}

}  // namespace tool
