#pragma once
// Data the tests read from beside the repository (../shared/data), which a
// clone of the repository alone does not have.
#include <string>

namespace testing_support {

// Where `relative` lies in the shared data folder.
std::string sharedDataPath(const std::string& relative);

// Skips the running test, naming what is missing, when `relative` is not in
// the shared data folder; fails it instead when the environment variable
// TAVO_REQUIRE_SHARED_DATA is 1, as in CI, so missing data cannot pass
// unnoticed there. From SetUp, the test body is then not run.
void requireSharedData(const std::string& relative);

}  // namespace testing_support
