#pragma once
#include <cstddef>

namespace testing_support {

// Calls of operator new in this process so far.
std::size_t allocationsSoFar();

}  // namespace testing_support
