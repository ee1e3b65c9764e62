#pragma once
#include <string>

namespace app {

// Reads tavomotion.ini from the working directory: comments, the mode, the
// save directory and the cap; echoes the rest of every line it reads from.
// An error text for a value that cannot be used (the run must not start).
std::string readConfigFile();

}  // namespace app
