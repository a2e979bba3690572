#pragma once
// A command that could not do its work: exit code 1, the message naming the file and the problem.
#include <filesystem>
#include <stdexcept>
#include <string>

namespace tool {

class Failure : public std::runtime_error {
public:
    Failure(const std::filesystem::path& file, const std::string& what)
        : std::runtime_error(file.string() + ": " + what)
    {
    }
};

}  // namespace tool
