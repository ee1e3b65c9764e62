#include "platform/sources/frame_scaler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/sources/frame_source.h"

extern "C" {
#include <libswscale/swscale.h>
}

namespace {

using platform::dibImageBytes;
using platform::dibRowBytes;

constexpr int sourceWidth = 64;
constexpr int sourceHeight = 48;
constexpr std::uint8_t stale = 0xAA;

// A 4:2:0 picture whose rows and columns all differ, so a flipped or shifted
// row shows.
struct PlanarPicture {
    std::vector<std::uint8_t> luma = std::vector<std::uint8_t>(sourceWidth * sourceHeight);
    std::vector<std::uint8_t> blue = std::vector<std::uint8_t>(sourceWidth * sourceHeight / 4);
    std::vector<std::uint8_t> red = std::vector<std::uint8_t>(sourceWidth * sourceHeight / 4);
    const std::uint8_t* planes[4] = {luma.data(), blue.data(), red.data(), nullptr};
    int strides[4] = {sourceWidth, sourceWidth / 2, sourceWidth / 2, 0};

    PlanarPicture() {
        for (int y = 0; y < sourceHeight; ++y) {
            for (int x = 0; x < sourceWidth; ++x)
                luma[y * sourceWidth + x] = static_cast<std::uint8_t>(16 + 3 * y + x);
        }
        // Colour changes smoothly, as in a camera's picture.
        for (int y = 0; y < sourceHeight / 2; ++y) {
            for (int x = 0; x < sourceWidth / 2; ++x) {
                blue[y * sourceWidth / 2 + x] = static_cast<std::uint8_t>(60 + 2 * x + y);
                red[y * sourceWidth / 2 + x] = static_cast<std::uint8_t>(200 - x - 3 * y);
            }
        }
    }

    platform::Picture picture() const {
        return {planes, strides, AV_PIX_FMT_YUV420P, sourceWidth, sourceHeight};
    }
};

// What swscale makes of the picture, top row first, rows packed.
std::vector<std::uint8_t> topDownReference(const PlanarPicture& source, int width, int height) {
    SwsContext* context =
        sws_getContext(sourceWidth, sourceHeight, AV_PIX_FMT_YUV420P, width, height, AV_PIX_FMT_BGR24,
                       SWS_AREA | SWS_ACCURATE_RND | SWS_BITEXACT, nullptr, nullptr, nullptr);
    std::vector<std::uint8_t> image(static_cast<std::size_t>(width) * 3 * height);
    std::uint8_t* const destination[4] = {image.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {width * 3, 0, 0, 0};
    sws_scale(context, source.planes, source.strides, 0, sourceHeight, destination, strides);
    sws_freeContext(context);
    return image;
}

void expectBottomUpDib(const std::vector<std::uint8_t>& dib, const std::vector<std::uint8_t>& topDown,
                       int width, int height) {
    const std::size_t rowBytes = dibRowBytes(width);
    const std::size_t pixelBytes = static_cast<std::size_t>(width) * 3;
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* dibRow = dib.data() + static_cast<std::size_t>(height - 1 - row) * rowBytes;
        EXPECT_EQ(std::memcmp(dibRow, topDown.data() + row * pixelBytes, pixelBytes), 0) << "row " << row;
        for (std::size_t pad = pixelBytes; pad < rowBytes; ++pad) EXPECT_EQ(dibRow[pad], 0) << "row " << row;
    }
}

TEST(FrameScaler, BottomRowFirstWithZeroPaddingOverWhateverTheBufferHeld) {
    const PlanarPicture source;
    platform::FrameScaler scaler;
    std::vector<std::uint8_t> dib(dibImageBytes(33, 17), stale);
    ASSERT_TRUE(scaler.scale(source.picture(), 33, 17, dib.data()));
    expectBottomUpDib(dib, topDownReference(source, 33, 17), 33, 17);
}

TEST(FrameScaler, ANewSizeTakesANewConversion) {
    const PlanarPicture source;
    platform::FrameScaler scaler;
    std::vector<std::uint8_t> small(dibImageBytes(32, 24), stale);
    ASSERT_TRUE(scaler.scale(source.picture(), 32, 24, small.data()));
    std::vector<std::uint8_t> odd(dibImageBytes(21, 30), stale);
    ASSERT_TRUE(scaler.scale(source.picture(), 21, 30, odd.data()));
    expectBottomUpDib(small, topDownReference(source, 32, 24), 32, 24);
    expectBottomUpDib(odd, topDownReference(source, 21, 30), 21, 30);
}

// Recordings and cameras shrink in YUV, then convert with SIMD: not the exact
// bytes, but the same picture, the same bytes every time, and nothing written
// outside the DIB although the SIMD code writes whole blocks. The sizes take
// each way: through a padded picture (21 wide), straight into the DIB after a
// halving (32 x 24), and a halving before swscale's area filter (16 x 12).
TEST(FrameScaler, QuickConversionStaysInsideTheDibAndCloseToTheExactOne) {
    const PlanarPicture source;
    for (const auto& [width, height] : {std::pair{21, 30}, std::pair{32, 24}, std::pair{16, 12}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        const std::size_t bytes = dibImageBytes(width, height);
        std::vector<std::uint8_t> guarded(bytes + 64, stale);
        platform::FrameScaler quick(platform::Conversion::quick);
        ASSERT_TRUE(quick.scale(source.picture(), width, height, guarded.data()));
        for (std::size_t index = bytes; index < guarded.size(); ++index)
            ASSERT_EQ(guarded[index], stale) << index;

        std::vector<std::uint8_t> again(bytes, stale);
        platform::FrameScaler(platform::Conversion::quick)
            .scale(source.picture(), width, height, again.data());
        EXPECT_TRUE(std::equal(again.begin(), again.end(), guarded.begin()));

        const std::vector<std::uint8_t> exact = topDownReference(source, width, height);
        const int pixelBytes = width * 3;
        long totalDifference = 0;
        for (int row = 0; row < height; ++row) {
            const std::uint8_t* dibRow =
                guarded.data() + static_cast<std::size_t>(height - 1 - row) * dibRowBytes(width);
            for (int column = 0; column < pixelBytes; ++column)
                totalDifference +=
                    std::abs(dibRow[column] - exact[static_cast<std::size_t>(row) * pixelBytes + column]);
            for (std::size_t pad = pixelBytes; pad < dibRowBytes(width); ++pad)
                EXPECT_EQ(dibRow[pad], 0) << "row " << row;
        }
        EXPECT_LT(static_cast<double>(totalDifference) / (width * height * 3), 3.0);
    }
}

TEST(FrameScaler, QuickConversionOfAnRgbPictureIsTheExactOne) {
    std::vector<std::uint8_t> rgb(sourceWidth * sourceHeight * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * 37 % 253);
    const std::uint8_t* planes[4] = {rgb.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {sourceWidth * 3, 0, 0, 0};
    const platform::Picture picture{planes, strides, AV_PIX_FMT_RGB24, sourceWidth, sourceHeight};
    std::vector<std::uint8_t> quick(dibImageBytes(33, 17)), exact(dibImageBytes(33, 17));
    ASSERT_TRUE(platform::FrameScaler(platform::Conversion::quick).scale(picture, 33, 17, quick.data()));
    ASSERT_TRUE(platform::FrameScaler(platform::Conversion::exact).scale(picture, 33, 17, exact.data()));
    EXPECT_EQ(quick, exact);
}

}  // namespace
