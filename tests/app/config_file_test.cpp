#include "app/config_file.h"

#include <gtest/gtest.h>

#include <string>

#include "app/app_state.h"
#include "app/mqtt_settings.h"
#include "platform/clock/clock.h"
#include "support/program_fixture.h"
#include "support/scratch_directory.h"

namespace {

using testing_support::ProgramTest;
using testing_support::ScratchDirectory;

class ConfigFileTest : public ProgramTest {
protected:
    // Reads `content` as tavomotion.ini; returns the console text.
    std::string readConfig(const std::string& content) {
        scratch.write("tavomotion.ini", content);
        app::readConfigFile();
        return takeConsole();
    }
    ScratchDirectory scratch;
};

TEST_F(ConfigFileTest, NoFileKeepsTheDefaults) {
    app::readConfigFile();
    EXPECT_EQ(takeConsole(), "reading ini file\n");
    EXPECT_EQ(app::triggerOnAnyMotion, 1);
    EXPECT_STREQ(app::imagesSaveDirectory, "");
    EXPECT_EQ(app::imagesNumberToSave, 0);
}

TEST_F(ConfigFileTest, EveryKeyWithItsLine) {
    EXPECT_EQ(
        readConfig("DETECT_CARS_ONLY\nIMAGES_SAVE_DIRECTORY pictures\nIMAGES_NUMBER_TO_SAVE 12\n"),
        "reading ini file\ncar detection flagged\nSaving images in pictures\nSaving 12 images maximum\n");
    EXPECT_EQ(app::triggerOnAnyMotion, 0);
    EXPECT_STREQ(app::imagesSaveDirectory, "pictures");
    EXPECT_EQ(app::imagesNumberToSave, 12);
    EXPECT_EQ(readConfig("PICTURE_LOG\nFULL_SIZE_PICTURES\n"),
              "reading ini file\npicture log flagged\nfull size pictures flagged\n");
    EXPECT_EQ(app::pictureLogKept, 1);
    EXPECT_EQ(app::fullSizePictures, 1);
}

TEST_F(ConfigFileTest, TheBrokerAndTheCameraNameGiveWayToTheCommandLine) {
    EXPECT_EQ(readConfig("MQTT mqtt://broker.example:1884 # the yard's\nCAMERA_NAME gate\n"),
              "reading ini file\nMQTT broker mqtt://broker.example:1884\n # the yard'scamera name gate\n");
    const app::MqttRequest fromFile = app::withConfigFile({});
    EXPECT_EQ(fromFile.url, "mqtt://broker.example:1884");
    EXPECT_EQ(fromFile.cameraName, "gate");
    app::MqttRequest commandLine;
    commandLine.url = "mqtts://other.example";
    EXPECT_EQ(app::withConfigFile(commandLine).url, "mqtts://other.example");
    EXPECT_EQ(app::withConfigFile(commandLine).cameraName, "gate");
}

TEST_F(ConfigFileTest, TheRoomToKeepFreeIsReadUnlessTheCommandLineGaveIt) {
    EXPECT_EQ(readConfig("KEEP_FREE_SPACE 512M for a year\n"),
              "reading ini file\nKeeping 512M free\n for a year");
    EXPECT_EQ(app::keepFreeBytes, std::int64_t{512} << 20);
    app::keepFreeBytes = 1024;
    readConfig("KEEP_FREE_SPACE 2G\n");
    EXPECT_EQ(app::keepFreeBytes, 1024);
    scratch.write("tavomotion.ini", "KEEP_FREE_SPACE lots\nPICTURE_LOG\n");
    EXPECT_EQ(app::readConfigFile(),
              "KEEP_FREE_SPACE in tavomotion.ini needs a size such as 500M or 2G, not 'lots'");
    EXPECT_EQ(app::pictureLogKept, 0) << "reading goes no further";
}

TEST_F(ConfigFileTest, ALoneHashEchoesFromTheBlankAfterIt) {
    const std::int64_t before = platform::clock::nowNanoseconds();
    EXPECT_EQ(readConfig("# a comment\n"), "reading ini file\ncomment in ini file\n a comment");
    // One millisecond for each echoed character.
    EXPECT_EQ(platform::clock::nowNanoseconds() - before, 10'000'000);
}

TEST_F(ConfigFileTest, AHashJoinedToAWordEchoesWhatFollowsThatWord) {
    EXPECT_EQ(readConfig("#comment DETECT_CARS_ONLY\n"),
              "reading ini file\ncomment in ini file\n DETECT_CARS_ONLY");
    EXPECT_EQ(app::triggerOnAnyMotion, 1);
}

TEST_F(ConfigFileTest, ARemarkAfterAValueIsEchoedNotRead) {
    EXPECT_EQ(readConfig("IMAGES_NUMBER_TO_SAVE 100 # keep a hundred\n"),
              "reading ini file\nSaving 100 images maximum\n # keep a hundred");
    EXPECT_EQ(app::imagesNumberToSave, 100);
}

TEST_F(ConfigFileTest, TwoKeysOnOneLineApplyOnlyTheFirst) {
    EXPECT_EQ(readConfig("DETECT_CARS_ONLY IMAGES_NUMBER_TO_SAVE 5\n"),
              "reading ini file\ncar detection flagged\n IMAGES_NUMBER_TO_SAVE 5");
    EXPECT_EQ(app::imagesNumberToSave, 0);
}

TEST_F(ConfigFileTest, KeysInAnotherLetterCaseAreIgnoredAndEchoed) {
    EXPECT_EQ(readConfig("detect_cars_only now\n"), "reading ini file\n now");
    EXPECT_EQ(app::triggerOnAnyMotion, 1);
}

TEST_F(ConfigFileTest, NoFinalLineEndEndsTheEchoAtTheEndOfTheFile) {
    EXPECT_EQ(readConfig("IMAGES_SAVE_DIRECTORY d tail"), "reading ini file\nSaving images in d\n tail");
}

TEST_F(ConfigFileTest, ANonNumberKeepsTheCapAndTheEchoStartsThere) {
    app::imagesNumberToSave = 3;
    EXPECT_EQ(readConfig("IMAGES_NUMBER_TO_SAVE lots\n"), "reading ini file\nSaving 3 images maximum\nlots");
    EXPECT_EQ(app::imagesNumberToSave, 3);
}

TEST_F(ConfigFileTest, AValueKeyAsTheLastTokenKeepsTheValueAndStillPrints) {
    EXPECT_EQ(readConfig("IMAGES_SAVE_DIRECTORY first\nIMAGES_SAVE_DIRECTORY"),
              "reading ini file\nSaving images in first\nSaving images in first\n");
    EXPECT_STREQ(app::imagesSaveDirectory, "first");
}

TEST_F(ConfigFileTest, ACarriageReturnEndsTheEchoAndItsLineFeedIsSkipped) {
    EXPECT_EQ(readConfig("# one\r\nDETECT_CARS_ONLY\r\n"),
              "reading ini file\ncomment in ini file\n onecar detection flagged\n");
}

TEST_F(ConfigFileTest, AByteOf255EndsTheEchoLikeTheEndOfTheFile) {
    // The rest of that line, "cd", is then read as a token of its own.
    EXPECT_EQ(readConfig("# ab\xff"
                         "cd\nDETECT_CARS_ONLY\n"),
              "reading ini file\ncomment in ini file\n abcar detection flagged\n");
    EXPECT_EQ(app::triggerOnAnyMotion, 0);
}

TEST_F(ConfigFileTest, OverLongTokensAreCutNeverOverrun) {
    const std::string longWord(600, 'w');
    const std::string longDirectory(250, 'd');
    EXPECT_EQ(readConfig(longWord + "\nIMAGES_SAVE_DIRECTORY " + longDirectory + "\n"),
              "reading ini file\n" + std::string(101, 'w') + "Saving images in " + std::string(199, 'd') +
                  "\n" + std::string(51, 'd'));
    EXPECT_EQ(std::string(app::imagesSaveDirectory), std::string(199, 'd'));
}

}  // namespace
