#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/winsys/png_snapshot.h"
#include "support/painted_window.h"
#include "support/png_picture.h"

namespace {

using namespace tavo_test;
namespace fs = std::filesystem;

class Snapshot : public PaintedWindow {
protected:
    void SetUp() override {
        PaintedWindow::SetUp();
        directory = fs::temp_directory_path() / ("tavo_png_" + std::to_string(::getpid()));
        fs::remove_all(directory);
        fs::create_directories(directory);
    }
    void TearDown() override {
        fs::remove_all(directory);
        PaintedWindow::TearDown();
    }

    // A picture every channel of which tells where it was drawn.
    void drawSomething() {
        HDC context = beginPaint({0, 0, width, height});
        RECT frame{2, 3, 20, 30};
        FrameRect(context, &frame, blackBrush());
        std::vector<std::uint8_t> bits;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x)
                bits.insert(bits.end(), {std::uint8_t(x * 60), std::uint8_t(y * 60), 7});
        }
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, 4, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        SetDIBitsToDevice(context, 30, 40, 4, 4, 0, 0, 0, 4, bits.data(), &info, DIB_RGB_COLORS);
        endPaint();
    }

    fs::path directory;
};

TEST_F(Snapshot, ReadsBackEqualToTheCanvas) {
    drawSomething();
    const fs::path path = directory / "window.png";
    std::string failure;
    ASSERT_TRUE(writeWindowPng(window, path.string(), failure)) << failure;
    const testing_support::PngPicture picture = testing_support::readPng(path);
    ASSERT_TRUE(picture.read()) << picture.error;
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = picture.at(x, y);
            ASSERT_EQ((Rgb{p[0], p[1], p[2]}), canvas().pixel(x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(canvas().pixel(33, 40), (Rgb{7, 180, 180})) << "the image's top row is its last in memory";
}

TEST_F(Snapshot, LeavesOnlyTheFinishedFile) {
    std::string failure;
    ASSERT_TRUE(writeWindowPng(window, (directory / "a.png").string(), failure)) << failure;
    ASSERT_TRUE(writeWindowPng(window, (directory / "a.png").string(), failure)) << failure;
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename());
    }
    EXPECT_EQ(names, std::vector<std::string>{"a.png"});
}

TEST_F(Snapshot, UnwritablePlaceIsAFailureWithItsReason) {
    const fs::path notADirectory = directory / "file";
    std::FILE* file = std::fopen(notADirectory.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    std::string failure;
    EXPECT_FALSE(writeWindowPng(window, (notADirectory / "a.png").string(), failure));
    EXPECT_NE(failure.find("a.png"), std::string::npos) << failure;
    EXPECT_NE(failure.find("Not a directory"), std::string::npos) << failure;
}

TEST_F(Snapshot, MissingDirectoryIsAFailure) {
    std::string failure;
    EXPECT_FALSE(writeWindowPng(window, (directory / "none" / "a.png").string(), failure));
    EXPECT_FALSE(fs::exists(directory / "none"));
    EXPECT_FALSE(failure.empty());
}

TEST_F(Snapshot, WindowWithoutCanvasIsAFailure) {
    std::string failure;
    EXPECT_FALSE(writeWindowPng(nullptr, (directory / "a.png").string(), failure));
    EXPECT_FALSE(failure.empty());
    EXPECT_FALSE(fs::exists(directory / "a.png"));
}

}  // namespace
