#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "support/painted_window.h"

namespace {

using namespace tavo_test;

constexpr Rgb red{255, 0, 0};
constexpr Rgb green{0, 255, 0};
constexpr Rgb blue{0, 0, 255};
constexpr Rgb dusk{10, 20, 30};
constexpr Rgb sand{200, 150, 100};
constexpr Rgb plum{90, 40, 80};
constexpr std::uint8_t padding = 0xEE;

BITMAPINFO rgbInfo(LONG width, LONG height, WORD bitCount = 24, DWORD compression = BI_RGB) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = compression;
    return info;
}

// Rows as they lie in memory: B, G, R per pixel, then padding to four bytes.
std::vector<std::uint8_t> dibRows(const std::vector<std::vector<Rgb>>& memoryRows) {
    std::vector<std::uint8_t> bytes;
    for (const std::vector<Rgb>& row : memoryRows) {
        for (Rgb pixel : row) bytes.insert(bytes.end(), {pixel.blue, pixel.green, pixel.red});
        while (bytes.size() % 4 != 0) bytes.push_back(padding);
    }
    return bytes;
}

class Dib : public PaintedWindow {
protected:
    int blit(int x, int y, const BITMAPINFO& info, const std::vector<std::uint8_t>& bits, RECT paintArea) {
        const DWORD w = static_cast<DWORD>(info.bmiHeader.biWidth);
        const DWORD h = static_cast<DWORD>(std::abs(info.bmiHeader.biHeight));
        HDC context = beginPaint(paintArea);
        const int lines =
            SetDIBitsToDevice(context, x, y, w, h, 0, 0, 0, h, bits.data(), &info, DIB_RGB_COLORS);
        endPaint();
        return lines;
    }
    int blit(int x, int y, const BITMAPINFO& info, const std::vector<std::uint8_t>& bits) {
        return blit(x, y, info, bits, {0, 0, width, height});
    }
};

TEST_F(Dib, BottomUpImageHasItsLastMemoryRowOnTop) {
    const std::vector<std::uint8_t> bits = dibRows({{blue, dusk}, {red, green}});
    EXPECT_EQ(blit(3, 4, rgbInfo(2, 2), bits), 2);
    Picture expected(width, height, white);
    expected.set(3, 4, red);
    expected.set(4, 4, green);
    expected.set(3, 5, blue);
    expected.set(4, 5, dusk);
    EXPECT_TRUE(samePixels(expected, canvas()));
}

TEST_F(Dib, TopDownImageHasItsFirstMemoryRowOnTop) {
    const std::vector<std::uint8_t> bits = dibRows({{red, green}, {blue, dusk}});
    EXPECT_EQ(blit(3, 4, rgbInfo(2, -2), bits), 2);
    Picture expected(width, height, white);
    expected.set(3, 4, red);
    expected.set(4, 4, green);
    expected.set(3, 5, blue);
    expected.set(4, 5, dusk);
    EXPECT_TRUE(samePixels(expected, canvas()));
}

TEST_F(Dib, PaddedRowsAreReadAtTheirStride) {
    const std::vector<std::uint8_t> bits = dibRows({{sand, plum, dusk}, {red, green, blue}});
    ASSERT_EQ(bits.size(), 24u) << "two rows of nine bytes padded to twelve";
    EXPECT_EQ(blit(0, 0, rgbInfo(3, 2), bits), 2);
    Picture expected(width, height, white);
    expected.set(0, 0, red);
    expected.set(1, 0, green);
    expected.set(2, 0, blue);
    expected.set(0, 1, sand);
    expected.set(1, 1, plum);
    expected.set(2, 1, dusk);
    EXPECT_TRUE(samePixels(expected, canvas()));
}

TEST_F(Dib, ClippedToThePaintArea) {
    const std::vector<std::uint8_t> bits = dibRows({{sand, plum, dusk}, {red, green, blue}});
    blit(10, 10, rgbInfo(3, 2), bits, {11, 0, width, 11});
    Picture expected(width, height, white);
    expected.set(11, 10, green);
    expected.set(12, 10, blue);
    EXPECT_TRUE(samePixels(expected, canvas()));
}

TEST_F(Dib, ClippedToTheCanvas) {
    const std::vector<std::uint8_t> bits = dibRows({{sand, plum, dusk}, {red, green, blue}});
    blit(width - 1, -1, rgbInfo(3, 2), bits);
    Picture expected(width, height, white);
    expected.set(width - 1, 0, sand);
    EXPECT_TRUE(samePixels(expected, canvas()));
}

TEST_F(Dib, OtherFormatsDrawNothing) {
    const std::vector<std::uint8_t> bits(64, 0);
    EXPECT_EQ(blit(0, 0, rgbInfo(2, 2, 32), bits), 0);
    EXPECT_EQ(blit(0, 0, rgbInfo(2, 2, 24, 3), bits), 0);
    EXPECT_EQ(blit(0, 0, rgbInfo(0, 2), bits), 0);
    EXPECT_TRUE(samePixels(Picture(width, height, white), canvas()));
}

TEST_F(Dib, PartOfAnImageIsNotDrawn) {
    const std::vector<std::uint8_t> bits = dibRows({{blue, dusk}, {red, green}});
    const BITMAPINFO info = rgbInfo(2, 2);
    HDC context = beginPaint({0, 0, width, height});
    EXPECT_EQ(SetDIBitsToDevice(context, 0, 0, 2, 2, 1, 0, 0, 2, bits.data(), &info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(SetDIBitsToDevice(context, 0, 0, 2, 2, 0, 0, 0, 1, bits.data(), &info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(SetDIBitsToDevice(context, 0, 0, 3, 2, 0, 0, 0, 2, bits.data(), &info, DIB_RGB_COLORS), 0);
    endPaint();
    EXPECT_TRUE(samePixels(Picture(width, height, white), canvas()));
}

}  // namespace
