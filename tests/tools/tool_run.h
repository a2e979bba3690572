#pragma once
// Runs the built tessarin-bank with arguments and collects what it printed and its exit code.
#include <filesystem>
#include <string>
#include <vector>

namespace tool_test {

struct ToolResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Each argument is quoted for the shell; stdin is empty.
ToolResult runTool(const std::vector<std::string>& arguments);

std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& content);
std::vector<std::string> lines(const std::string& text);

}  // namespace tool_test
