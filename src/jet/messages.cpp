#include "jet/messages.h"

namespace jet::detail {

std::string fileMessage(const std::filesystem::path& file, std::string_view problem) {
    std::string message = "文件“";
    message += file.string();
    message += "”";
    message += problem;
    return message;
}

void throwFileError(const std::filesystem::path& file, std::string_view problem) {
    throw Error(fileMessage(file, problem));
}

void throwCorrupt(const std::filesystem::path& file, std::string_view what) {
    std::string problem = "已损坏：";
    problem += what;
    throwFileError(file, problem);
}

}  // namespace jet::detail
