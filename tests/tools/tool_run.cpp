#include "tool_run.h"

#include <fstream>
#include <sstream>

#include "support/test_support.h"

namespace tool_test {

ToolResult runTool(const std::vector<std::string>& arguments)
{
    testing_support::TempDir scratch;
    std::string command = testing_support::shellQuote(TESSARIN_BANK_TOOL);
    for (const auto& argument : arguments)
        command += " " + testing_support::shellQuote(argument);
    auto errFile = scratch / "stderr";
    command += " </dev/null 2>" + testing_support::shellQuote(errFile.string());
    auto result = testing_support::runCommand(command);
    return {result.exitCode, result.out, readFile(errFile)};
}

std::string readFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const std::filesystem::path& file, const std::string& content)
{
    std::ofstream(file, std::ios::binary) << content;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        result.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

}  // namespace tool_test
