#pragma once
// Data the tests read from beside the repository (../shared/data), which a
// clone of the repository alone does not have.
#include <string>

namespace testing_support {

// Where `relative` lies in the shared data folder.
std::string sharedDataPath(const std::string& relative);

// Whether `relative` is in the shared data folder. When it is not, the running
// test is skipped, naming what is missing, or failed instead when the
// environment variable TAVO_REQUIRE_SHARED_DATA is 1, as in CI, so missing
// data cannot pass unnoticed there. Skipping and failing only mark the test:
// the caller must return at once when this answers false.
[[nodiscard]] bool requireSharedData(const std::string& relative);

}  // namespace testing_support
