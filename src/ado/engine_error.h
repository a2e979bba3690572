#pragma once
// The engine's failures: a Chinese message without a trailing full stop, shown to the user as it is.
#include <stdexcept>

namespace ado {

class EngineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace ado
