// new FILE: an empty bank, never over an existing file.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include "cli/failure.h"
#include "commands/commands.h"
#include "jet/create/bank_builder.h"

namespace tool {

void runNew(const Arguments& arguments, OutputBuffer&)
{
    std::filesystem::path file = arguments[0];
    // The builder renames its finished file over the path; claiming the name first with O_EXCL makes
    // sure that what it replaces is our own empty placeholder and never a file that turned up meanwhile.
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) {
        if (errno == EEXIST)
            throw Failure(file, "already exists; 'new' never overwrites a file");
        throw Failure(file, std::string("cannot be created: ") + std::strerror(errno));
    }
    ::close(fd);
    try {
        jet::BankBuilder::create(file).finish();
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
        throw;
    }
}

}  // namespace tool
