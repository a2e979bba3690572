#pragma once
// The application title, derived from the executable's file name.
#include <string>
#include <string_view>

namespace vcl {

// The longest title in bytes.
inline constexpr std::size_t kMaxTitleBytes = 255;

// The title for an executable path: the folder dropped, the name cut at its first full stop, every
// character after the first lower-cased (LOOKUP.EXE gives Lookup, Quiz.Tool.exe gives Quiz, lookup stays
// lookup). The scans run over whole characters of the UTF-8 text; the result is at most kMaxTitleBytes long.
std::string titleFromExecutablePath(std::string_view path);

// The file name of the running executable, with its folder.
std::string runningExecutablePath();

}  // namespace vcl
