// The working directory on a read-only file system: the diagnostic images
// cannot be written, the program says so and watches on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/fault_scene.h"
#include "support/private_mount.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

const std::string motionAnnouncement = "saving motion detect window as pgm";
const std::string motionFailure = "Unable to open file motionimage.pgm  for saving";
const std::string referenceAnnouncement = "saving reference image as pgm";
const std::string referenceFailure = "Unable to open file referenceimage.pgm  for saving";

// The working directory bound read-only onto itself.
PrivateMount readOnlyWorkingDirectory() {
    return privateMount("mount --bind \"$PWD\" \"$PWD\"\nmount -o remount,bind,ro \"$PWD\"");
}

// `root`/work holding the configuration, `root`/pictures beside it.
fs::path preparedCamera(const fs::path& root, const std::string& configuration) {
    fs::create_directories(root / "work");
    fs::create_directories(root / "pictures");
    std::ofstream(root / "work" / "tavomotion.ini") << configuration;
    return root / "work";
}

std::string withDiagnosticImagesUnsaved(const std::string& trace) {
    return withLineAfterEach(withLineAfterEach(trace, motionAnnouncement, motionFailure),
                             referenceAnnouncement, referenceFailure);
}

TEST(ReadOnlyWorkingDirectory, DiagnosticImagesAreReportedAndThePicturesStillSaved) {
    const PrivateMount mount = readOnlyWorkingDirectory();
    if (mount.wrapper.empty()) GTEST_SKIP() << mount.unavailable;
    ScratchDirectory scratch;
    const std::string configuration = "IMAGES_SAVE_DIRECTORY ../pictures\n";
    const fs::path good = preparedCamera(scratch.path() / "good", configuration);
    const fs::path readOnly = preparedCamera(scratch.path() / "read-only", configuration);

    const ProgramRun reference = runProgram(fastSceneFor("20"), good);
    RunConditions conditions;
    conditions.wrapper = mount.wrapper;
    const ProgramRun run = runProgram(fastSceneFor("20"), readOnly, conditions);

    ASSERT_EQ(reference.exitStatus, 0) << reference.standardError;
    ASSERT_GE(linesStartingWith(reference.standardOutput, "saving grabbed file"), 3);
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, withDiagnosticImagesUnsaved(reference.standardOutput));
    EXPECT_TRUE(run.standardOutput.ends_with("winmain returning\n"));
    EXPECT_NE(run.standardError.find("Read-only file system"), std::string::npos) << run.standardError;
    EXPECT_EQ(namesIn(readOnly), std::vector<std::string>{"tavomotion.ini"});
    const auto pictures = namesIn(scratch.path() / "good" / "pictures");
    ASSERT_EQ(namesIn(scratch.path() / "read-only" / "pictures"), pictures);
    for (const std::string& name : pictures) {
        EXPECT_EQ(fileContent(scratch.path() / "read-only" / "pictures" / name),
                  fileContent(scratch.path() / "good" / "pictures" / name))
            << name;
    }
}

TEST(ReadOnlyWorkingDirectory, WithThePicturesThereTooEachIsReported) {
    const PrivateMount mount = readOnlyWorkingDirectory();
    if (mount.wrapper.empty()) GTEST_SKIP() << mount.unavailable;
    ScratchDirectory scratch;
    const fs::path good = preparedCamera(scratch.path() / "good", "");
    const fs::path readOnly = preparedCamera(scratch.path() / "read-only", "");

    const ProgramRun reference = runProgram(fastSceneFor("20"), good);
    RunConditions conditions;
    conditions.wrapper = mount.wrapper;
    const ProgramRun run = runProgram(fastSceneFor("20"), readOnly, conditions);

    ASSERT_EQ(reference.exitStatus, 0) << reference.standardError;
    ASSERT_GE(linesStartingWith(reference.standardOutput, "saving grabbed file [tavo_"), 3);
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, withPicturesUnsaved(withDiagnosticImagesUnsaved(reference.standardOutput)));
    EXPECT_TRUE(run.standardOutput.ends_with("winmain returning\n"));
    EXPECT_EQ(namesIn(readOnly), std::vector<std::string>{"tavomotion.ini"});
}

}  // namespace
