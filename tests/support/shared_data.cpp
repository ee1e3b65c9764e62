#include "support/shared_data.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace testing_support {

std::string sharedDataPath(const std::string& relative) {
    return std::string(TAVO_DATA_DIR) + "/" + relative;
}

void requireSharedData(const std::string& relative) {
    const std::string path = sharedDataPath(relative);
    std::error_code error;
    if (std::filesystem::exists(path, error)) return;
    const char* required = std::getenv("TAVO_REQUIRE_SHARED_DATA");
    const std::string missing =
        "needs " + path + ", which is not there (the shared data beside the repository)";
    if (required != nullptr && std::string_view(required) == "1") {
        FAIL() << missing << "; TAVO_REQUIRE_SHARED_DATA=1 makes that a failure";
    }
    GTEST_SKIP() << missing;
}

}  // namespace testing_support
