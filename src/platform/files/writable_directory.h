#pragma once
// Whether pictures can be written into a directory, found out by writing.
#include <string>

namespace platform {

// Empty when a file can be created in `directory` (the working directory
// when empty); otherwise why not. The test file is removed again.
std::string unwritableDirectoryReason(const std::string& directory);

}  // namespace platform
