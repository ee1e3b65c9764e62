// The event log: CSV as RFC 4180 has it, a header on a new file, one line per
// picture, and a ring's log kept from growing without end.
#include "app/picture_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/app_state.h"
#include "support/layer_resets.h"
#include "support/scratch_directory.h"

namespace {

using namespace app;
namespace fs = std::filesystem;

PictureRecord recordOf(std::int32_t number, const std::string& file) {
    PictureRecord record;
    record.number = number;
    record.file = file;
    record.time = "2026-12-08T17:05:03.125+01:00";
    record.positionNanoseconds = 12'345'999'999;
    record.mode = "cars";
    record.windowDifference = 14262;
    record.blackValue = 2;
    record.outcome = "failed: pics/x: No space left on device";
    return record;
}

TEST(PictureLog, FieldsNeedingQuotesAreQuotedAndReadBackWhole) {
    EXPECT_EQ(csvField("tavo_3.bmp"), "tavo_3.bmp");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField(" padded"), "\" padded\"");
    const std::vector<std::string> fields{"1", "dir,with \"comma\"/tavo_1.bmp", "", "two\nlines", " x "};
    EXPECT_EQ(csvFields(csvLine(fields)), fields);
}

TEST(PictureLog, NewLogStartsWithItsHeaderAndEachPictureAddsOneLine) {
    testing_support::resetUpperLayers();
    testing_support::ScratchDirectory scratch;
    fs::create_directory("pics,night");
    std::strcpy(imagesSaveDirectory, "pics,night");
    logPicture(recordOf(7, "pics,night/tavo_7.bmp"));
    PictureRecord live = recordOf(8, "pics,night/tavo_8.bmp");
    live.positionNanoseconds.reset();
    live.outcome = "saved";
    logPicture(live);

    std::ifstream log("pics,night/tavomotion-pictures.csv");
    std::string header, first, second, more;
    std::getline(log, header);
    std::getline(log, first);
    std::getline(log, second);
    EXPECT_FALSE(std::getline(log, more));
    EXPECT_EQ(
        header,
        "number,file,time,position,mode,window_difference,black_value,window_covered,full_size,outcome");
    EXPECT_EQ(
        csvFields(first),
        (std::vector<std::string>{"7", "pics,night/tavo_7.bmp", "2026-12-08T17:05:03.125+01:00", "12.345",
                                  "cars", "14262", "2", "", "", "failed: pics/x: No space left on device"}));
    EXPECT_EQ(csvFields(second)[3], "");
    EXPECT_EQ(csvFields(second)[9], "saved");
    testing_support::resetUpperLayers();
}

TEST(PictureLog, WithACapTheFullLogMovesAsideAndWithoutOneItGrows) {
    testing_support::resetUpperLayers();
    testing_support::ScratchDirectory scratch;
    const std::string nearlyFull(pictureLogRotateBytes - 10, 'x');
    scratch.write("tavomotion-pictures.csv", nearlyFull);
    logPicture(recordOf(1, "tavo_1.bmp"));
    EXPECT_FALSE(fs::exists("tavomotion-pictures.csv.1"));
    EXPECT_GT(fs::file_size("tavomotion-pictures.csv"), nearlyFull.size());

    imagesNumberToSave = 5;
    scratch.write("tavomotion-pictures.csv", nearlyFull);
    logPicture(recordOf(2, "tavo_2.bmp"));
    EXPECT_EQ(scratch.read("tavomotion-pictures.csv.1"), nearlyFull);
    const std::string fresh = scratch.read("tavomotion-pictures.csv");
    EXPECT_EQ(fresh.rfind("number,file,", 0), 0u);
    EXPECT_NE(fresh.find("\n2,tavo_2.bmp,"), std::string::npos);
    testing_support::resetUpperLayers();
}

TEST(PictureLog, TimesAreLocalWithMillisecondsAndTheOffset) {
    const char* previous = std::getenv("TZ");
    const std::string kept = previous != nullptr ? previous : "";
    setenv("TZ", "IST-5:30", 1);
    tzset();
    EXPECT_EQ(localTimestamp(timespec{86400, 7'999'999}), "1970-01-02T05:30:00.007+05:30");
    setenv("TZ", "XST+3", 1);
    tzset();
    EXPECT_EQ(localTimestamp(timespec{86400, 999'000'000}), "1970-01-01T21:00:00.999-03:00");
    if (previous != nullptr) {
        setenv("TZ", kept.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

}  // namespace
