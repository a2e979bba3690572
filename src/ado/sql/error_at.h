#pragma once
// Builds the engine's messages that point at a place in the statement.
#include <cstddef>
#include <string>

#include "ado/engine_error.h"

namespace ado::sql {

// "<what>，位于第 N 个字符"
inline std::string atPosition(const std::string& what, std::size_t position) {
    return what + "，位于第 " + std::to_string(position) + " 个字符";
}

[[noreturn]] inline void failAt(const std::string& what, std::size_t position) {
    throw EngineError(atPosition(what, position));
}

}  // namespace ado::sql
