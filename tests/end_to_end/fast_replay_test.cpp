// A recording replayed with --fast: decoded ahead on threads, yet the same
// console text and the same pictures on every run.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "support/program_runner.h"
#include "support/scratch_directory.h"
#include "support/shared_data.h"

namespace {

using testing_support::runProgram;
using testing_support::ScratchDirectory;
namespace fs = std::filesystem;

std::map<std::string, std::string> picturesIn(const ScratchDirectory& directory) {
    std::map<std::string, std::string> pictures;
    for (const auto& entry : fs::directory_iterator(directory.path())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("tavo_", 0) == 0) pictures[name] = directory.read(name);
    }
    return pictures;
}

TEST(FastReplay, TwoRunsOfARecordingPrintAndSaveTheSame) {
    if (!testing_support::requireSharedData("traffic/road_topdown_20s.mp4")) return;
    const std::string clip = testing_support::sharedDataPath("traffic/road_topdown_20s.mp4");
    const std::vector<std::string> arguments{"0", "--source", clip, "--fast", "--headless"};
    ScratchDirectory first;
    const auto one = runProgram(arguments, first.path());
    ScratchDirectory second;
    const auto two = runProgram(arguments, second.path());
    ASSERT_EQ(one.exitStatus, 0) << one.standardError;
    ASSERT_EQ(two.exitStatus, 0) << two.standardError;
    EXPECT_EQ(one.standardOutput, two.standardOutput);
    EXPECT_NE(one.standardOutput.find("saving grabbed file [tavo_1.bmp]"), std::string::npos);
    EXPECT_EQ(picturesIn(first), picturesIn(second));
    EXPECT_EQ(first.read("motionimage.pgm"), second.read("motionimage.pgm"));
}

}  // namespace
