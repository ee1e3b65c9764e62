// Contact-sheet captions take the picture log's time (or, for a recording,
// its position) for the pictures it has as saved, the newest line winning,
// the part moved aside read too.
#include "app/contact_sheet/logged_times.h"

#include <gtest/gtest.h>

#include "app/contact_sheet/caption_text.h"
#include "support/scratch_directory.h"

namespace {

using namespace app;

TEST(LoggedTimes, SavedPicturesGetTheirLoggedTimeInTheirCaption) {
    testing_support::ScratchDirectory scratch;
    const std::string header =
        "number,file,time,position,mode,window_difference,black_value,window_covered,"
        "full_size,outcome\n";
    scratch.write("tavomotion-pictures.csv.1",
                  header +
                      "1,\"a,b/tavo_1.bmp\",2026-12-07T23:59:58.001+01:00,,any,1,2,,,saved\n"
                      "2,a/tavo_2.bmp,2026-12-07T23:59:59.500-05:00,,any,1,2,,,saved\n");
    scratch.write("tavomotion-pictures.csv",
                  header +
                      "1,a/tavo_1.bmp,2026-12-08T17:05:03.125+01:00,3.5,any,1,2,,,saved\n"
                      "3,a/tavo_3.bmp,2026-12-08T17:05:04.000+01:00,4.0,any,1,2,,,failed: no room\n"
                      "4,a/tavo_4.bmp,yesterday,4.0,any,1,2,,,saved\n");
    const auto times = loggedTimes(scratch.path().string());
    EXPECT_EQ(times, (std::map<std::string, std::string>{{"tavo_1.bmp", "2026-12-08T17:05:03.125+01:00"},
                                                         {"tavo_2.bmp", "2026-12-07T23:59:59.500-05:00"}}));

    TriggerPicture picture{"x/tavo_1.bmp", 1, timespec{0, 0}, times.at("tavo_1.bmp"), ""};
    EXPECT_EQ(captionFor(picture), "tavo_1  2026-12-08 17:05:03");
    EXPECT_TRUE(loggedTimes((scratch.path() / "elsewhere").string()).empty());

    // A replay's pictures: where in the recording, cut to the tenth.
    const auto positions = loggedPositions(scratch.path().string());
    EXPECT_EQ(positions, (std::map<std::string, std::string>{{"tavo_1.bmp", "3.5"}, {"tavo_4.bmp", "4.0"}}));
    picture.loggedPosition = positions.at("tavo_1.bmp");
    EXPECT_EQ(captionFor(picture), "tavo_1  0:03.5");
    picture.loggedPosition = "74.987";
    EXPECT_EQ(captionFor(picture), "tavo_1  1:14.9");
    picture.loggedPosition = "3725.000";
    EXPECT_EQ(captionFor(picture), "tavo_1  1:02:05.0");
}

}  // namespace
