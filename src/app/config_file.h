#pragma once

namespace app {

// Reads tavomotion.ini from the working directory: comments, the mode, the
// save directory and the cap; echoes the rest of every line it reads from.
void readConfigFile();

}  // namespace app
