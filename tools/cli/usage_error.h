#pragma once
// A command line the tool cannot act on (unknown command, wrong number of arguments): exit code 2.
#include <stdexcept>

namespace tool {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace tool
