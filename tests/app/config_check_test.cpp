#include "app/config_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using app::configFileMistakes;
using app::nearestConfigKey;

TEST(ConfigCheck, RemarksCommentsAndProseAreNoMistakes) {
    EXPECT_EQ(configFileMistakes("# a comment with IMAGES_SAVE_DIRECTROY in it\n"
                                 "IMAGES_SAVE_DIRECTORY pics   # where they go\n"
                                 "IMAGES_NUMBER_TO_SAVE -1 no cap\n"
                                 "DETECT_CARS_ONLY EVERY_VEHICEL is echoed, never read\n"
                                 "Camera on the gate post\r\n"
                                 "#IMAGES_SAVE_DIRECTORY old\n"
                                 "KEEP_FREE_SPACE 2G\n"
                                 "CAMERA_FOOT 0,0\n"),
              std::vector<std::string>{});
}

TEST(ConfigCheck, TheMistakesOfAFileWithTheirLines) {
    EXPECT_EQ(
        configFileMistakes("EVERY_VEHICEL\n"
                           "\n"
                           "IMAGES_NUMBER_TO_SAVE 10abc\n"
                           "MQTT=mqtt://broker\n"
                           "IMAGES_SAVE_DIRECTORY\n"
                           "PICTURE_LOG\n"
                           "Mqtt mqtt://broker\n"
                           "IMAGES_SAVE_DIRECTORY \"my pictures\"\n"
                           "COUNT_MINUTES"),
        (std::vector<std::string>{
            "tavomotion.ini line 1: unknown key EVERY_VEHICEL is ignored; did you mean EVERY_VEHICLE?",
            "tavomotion.ini line 3: IMAGES_NUMBER_TO_SAVE needs a whole number, not '10abc'; it is read as "
            "10",
            "tavomotion.ini line 4: 'MQTT=mqtt://broker' is not read: put a blank, not '=', between MQTT "
            "and its value",
            "tavomotion.ini line 5: IMAGES_SAVE_DIRECTORY has no value on its line; 'PICTURE_LOG' of line 6 "
            "is taken for it",
            "tavomotion.ini line 7: unknown key Mqtt is ignored; did you mean MQTT?",
            "tavomotion.ini line 8: IMAGES_SAVE_DIRECTORY takes one word: '\"my pictures\"' is read as "
            "'\"my' (a directory with a blank in its name cannot be used)",
            "tavomotion.ini line 9: COUNT_MINUTES has no value"}));
}

TEST(ConfigCheck, TheNearestKeyOfAMisspelling) {
    EXPECT_EQ(nearestConfigKey("IMAGES_SAVE_DIRECTROY"), "IMAGES_SAVE_DIRECTORY");
    EXPECT_EQ(nearestConfigKey("IMAGE_NUMBER_TO_SAVE"), "IMAGES_NUMBER_TO_SAVE");
    EXPECT_EQ(nearestConfigKey("detect_cars_only"), "DETECT_CARS_ONLY");
    EXPECT_EQ(nearestConfigKey("CARS_ONLY"), "DETECT_CARS_ONLY");
    EXPECT_EQ(nearestConfigKey("FULL_SIZE"), "FULL_SIZE_PICTURES");
    EXPECT_EQ(nearestConfigKey("SPEED_LIMIT"), "");
}

}  // namespace
