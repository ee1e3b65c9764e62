#include "platform/files/jpeg_encoder.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

Decoded decode(const std::vector<std::uint8_t>& jpeg) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), jpeg.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    Decoded out{static_cast<int>(info.output_width), static_cast<int>(info.output_height), {}};
    out.rgb.resize(static_cast<std::size_t>(out.width) * out.height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &out.rgb[static_cast<std::size_t>(info.output_scanline) * out.width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return out;
}

// A 64 x 48 picture, red left, blue right, stored bottom-up in DIB byte
// order with a green band along its top as shown.
std::vector<std::uint8_t> dibPicture() {
    std::vector<std::uint8_t> bytes(64 * 48 * 3);
    for (int row = 0; row < 48; ++row) {
        bool top = row >= 40;  // bottom-up: the last rows in memory are shown first
        for (int x = 0; x < 64; ++x) {
            std::uint8_t* p = &bytes[(row * 64 + x) * 3];
            p[0] = top ? 0 : (x < 32 ? 0 : 255);
            p[1] = top ? 255 : 0;
            p[2] = top ? 0 : (x < 32 ? 255 : 0);
        }
    }
    return bytes;
}

TEST(JpegEncoder, BottomUpDibComesOutUprightInItsOwnColours) {
    std::vector<std::uint8_t> bytes = dibPicture();
    std::string failure;
    platform::PixelRows rows{&bytes[47 * 64 * 3], 64, 48, -64 * 3, true};
    std::vector<std::uint8_t> jpeg = platform::encodeJpeg(rows, 92, failure);
    ASSERT_FALSE(jpeg.empty()) << failure;
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);

    Decoded picture = decode(jpeg);
    ASSERT_EQ(picture.width, 64);
    ASSERT_EQ(picture.height, 48);
    auto at = [&](int x, int y, int channel) { return picture.rgb[(y * 64 + x) * 3 + channel]; };
    EXPECT_GT(at(32, 2, 1), 230);   // green band on top
    EXPECT_GT(at(10, 30, 0), 230);  // red on the left
    EXPECT_LT(at(10, 30, 2), 25);
    EXPECT_GT(at(50, 30, 2), 230);  // blue on the right
    EXPECT_LT(at(50, 30, 0), 25);
}

TEST(JpegEncoder, HigherQualityCostsBytesAndNothingIsEncodedFromNothing) {
    std::vector<std::uint8_t> bytes(96 * 64 * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>((i * 7919) % 251);
    platform::PixelRows rows{bytes.data(), 96, 64, 96 * 3, false};
    std::string failure;
    EXPECT_GT(platform::encodeJpeg(rows, 92, failure).size(), platform::encodeJpeg(rows, 30, failure).size());

    EXPECT_TRUE(platform::encodeJpeg({nullptr, 96, 64, 96 * 3, false}, 92, failure).empty());
    EXPECT_FALSE(failure.empty());
    EXPECT_TRUE(platform::encodeJpeg(rows, 0, failure).empty());
}

}  // namespace
