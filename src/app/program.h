#pragma once
#include <string>
#include <vector>

namespace app {

// The whole program for the given arguments (without the program's name):
// options checked, drivers installed, then the run. Returns the exit status.
int runProgram(const std::vector<std::string>& arguments);

}  // namespace app
