#include "app/trigger_images.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/app_state.h"
#include "support/connected_program.h"
#include "support/scratch_directory.h"

namespace {

using testing_support::ConnectedProgramTest;
using testing_support::ScratchDirectory;
namespace fs = std::filesystem;

std::string saveTrace(const std::string& name) {
    return "\ngrabbing image\nsaving grabbed file [" + name + "]\nTime taken [0.000000]\n";
}

class TriggerImageTest : public ConnectedProgramTest {
protected:
    void SetUp() override {
        ConnectedProgramTest::SetUp();
        source->add(testing_support::uniformFrame(90));
        acquire();
    }
    ScratchDirectory scratch;
};

TEST_F(TriggerImageTest, WithACapOfTwoFiveSavesCycleThroughThreeNames) {
    fs::create_directory("d");
    std::strcpy(app::imagesSaveDirectory, "d");
    app::imagesNumberToSave = 2;
    for (int i = 0; i < 5; ++i) app::saveTriggerImage();
    EXPECT_EQ(takeConsole(), saveTrace("d/tavo_0.bmp") + saveTrace("d/tavo_1.bmp") +
                                 saveTrace("d/tavo_2.bmp") + saveTrace("d/tavo_0.bmp") +
                                 saveTrace("d/tavo_1.bmp"));
    EXPECT_EQ(app::savedImageIndex, 2);
    for (const char* name : {"d/tavo_0.bmp", "d/tavo_1.bmp", "d/tavo_2.bmp"}) {
        EXPECT_EQ(fs::file_size(name), 54u + 230400u) << name;
    }
    EXPECT_FALSE(fs::exists("d/tavo_3.bmp"));
}

TEST_F(TriggerImageTest, WithoutADirectoryThePicturesGoBesideTheDiagnosticImages) {
    app::saveTriggerImage();
    app::saveTriggerImage();
    EXPECT_EQ(takeConsole(), saveTrace("tavo_0.bmp") + saveTrace("tavo_1.bmp"));
    EXPECT_TRUE(fs::exists("tavo_0.bmp"));
    EXPECT_TRUE(fs::exists("tavo_1.bmp"));
}

TEST_F(TriggerImageTest, ADirectoryEndingInASlashIsJoinedAsFormatted) {
    fs::create_directory("pics");
    std::strcpy(app::imagesSaveDirectory, "pics/");
    app::saveTriggerImage();
    EXPECT_EQ(takeConsole(), saveTrace("pics//tavo_0.bmp"));
    EXPECT_TRUE(fs::exists("pics/tavo_0.bmp"));
}

TEST_F(TriggerImageTest, AMissingDirectoryIsReportedAndTheNumberingGoesOn) {
    std::strcpy(app::imagesSaveDirectory, "absent");
    app::saveTriggerImage();
    EXPECT_EQ(takeConsole(),
              "\ngrabbing image\nsaving grabbed file [absent/tavo_0.bmp]\n"
              "unable to save grabbed file [absent/tavo_0.bmp]\nTime taken [0.000000]\n");
    EXPECT_EQ(app::picturesSaved, 0);
    fs::create_directory("absent");
    app::saveTriggerImage();
    EXPECT_EQ(takeConsole(), saveTrace("absent/tavo_1.bmp"));
    EXPECT_TRUE(fs::exists("absent/tavo_1.bmp"));
    EXPECT_EQ(app::picturesSaved, 1);
}

TEST_F(TriggerImageTest, OverLongNamesAreCutToTheirBuffer) {
    const std::string longDirectory(150, 'x');
    std::strcpy(app::imagesSaveDirectory, longDirectory.c_str());
    EXPECT_EQ(app::triggerImageName(0), longDirectory.substr(0, 99));
    std::strcpy(app::imagesSaveDirectory, std::string(90, 'y').c_str());
    EXPECT_EQ(app::triggerImageName(12), std::string(90, 'y') + "/tavo_12.");
}

void touch(const std::string& name, std::int64_t secondsAgo) {
    std::ofstream(name) << "x";
    const auto when = fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo);
    fs::last_write_time(name, when);
}

TEST(ImageNumbering, WithoutACapItResumesAfterTheHighestPicture) {
    ScratchDirectory scratch;
    EXPECT_EQ(app::firstFreeImageNumber("", 0), 0);
    touch("tavo_7.bmp", 10);
    touch("tavo_3.bmp", 1);
    touch("tavo_x.bmp", 1);
    touch("tavo_07.bmp", 1);
    touch("other_99.bmp", 1);
    EXPECT_EQ(app::firstFreeImageNumber("", 0), 8);
    EXPECT_EQ(app::firstFreeImageNumber("", -4), 8);
}

TEST(ImageNumbering, WithACapItResumesAfterTheNewestPictureOfTheRing) {
    ScratchDirectory scratch;
    fs::create_directory("ring");
    touch("ring/tavo_0.bmp", 30);
    touch("ring/tavo_1.bmp", 20);
    touch("ring/tavo_2.bmp", 40);
    touch("ring/tavo_9.bmp", 1);  // outside a ring of 0..2: ignored
    EXPECT_EQ(app::firstFreeImageNumber("ring", 2), 2);
    touch("ring/tavo_2.bmp", 5);
    EXPECT_EQ(app::firstFreeImageNumber("ring", 2), 0) << "after the last name of the ring comes 0";
    EXPECT_EQ(app::firstFreeImageNumber("missing", 2), 0);
}

TEST(ImageNumbering, EqualTimesGoToTheHigherNumber) {
    ScratchDirectory scratch;
    touch("tavo_4.bmp", 10);
    touch("tavo_5.bmp", 10);
    fs::last_write_time("tavo_4.bmp", fs::last_write_time("tavo_5.bmp"));
    EXPECT_EQ(app::firstFreeImageNumber("", 9), 6);
}

}  // namespace
