// The every-vehicle mode as a user runs it: a line when the empty scene is
// learnt, one per picture, nothing per frame; each picture whole and named
// like every other; the key and the option the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "support/program_runner.h"
#include "support/scratch_directory.h"

namespace {

using testing_support::runProgram;
using testing_support::ScratchDirectory;
namespace fs = std::filesystem;

std::vector<std::string> linesMatching(const std::string& text, const std::regex& pattern) {
    std::vector<std::string> found;
    for (std::sregex_iterator match(text.begin(), text.end(), pattern), end; match != end; ++match) {
        found.push_back(match->str());
    }
    return found;
}

TEST(EveryVehicleRun, ALineALearningAndAPictureAndEveryPictureWhole) {
    const std::vector<std::string> arguments{"0",          "--source",  "synthetic:7", "--fast",
                                             "--headless", "--run-for", "120"};
    ScratchDirectory byOption;
    fs::create_directory(byOption.path() / "pictures");
    byOption.write("tavomotion.ini", "IMAGES_SAVE_DIRECTORY pictures\n");
    std::vector<std::string> withOption = arguments;
    withOption.push_back("--every-vehicle");
    const auto run = runProgram(withOption, byOption.path());
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;

    const std::string& console = run.standardOutput;
    EXPECT_EQ(
        linesMatching(console, std::regex("every vehicle: empty scene learnt at [0-9.]+ s, noise [0-9.]+, "
                                          "threshold [0-9.]+\n"))
            .size(),
        1u);
    const auto pictureLines = linesMatching(
        console,
        std::regex("every vehicle: picture ([0-9]+) \\[pictures/tavo_\\1\\.bmp\\] at [0-9.]+ s, [0-9]+ % "
                   "of the window covered\n"));
    int pictures = 0;
    for (const auto& entry : fs::directory_iterator(byOption.path() / "pictures")) {
        if (entry.path().extension() == ".csv") continue;  // the traffic survey's log and counts
        ++pictures;
        EXPECT_EQ(fs::file_size(entry.path()), 54u + 320 * 240 * 3) << entry.path();
    }
    EXPECT_GE(pictures, 5);
    EXPECT_EQ(static_cast<int>(pictureLines.size()), pictures);
    // After start-up: the empty scene learnt and written, the pictures, the end.
    const std::string watching = console.substr(console.find("saving motion detect window as pgm\n"));
    EXPECT_EQ(std::count(watching.begin(), watching.end(), '\n'), 1 + 2 + pictures + 1) << watching;
    EXPECT_TRUE(console.ends_with("winmain returning\n"));
    EXPECT_TRUE(fs::exists(byOption.path() / "motionimage.pgm"));
    EXPECT_EQ(fs::file_size(byOption.path() / "referenceimage.pgm"), 16u + 320 * 240);

    ScratchDirectory byKey;
    fs::create_directory(byKey.path() / "pictures");
    byKey.write("tavomotion.ini", "IMAGES_SAVE_DIRECTORY pictures\nEVERY_VEHICLE\n");
    const auto keyed = runProgram(arguments, byKey.path());
    ASSERT_EQ(keyed.exitStatus, 0) << keyed.standardError;
    EXPECT_NE(keyed.standardOutput.find("every vehicle flagged\n"), std::string::npos);
    EXPECT_EQ(pictureLines,
              linesMatching(keyed.standardOutput, std::regex("every vehicle: picture [^\n]*\n")));
    for (int number = 0; number < pictures; ++number) {
        const std::string name = "pictures/tavo_" + std::to_string(number) + ".bmp";
        EXPECT_EQ(byOption.read(name), byKey.read(name)) << name;
    }
}

}  // namespace
