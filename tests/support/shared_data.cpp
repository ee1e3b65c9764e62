#include "support/shared_data.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace testing_support {
namespace {

// Fatal and skip both mark the test; from SetUp they keep its body from running.
void failFor(const std::string& missing) {
    FAIL() << missing << "; TAVO_REQUIRE_SHARED_DATA=1 makes that a failure";
}

void skipFor(const std::string& missing) { GTEST_SKIP() << missing; }

}  // namespace

std::string sharedDataPath(const std::string& relative) {
    return std::string(TAVO_DATA_DIR) + "/" + relative;
}

bool requireSharedData(const std::string& relative) {
    const std::string path = sharedDataPath(relative);
    std::error_code error;
    if (std::filesystem::exists(path, error)) return true;
    const char* required = std::getenv("TAVO_REQUIRE_SHARED_DATA");
    const std::string missing =
        "needs " + path + ", which is not there (the shared data beside the repository)";
    if (required != nullptr && std::string_view(required) == "1") {
        failFor(missing);
    } else {
        skipFor(missing);
    }
    return false;
}

}  // namespace testing_support
