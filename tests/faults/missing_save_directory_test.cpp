// IMAGES_SAVE_DIRECTORY names a directory that is not there: every picture
// is reported as not saved, nothing is written elsewhere, the program goes on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/fault_scene.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

TEST(MissingSaveDirectory, EachPictureIsReportedAndTheRunGoesOn) {
    ScratchDirectory scratch;
    for (const char* camera : {"good", "missing"}) {
        fs::create_directories(scratch.path() / camera);
        std::ofstream(scratch.path() / camera / "tavomotion.ini") << "IMAGES_SAVE_DIRECTORY pictures\n";
    }
    fs::create_directory(scratch.path() / "good" / "pictures");

    const ProgramRun reference = runProgram(fastSceneFor("20"), scratch.path() / "good");
    const ProgramRun run = runProgram(fastSceneFor("20"), scratch.path() / "missing");

    ASSERT_EQ(reference.exitStatus, 0) << reference.standardError;
    const int pictures = linesStartingWith(reference.standardOutput, "saving grabbed file [pictures/tavo_");
    ASSERT_GE(pictures, 3);
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, withPicturesUnsaved(reference.standardOutput));
    EXPECT_EQ(linesStartingWith(run.standardOutput, "unable to save grabbed file [pictures/tavo_"), pictures);
    EXPECT_TRUE(run.standardOutput.ends_with("winmain returning\n"));
    EXPECT_EQ(linesStartingWith(run.standardError, "picture not written: pictures/tavo_"), pictures)
        << run.standardError;
    EXPECT_EQ(namesIn(scratch.path() / "missing"),
              (std::vector<std::string>{"motionimage.pgm", "referenceimage.pgm", "tavomotion.ini"}));
}

}  // namespace
