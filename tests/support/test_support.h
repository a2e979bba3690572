#pragma once
// Helpers shared by the test programs: the fixtures folder, temporary folders, running commands.
#include <filesystem>
#include <string>

namespace testing_support {

// The folder of real Access files, or an empty path when it is absent.
std::filesystem::path fixturesDir();

// A fresh empty folder under the system's temporary folder, removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Copies a fixture into dir and returns the copy's path (fixtures are never written in place).
std::filesystem::path copyFixture(const std::string& name, const std::filesystem::path& dir);

struct CommandResult {
    int exitCode = -1;
    std::string out;
};
// Runs a shell command and returns its exit code and standard output.
CommandResult runCommand(const std::string& command);

// Quotes a text for the shell.
std::string shellQuote(const std::string& text);

// Whether a command is on the search path, and whether the npm reader mdb-reader is installed.
bool haveCommand(const std::string& name);
bool haveMdbReader();

// A file's whole contents, to compare a file before and after a refused change.
std::string fileBytes(const std::filesystem::path& path);

// The source and build folders of the project.
std::filesystem::path sourceDir();
std::filesystem::path binaryDir();

}  // namespace testing_support

// Skips the current test with a clear message when the fixtures folder is absent.
#define TESSARIN_REQUIRE_FIXTURES()                                                              \
    do {                                                                                         \
        if (::testing_support::fixturesDir().empty())                                            \
            GTEST_SKIP() << "the folder of real Access files (" TESSARIN_FIXTURES_DIR ") is absent"; \
    } while (0)
