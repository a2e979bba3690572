#include "support/test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testing_support {

fs::path fixturesDir()
{
    std::error_code ec;
    fs::path dir = TESSARIN_FIXTURES_DIR;
    if (const char* env = std::getenv("TESSARIN_FIXTURES"); env && *env)
        dir = env;
    if (fs::is_directory(dir, ec) && fs::exists(dir / "testV2000.mdb", ec))
        return dir;
    return {};
}

TempDir::TempDir()
{
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("tessarin-test-" + std::to_string(rd()));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

fs::path copyFixture(const std::string& name, const fs::path& dir)
{
    fs::path target = dir / name;
    fs::copy_file(fixturesDir() / name, target, fs::copy_options::overwrite_existing);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
    return target;
}

CommandResult runCommand(const std::string& command)
{
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run: " + command);
    std::array<char, 65536> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.out.append(buffer.data(), n);
    int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string shellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

fs::path sourceDir() { return TESSARIN_SOURCE_DIR; }
fs::path binaryDir() { return TESSARIN_BINARY_DIR; }

bool haveCommand(const std::string& name) { return runCommand("command -v " + name + " >/dev/null 2>&1").exitCode == 0; }

bool haveMdbReader() {
    return haveCommand("node") && std::filesystem::exists(sourceDir() / "tests" / "interop" / "node_modules" / "mdb-reader");
}

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace testing_support
