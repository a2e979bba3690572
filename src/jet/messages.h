#pragma once
// Building the file-format layer's failures: every message names the file, then the problem.
#include <filesystem>
#include <string>
#include <string_view>

#include "jet/error.h"

namespace jet::detail {

// "文件“<file>”<problem>", e.g. 文件“data.mdb”已损坏：第 7 页超出文件末尾
std::string fileMessage(const std::filesystem::path& file, std::string_view problem);

[[noreturn]] void throwFileError(const std::filesystem::path& file, std::string_view problem);

// "已损坏：<what>"
[[noreturn]] void throwCorrupt(const std::filesystem::path& file, std::string_view what);

}  // namespace jet::detail
