// tavomotion --aim, run as the built program on a made video: the picture
// as the program sees it, the same on the source's own frame, what is said.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "support/png_picture.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"
#include "support/test_media.h"

namespace {

using testing_support::runProgram;
namespace fs = std::filesystem;

struct Picture {
    testing_support::PngPicture png;
    int width() const { return png.width; }
    int height() const { return png.height; }
    bool red(int x, int y) const {
        const std::uint8_t* p = png.at(x, y);
        return p[0] == 255 && p[1] == 0 && p[2] == 0;
    }
};

Picture readPicture(const fs::path& path) { return {testing_support::readPng(path)}; }

// The outline of [left, right) x [top, bottom) is red, `width` pixels in, and
// the pixels just outside and just inside it are not.
void expectOutline(const Picture& picture, int left, int top, int right, int bottom, int width) {
    for (int x = left + width; x < right - width; x += 7) {
        EXPECT_TRUE(picture.red(x, top) && picture.red(x, bottom - 1)) << x;
        EXPECT_FALSE(picture.red(x, top - 1) || picture.red(x, bottom) || picture.red(x, top + width)) << x;
    }
    for (int y = top + width; y < bottom - width; y += 5) {
        EXPECT_TRUE(picture.red(left, y) && picture.red(right - 1, y)) << y;
        EXPECT_FALSE(picture.red(left - 1, y) || picture.red(right, y) || picture.red(left + width, y)) << y;
    }
}

TEST(AimRun, TheWindowIsDrawnOnTheFilteredPictureAndOnTheSourcesFrame) {
    testing_support::ScratchDirectory scratch;
    testmedia::VideoRecipe recipe;
    recipe.width = 640;
    recipe.height = 360;
    recipe.timestamps = {0, 40, 80};
    const std::string clip = (scratch.path() / "street.mkv").string();
    testmedia::writeVideo(clip, recipe);

    // A crop asked partly outside the frame: FFmpeg moves it to x 160.
    const auto run =
        runProgram({"--aim", "--source", clip, "--filter", "crop=480:360:200:0", "aim.png"}, scratch.path());
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, "");
    for (const char* said : {"the source gives 640x360 (16:9)", "the filter gives 480x360 (4:3)",
                             "aspect is kept", "applied as 480x360 at x 160, y 0 (asked at x 200, y 0",
                             "on the 320x240 picture: x 92 to 239, y 50 to 116",
                             "on the source's frame: x 298 to 519, y 75 to 174"})
        EXPECT_NE(run.standardError.find(said), std::string::npos) << said << "\n" << run.standardError;

    const Picture view = readPicture(scratch.path() / "aim.png");
    ASSERT_EQ(view.width(), 320);
    ASSERT_EQ(view.height(), 240);
    // The gray image the program measures is the frame mirrored: its window
    // x 81..228 lies at 92..239 of the frame as shown.
    expectOutline(view, 92, 50, 239, 116, 1);

    const Picture full = readPicture(scratch.path() / "aim-full.png");
    ASSERT_EQ(full.width(), 640);
    ASSERT_EQ(full.height(), 360);
    expectOutline(full, 298, 75, 519, 174, 2);

    for (const auto& entry : fs::directory_iterator(scratch.path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "street.mkv" || name == "aim.png" || name == "aim-full.png") << name;
    }

    // The graph's other filters leave the 320 x 240 view alone.
    const auto other =
        runProgram({"--aim", "--source", clip, "--filter", "hue=s=0", "other.png"}, scratch.path());
    EXPECT_EQ(other.exitStatus, 0) << other.standardError;
    EXPECT_NE(other.standardError.find("is 16:9, scaled to 320x240 (4:3)"), std::string::npos)
        << other.standardError;
    EXPECT_NE(other.standardError.find("no full-size picture: 'hue=s=0'"), std::string::npos);
    EXPECT_TRUE(fs::exists(scratch.path() / "other.png"));
    EXPECT_FALSE(fs::exists(scratch.path() / "other-full.png"));
}

TEST(AimRun, UsageMistakesEndWithStatus2AndWriteNothing) {
    testing_support::ScratchDirectory scratch;
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"--aim", "aim.png"},
                                               {"--aim", "--source", "synthetic:7", "aim.jpg"},
                                               {"--aim", "--source", "synthetic:7", "--fast", "aim.png"},
                                               {"--aim", "--source", "synthetic:7"},
                                               {"--aim", "--source", "missing.mp4", "aim.png"}}) {
        const auto run = runProgram(arguments, scratch.path());
        EXPECT_EQ(run.exitStatus, 2) << arguments.back();
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_FALSE(run.standardError.empty());
    }
    EXPECT_TRUE(fs::is_empty(scratch.path()));
}

}  // namespace
