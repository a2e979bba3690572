#pragma once
// The frame around the program's block, as the platform provides it: before the block the Qt application
// and the application object are made; a failure that escapes the block is shown in the start-up failure
// box and ends the program with exit code 1; afterwards everything is released.
#include <exception>
#include <functional>
#include <string>

namespace vcl {

// Runs block and returns its exit code, or 1 after a failure escaped it. A display that cannot be opened
// ends the process at once with a one-line message on standard error and exit code 1. Where a Qt
// application exists already (a test program), it is used as it is.
int RunProgram(int& argc, char** argv, const std::function<int()>& block);

// The start-up failure box for a failure that escaped the program's block; returns the exit code, 1.
int ShowStartupFailure(std::exception_ptr failure);

// The start-up failure box's text for the failure, raised in the module of the given file name.
std::string startupFailureTextFor(std::exception_ptr failure, const std::string& moduleName);

}  // namespace vcl
