#pragma once
// The file-format layer's failure: a message in Chinese that names the file and the problem.
#include <stdexcept>
#include <string>

namespace jet {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace jet
