// tavomotion --contact-sheet DIR OUT.png, run as the built program.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/png_picture.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

struct Colour {
    std::uint8_t red, green, blue;
    bool operator==(const Colour&) const = default;
};

constexpr Colour ground{40, 40, 40};

// Sanitizer builds may add their own report after the program's lines.
bool startsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

void put(std::string& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes += static_cast<char>(value >> (8 * i));
}

// A 24-bit bottom-up BMP written byte by byte: the top half `top`, the
// bottom half `bottom`.
std::string twoToneBmp(int width, int height, Colour top, Colour bottom, int bitsPerPixel = 24) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    std::string bytes = "BM";
    put(bytes, 54 + rowBytes * height, 4);
    put(bytes, 0, 4);
    put(bytes, 54, 4);
    for (const auto& [value, count] : {std::pair{40, 4},
                                       {width, 4},
                                       {height, 4},
                                       {1, 2},
                                       {bitsPerPixel, 2},
                                       {0, 4},
                                       {rowBytes * height, 4},
                                       {0, 4},
                                       {0, 4},
                                       {0, 4},
                                       {0, 4}}) {
        put(bytes, static_cast<std::uint32_t>(value), count);
    }
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const Colour colour = fileRow < height / 2 ? bottom : top;  // the file starts at the bottom row
        for (int x = 0; x < width; ++x)
            bytes += {static_cast<char>(colour.blue), static_cast<char>(colour.green),
                      static_cast<char>(colour.red)};
        bytes.append(static_cast<std::size_t>(rowBytes - width * 3), '\0');
    }
    return bytes;
}

void writePicture(const fs::path& path, const std::string& bytes, time_t modified) {
    std::ofstream(path, std::ios::binary) << bytes;
    const timespec times[2] = {{modified, 0}, {modified, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct Sheet {
    PngPicture png;

    Colour at(int x, int y) const {
        const std::uint8_t* p = png.at(x, y);
        return {p[0], p[1], p[2]};
    }
    // Every pixel of the rectangle has `colour`.
    bool filled(int left, int top, int right, int bottom, Colour colour) const {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                if (!(at(x, y) == colour)) return false;
            }
        }
        return true;
    }
    int lightPixels(int left, int top, int right, int bottom) const {
        int count = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) count += at(x, y).red > 128 ? 1 : 0;
        }
        return count;
    }
};

Sheet readSheet(const fs::path& path) { return {readPng(path)}; }

constexpr Colour red{200, 0, 0}, green{0, 180, 0}, blue{0, 0, 220}, yellow{230, 230, 0}, white{255, 255, 255},
    gray{120, 120, 120};

TEST(ContactSheet, ThreePicturesInOneRowOldestFirstEachWithItsCaption) {
    ScratchDirectory scratch;
    fs::create_directory("pictures");
    // Numbers out of time order: the sheet follows the times.
    writePicture("pictures/tavo_0.bmp", twoToneBmp(64, 48, red, green), 1'800'000'300);
    writePicture("pictures/tavo_7.bmp", twoToneBmp(320, 240, blue, yellow), 1'800'000'100);
    writePicture("pictures/tavo_3.bmp", twoToneBmp(320, 120, white, gray), 1'800'000'200);
    writePicture("pictures/tavo_9.bmp", twoToneBmp(8, 8, red, red, 32), 1'800'000'400);
    std::ofstream("pictures/notes.txt") << "not a picture";

    const ProgramRun run = runProgram({"--contact-sheet", "pictures", "sheet.png"}, scratch.path());

    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_TRUE(startsWith(run.standardError,
                           "tavomotion: skipped pictures/tavo_9.bmp: not 24 bits per pixel uncompressed\n"))
        << run.standardError;
    const Sheet sheet = readSheet(scratch.path() / "sheet.png");
    // Three cells of 176 x (120 + 14), 8 apart and 8 from the edges.
    ASSERT_EQ(sheet.png.width, 8 + 3 * (176 + 8));
    ASSERT_EQ(sheet.png.height, 8 + 134 + 8);
    // tavo_7, oldest: 320 x 240 scaled to 160 x 120, centred in the cell at x 8.
    EXPECT_TRUE(sheet.filled(16, 8, 176, 68, blue));
    EXPECT_TRUE(sheet.filled(16, 68, 176, 128, yellow));
    EXPECT_TRUE(sheet.filled(8, 8, 16, 128, ground));
    // tavo_3: 320 x 120 becomes 160 x 60, centred in the 120 rows.
    EXPECT_TRUE(sheet.filled(200, 8, 360, 38, ground));
    EXPECT_TRUE(sheet.filled(200, 38, 360, 68, white));
    EXPECT_TRUE(sheet.filled(200, 68, 360, 98, gray));
    EXPECT_TRUE(sheet.filled(200, 98, 360, 128, ground));
    // tavo_0, newest: 64 x 48 scaled up to 160 x 120.
    EXPECT_TRUE(sheet.filled(384, 8, 544, 68, red));
    EXPECT_TRUE(sheet.filled(384, 68, 544, 128, green));
    // A caption under each, and nothing but ground between the cells.
    for (const int left : {8, 192, 376}) EXPECT_GT(sheet.lightPixels(left, 128, left + 176, 142), 40) << left;
    EXPECT_TRUE(sheet.filled(0, 142, sheet.png.width, 150, ground));
    EXPECT_TRUE(sheet.filled(184, 0, 192, 150, ground));
}

TEST(ContactSheet, AMissingDirectoryIsAClearErrorWithStatusOne) {
    ScratchDirectory scratch;
    const ProgramRun run = runProgram({"--contact-sheet", "absent", "sheet.png"}, scratch.path());
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(startsWith(run.standardError,
                           "tavomotion: cannot read directory absent: No such file or directory\n"))
        << run.standardError;
    EXPECT_FALSE(fs::exists(scratch.path() / "sheet.png"));
}

TEST(ContactSheet, ADirectoryWithoutPicturesIsAClearErrorWithStatusOne) {
    ScratchDirectory scratch;
    fs::create_directory("pictures");
    std::ofstream("pictures/tavo_x.bmp") << "not numbered";
    const ProgramRun run = runProgram({"--contact-sheet", "pictures", "sheet.png"}, scratch.path());
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(startsWith(run.standardError, "tavomotion: no pictures tavo_N.bmp in pictures\n"))
        << run.standardError;
    EXPECT_FALSE(fs::exists(scratch.path() / "sheet.png"));
}

TEST(ContactSheet, WithoutBothValuesItIsAUsageError) {
    ScratchDirectory scratch;
    for (const auto& arguments :
         {std::vector<std::string>{"--contact-sheet", "pictures"},
          std::vector<std::string>{"0", "--contact-sheet", "pictures", "sheet.png"}}) {
        const ProgramRun run = runProgram(arguments, scratch.path());
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_TRUE(startsWith(run.standardError, "tavomotion: --contact-sheet takes DIR and OUT.png"))
            << run.standardError;
    }
}

TEST(ContactSheet, MoreThanFourHundredPicturesShowTheNewestFourHundred) {
    ScratchDirectory scratch;
    fs::create_directory("pictures");
    const std::string small = twoToneBmp(4, 2, green, green);
    for (int number = 0; number <= 400; ++number) {
        const std::string bytes = number == 0   ? twoToneBmp(4, 2, red, red)
                                  : number == 1 ? twoToneBmp(4, 2, blue, blue)
                                                : small;
        writePicture("pictures/tavo_" + std::to_string(number) + ".bmp", bytes, 1'800'000'000 + number);
    }
    const ProgramRun run = runProgram({"--contact-sheet", "pictures", "sheet.png"}, scratch.path());
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_TRUE(startsWith(run.standardError,
                           "tavomotion: 401 pictures in pictures; the sheet shows the newest 400\n"))
        << run.standardError;
    const Sheet sheet = readSheet(scratch.path() / "sheet.png");
    ASSERT_EQ(sheet.png.width, 8 + 10 * (176 + 8));
    ASSERT_EQ(sheet.png.height, 8 + 40 * (134 + 8));
    // tavo_0, the oldest, is left off; tavo_1 comes first (4 x 2 becomes 160 x 80).
    EXPECT_TRUE(sheet.filled(16, 28, 176, 108, blue));
}

// Width and height of a baseline JPEG, from its frame header; 0 x 0 when none.
std::pair<int, int> jpegSize(const std::string& bytes) {
    for (std::size_t at = 2; at + 9 < bytes.size(); ++at) {
        if (static_cast<unsigned char>(bytes[at]) == 0xFF &&
            static_cast<unsigned char>(bytes[at + 1]) == 0xC0) {
            const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
            return {byte(7) * 256 + byte(8), byte(5) * 256 + byte(6)};
        }
    }
    return {0, 0};
}

TEST(ContactSheet, AJpgNameGetsAJpegAndAnyOtherEndingIsAUsageError) {
    ScratchDirectory scratch;
    fs::create_directory("pictures");
    writePicture("pictures/tavo_0.bmp", twoToneBmp(320, 240, blue, yellow), 1'800'000'100);

    const ProgramRun jpeg = runProgram({"--contact-sheet", "pictures", "night.JPG"}, scratch.path());
    EXPECT_EQ(jpeg.exitStatus, 0) << jpeg.standardError;
    const std::string bytes = scratch.read("night.JPG");
    EXPECT_EQ(bytes.substr(0, 3), "\xFF\xD8\xFF");
    EXPECT_EQ(jpegSize(bytes), std::make_pair(8 + 176 + 8, 8 + 134 + 8));

    const ProgramRun gif = runProgram({"--contact-sheet", "pictures", "night.gif"}, scratch.path());
    EXPECT_EQ(gif.exitStatus, 2);
    EXPECT_TRUE(startsWith(gif.standardError,
                           "tavomotion: --contact-sheet writes OUT.png or OUT.jpg, not 'night.gif'\n"))
        << gif.standardError;
    EXPECT_FALSE(fs::exists(scratch.path() / "night.gif"));
}

}  // namespace
