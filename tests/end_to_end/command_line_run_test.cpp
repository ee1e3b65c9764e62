// How the program starts and ends, from its command line.
#include <gtest/gtest.h>

#include <string>

#include "support/program_runner.h"
#include "support/scratch_directory.h"

namespace {

using testing_support::runProgram;
using testing_support::ScratchDirectory;

TEST(CommandLineRun, AnEmptySlotPrintsTheFourLinesAndEndsWith255) {
    ScratchDirectory scratch;
    const auto run = runProgram({"7", "--fast", "--headless"}, scratch.path());
    EXPECT_EQ(run.exitStatus, 255);
    EXPECT_EQ(run.standardOutput,
              "command line [7 --fast --headless]\n"
              "Camera Index [7]\n"
              "band 1 top 74 2 top 84 3 top 134col 1 8 2 83 3 158 4 233 5 309\n"
              "reading ini file\n"
              "main\n"
              "cols 1 8 col5 309 xnorm 163\n"
              "startx 81 endx 228 starty 50 endy 116\n"
              "Set Driver Index 7\n"
              "Index 7  devicename []\n"
              "connecting to camera\n"
              "camera not connected!!!\n");
}

TEST(CommandLineRun, ASourceThatCannotBeOpenedIsNamedOnStandardError) {
    ScratchDirectory scratch;
    const auto run = runProgram({"2", "--source", "missing.mp4", "--fast", "--headless"}, scratch.path());
    EXPECT_EQ(run.exitStatus, 255);
    EXPECT_NE(run.standardError.find("missing.mp4"), std::string::npos);
    EXPECT_NE(run.standardOutput.find(
                  "Index 2  devicename [missing.mp4]\nconnecting to camera\ncamera not connected!!!\n"),
              std::string::npos);
}

TEST(CommandLineRun, BadArgumentsAreUsageErrorsBeforeAnythingElse) {
    ScratchDirectory scratch;
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"--fats"},
                                               {"12", "--source", "synthetic"},
                                               {"0", "--source", "rtsp://127.0.0.1/x", "--fast"},
                                               {"0", "--run-for", "later"},
                                               {"0", "stray"},
                                               {"0", "--source", "synthetic:1:fog"}}) {
        const auto run = runProgram(arguments, scratch.path());
        EXPECT_EQ(run.exitStatus, 2) << arguments[0];
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_NE(run.standardError.find("usage: tavomotion"), std::string::npos);
    }
}

TEST(CommandLineRun, HelpAndVersionSucceed) {
    ScratchDirectory scratch;
    const auto help = runProgram({"--help"}, scratch.path());
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.standardOutput.find("--snapshot FILE.png"), std::string::npos);
    const auto version = runProgram({"--version"}, scratch.path());
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.standardOutput.rfind("tavomotion ", 0), 0u);
}

TEST(CommandLineRun, ASnapshotIsWrittenWhenTheProgramEnds) {
    ScratchDirectory scratch;
    const auto run = runProgram(
        {"0", "--source", "synthetic:3:frames=100", "--fast", "--headless", "--snapshot", "window.png"},
        scratch.path());
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(scratch.read("window.png").substr(1, 3), "PNG");
}

}  // namespace
