// The lamp channels of the watched window, read from the colour picture,
// which is stored bottom-up and mirrored against the gray image.
#include "analysis/every_vehicle/watched_pixels.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

using analysis::everyvehicle::Displacement;
using analysis::everyvehicle::GrayFrame;
using analysis::everyvehicle::WatchedPixels;

constexpr int width = 4;
constexpr int height = 2;

struct ColourFrame {
    std::array<std::uint8_t, width * height> gray{};
    std::array<std::uint8_t, width * height * 3> bgr{};

    // Gray (row, column) is colour pixel number last - (row * width + column).
    void set(int row, int column, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
        std::uint8_t* pixel = bgr.data() + 3 * (width * height - 1 - (row * width + column));
        pixel[0] = blue;
        pixel[1] = green;
        pixel[2] = red;
    }
    GrayFrame frame() const { return {gray.data(), width, height, bgr.data()}; }
};

TEST(WatchedPixels, BrightestChannelAndRedLampsFollowTheMirroredColourPicturePastItsBorder) {
    ColourFrame picture;
    picture.set(0, 1, 60, 50, 40);
    picture.set(0, 2, 90, 30, 40);
    picture.set(0, 3, 10, 20, 200);  // a tail lamp
    picture.set(1, 1, 5, 6, 7);
    picture.set(1, 2, 70, 81, 160);  // red, but not twice as red
    picture.set(1, 3, 20, 10, 40);   // just twice as red
    const analysis::Rectangle window{0, 2, 2, 4};
    WatchedPixels pixels;

    analysis::everyvehicle::extractWatchedPixels(picture.frame(), window, pixels);
    EXPECT_EQ(pixels.brightest, (std::vector<std::uint8_t>{90, 200, 160, 40}));
    EXPECT_EQ(pixels.red, (std::vector<std::uint8_t>{0, 1, 0, 1}));

    // A sway of a column to the right: the last column repeats.
    analysis::everyvehicle::extractAlignedPixels(picture.frame(), window, Displacement{0, 1}, pixels);
    EXPECT_EQ(pixels.brightest, (std::vector<std::uint8_t>{200, 200, 40, 40}));
    EXPECT_EQ(pixels.red, (std::vector<std::uint8_t>{1, 1, 1, 1}));

    // A row up and a column to the left, inside the picture: the second row.
    analysis::everyvehicle::extractAlignedPixels(picture.frame(), window, Displacement{1, -1}, pixels);
    EXPECT_EQ(pixels.brightest, (std::vector<std::uint8_t>{7, 160, 7, 160}));
    EXPECT_EQ(pixels.red, (std::vector<std::uint8_t>{0, 0, 0, 0}));

    // Without a colour picture there are no lamp channels.
    analysis::everyvehicle::extractWatchedPixels({picture.gray.data(), width, height}, window, pixels);
    EXPECT_TRUE(pixels.brightest.empty());
    EXPECT_TRUE(pixels.red.empty());
}

}  // namespace
