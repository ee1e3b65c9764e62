// How the aiming picture follows a filter graph back to the source's frame.
#include "app/aim/filter_geometry.h"

#include <gtest/gtest.h>

namespace {

using app::aim::Box;
using app::aim::geometryOf;
using app::aim::onSource;

void expectBox(const Box& found, const Box& wanted) {
    EXPECT_NEAR(found.left, wanted.left, 1e-9);
    EXPECT_NEAR(found.top, wanted.top, 1e-9);
    EXPECT_NEAR(found.right, wanted.right, 1e-9);
    EXPECT_NEAR(found.bottom, wanted.bottom, 1e-9);
}

TEST(FilterGeometry, TurnsFlipsScalesAndCropsAreFollowedBackToTheSource) {
    std::string reason;
    const Box box{10, 20, 30, 60};
    // Turned clockwise, the output's x runs up the source and its y along it.
    auto turned = geometryOf("transpose=clock", 640, 360, 2, reason);
    ASSERT_TRUE(turned) << reason;
    EXPECT_EQ(turned->outWidth(), 360);
    EXPECT_EQ(turned->outHeight(), 640);
    expectBox(onSource(*turned, box), {20, 330, 60, 350});
    expectBox(onSource(*geometryOf("transpose=dir=cclock", 640, 360, 2, reason), box), {580, 10, 620, 30});
    expectBox(onSource(*geometryOf("transpose=cclock_flip", 640, 360, 2, reason), box), {20, 10, 60, 30});
    expectBox(onSource(*geometryOf("transpose=3", 640, 360, 2, reason), box), {580, 330, 620, 350});
    expectBox(onSource(*geometryOf("hflip,vflip", 640, 360, 2, reason), box), {610, 300, 630, 340});

    auto chain = geometryOf("crop=w=320:h=240:x=100:y=50,scale=160:-1", 640, 360, 2, reason);
    ASSERT_TRUE(chain) << reason;
    EXPECT_EQ(chain->outWidth(), 160);
    EXPECT_EQ(chain->outHeight(), 120);
    expectBox(onSource(*chain, box), {120, 90, 160, 170});
    EXPECT_EQ(geometryOf("scale=-2:240", 640, 360, 2, reason)->outWidth(), 426);
    EXPECT_EQ(geometryOf("scale=-1:240", 640, 360, 2, reason)->outWidth(), 427);
}

TEST(FilterGeometry, ACropIsPlacedAsFfmpegPlacesIt) {
    std::string reason;
    // Kept inside the frame, and on 4:2:0 video on even places unless exact.
    const auto outside = geometryOf("crop=400:300:120:81", 640, 360, 2, reason);
    ASSERT_TRUE(outside) << reason;
    EXPECT_EQ(outside->steps[0].y, 60);
    EXPECT_EQ(outside->steps[0].askedY, 81);
    const auto odd = geometryOf("crop=400:300:121:41", 640, 360, 2, reason);
    EXPECT_EQ(odd->steps[0].x, 120);
    EXPECT_EQ(odd->steps[0].y, 40);
    EXPECT_EQ(geometryOf("crop=400:300:121:41", 640, 360, 1, reason)->steps[0].x, 121);
    EXPECT_EQ(geometryOf("crop=400:300:121:41:exact=1", 640, 360, 2, reason)->steps[0].y, 41);
    EXPECT_EQ(geometryOf("crop=401:301", 640, 360, 2, reason)->outHeight(), 300);
    // Centred when no place is given.
    EXPECT_EQ(geometryOf("crop=480:360", 640, 360, 2, reason)->steps[0].x, 80);

    for (const char* unfollowed :
         {"crop=iw/2:ih", "lenscorrection=k1=0.1", "crop=800:360", "[in]crop=10:10[out]",
          "split[a][b];[a][b]hstack", "transpose=clock:passthrough=landscape"}) {
        EXPECT_FALSE(geometryOf(unfollowed, 640, 360, 2, reason)) << unfollowed;
        EXPECT_FALSE(reason.empty());
    }
}

}  // namespace
