// No room for another picture, on a full file system or over the file-size
// limit: each failed picture is reported, the earlier ones stay whole, no
// picture is left cut short under its final name and no temporary file
// is left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "support/fault_scene.h"
#include "support/private_mount.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

std::map<std::string, std::string> contentsOf(const fs::path& directory) {
    std::map<std::string, std::string> contents;
    for (const std::string& name : namesIn(directory)) contents[name] = fileContent(directory / name);
    return contents;
}

// 75 pages: room for one picture of 57 pages, not for two.
TEST(FullDisk, PicturesAfterTheFirstAreReportedAndTheFirstStaysWhole) {
    ScratchDirectory scratch;
    const fs::path good = preparedCamera(scratch.path() / "good");
    const fs::path full = preparedCamera(scratch.path() / "full");
    fs::create_directory(scratch.path() / "kept");
    const PrivateMount mount = privateMount("mount -t tmpfs -o size=300k tavo-full pictures",
                                            "cp -a pictures/. " + shellQuoted(scratch.path() / "kept") + "/");
    if (mount.wrapper.empty()) GTEST_SKIP() << mount.unavailable;

    const ProgramRun reference = runProgram(fastSceneFor("20"), good);
    RunConditions conditions;
    conditions.wrapper = mount.wrapper;
    const ProgramRun run = runProgram(fastSceneFor("20"), full, conditions);

    ASSERT_EQ(reference.exitStatus, 0) << reference.standardError;
    const int pictures = linesStartingWith(reference.standardOutput, "saving grabbed file");
    ASSERT_GE(pictures, 3);
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, withPicturesUnsaved(reference.standardOutput, 1));
    EXPECT_TRUE(run.standardOutput.ends_with("winmain returning\n"));
    EXPECT_EQ(linesStartingWith(run.standardError, "picture not written: pictures/tavo_"), pictures - 1);
    EXPECT_NE(run.standardError.find("No space left on device"), std::string::npos) << run.standardError;
    EXPECT_EQ(namesIn(scratch.path() / "kept"), std::vector<std::string>{"tavo_0.bmp"});
    EXPECT_EQ(fileContent(scratch.path() / "kept" / "tavo_0.bmp"),
              fileContent(good / "pictures" / "tavo_0.bmp"));
}

// Below one picture, below one diagnostic image too; as root as well.
TEST(FullDisk, OverTheFileSizeLimitEveryNewFileIsReportedAndTheEarlierRunKept) {
    ScratchDirectory scratch;
    const fs::path camera = preparedCamera(scratch.path() / "camera");
    const ProgramRun earlier = runProgram(fastSceneFor("20"), camera);
    ASSERT_EQ(earlier.exitStatus, 0) << earlier.standardError;
    const auto earlierPictures = contentsOf(camera / "pictures");
    ASSERT_GE(earlierPictures.size(), 3u);
    const std::string earlierReference = fileContent(camera / "referenceimage.pgm");
    ASSERT_EQ(earlierReference.size(), 16u + 76800u);

    RunConditions conditions;
    conditions.fileSizeLimit = 50000;
    const ProgramRun run = runProgram(fastSceneFor("20"), camera, conditions);

    EXPECT_EQ(run.signal, 0) << "SIGXFSZ must not end the program";
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_TRUE(run.standardOutput.ends_with("winmain returning\n"));
    const int pictures = linesStartingWith(run.standardOutput, "saving grabbed file");
    EXPECT_GE(pictures, 3);
    EXPECT_EQ(linesStartingWith(run.standardOutput, "unable to save grabbed file"), pictures);
    const std::string firstNew = "saving grabbed file [pictures/tavo_" +
                                 std::to_string(earlierPictures.size()) +
                                 ".bmp]\nunable to save grabbed file [pictures/tavo_" +
                                 std::to_string(earlierPictures.size()) + ".bmp]\n";
    EXPECT_NE(run.standardOutput.find(firstNew), std::string::npos) << "numbered on after the earlier run";
    EXPECT_EQ(linesStartingWith(run.standardOutput, "Unable to open file"), 0) << "the console text is kept";
    EXPECT_NE(run.standardError.find("diagnostic image not written: referenceimage.pgm: File too large"),
              std::string::npos)
        << run.standardError;
    EXPECT_EQ(contentsOf(camera / "pictures"), earlierPictures);
    EXPECT_EQ(fileContent(camera / "referenceimage.pgm"), earlierReference);
    EXPECT_EQ(namesIn(camera), (std::vector<std::string>{"motionimage.pgm", "pictures", "referenceimage.pgm",
                                                         "tavomotion.ini"}));
    EXPECT_TRUE(cutPictures(camera / "pictures").empty());
}

}  // namespace
