// SIGINT and SIGTERM close the program through its normal path: the trace
// ends as after a closed window, status 0, and every picture on disk is whole.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "support/fault_scene.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

struct SignalCase {
    int signal;
    const char* name;
};

class TerminationSignal : public ::testing::TestWithParam<SignalCase> {
protected:
    ProgramRun runUntilSignalled(const std::vector<std::string>& arguments) {
        fs::create_directory(scratch.path() / "pictures");
        std::ofstream(scratch.path() / "tavomotion.ini") << "IMAGES_SAVE_DIRECTORY pictures\n";
        RunConditions conditions;
        conditions.stopAfterSeconds = 1.5;
        conditions.stopSignal = GetParam().signal;
        return runProgram(arguments, scratch.path(), conditions);
    }

    void expectNormalEnd(const ProgramRun& run) {
        EXPECT_EQ(run.signal, 0);
        EXPECT_EQ(run.exitStatus, 0) << run.standardError;
        EXPECT_TRUE(run.standardOutput.ends_with("\nwinmain returning\n")) << run.standardOutput;
        EXPECT_TRUE(cutPictures(scratch.path() / "pictures").empty());
        for (const std::string& name : namesIn(scratch.path() / "pictures")) {
            EXPECT_EQ(name.rfind("tavo_", 0), 0u) << "a temporary file was left: " << name;
        }
    }

    ScratchDirectory scratch;
};

TEST_P(TerminationSignal, OnTheRealClockTheRunEndsNormally) {
    const ProgramRun run =
        runUntilSignalled({"0", "--source", "synthetic:20", "--headless", "--run-for", "600"});
    expectNormalEnd(run);
}

// On the virtual clock pictures are saved many times a second, so the signal
// finds the program anywhere in its cycle, a save included.
TEST_P(TerminationSignal, WhilePicturesAreBeingSavedEveryOneOnDiskIsWhole) {
    const ProgramRun run = runUntilSignalled(fastSceneFor("100000"));
    expectNormalEnd(run);
    EXPECT_GE(namesIn(scratch.path() / "pictures").size(), 1u) << "no picture was saved before the signal";
    EXPECT_EQ(linesStartingWith(run.standardOutput, "unable to save"), 0);
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationSignal,
                         ::testing::Values(SignalCase{SIGINT, "SIGINT"}, SignalCase{SIGTERM, "SIGTERM"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
