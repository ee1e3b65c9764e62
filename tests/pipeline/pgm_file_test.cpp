#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pipeline/frame_image.h"
#include "pipeline/frame_pipeline.h"
#include "support/program_fixture.h"

namespace {

using namespace pipeline;
namespace fs = std::filesystem;

std::vector<std::uint8_t> fileBytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PgmTest : public testing_support::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        directory = fs::temp_directory_path() / ("tavo-pgm-" + std::to_string(getpid()));
        fs::create_directories(directory);
        previous = fs::current_path();
        fs::current_path(directory);
    }
    void TearDown() override {
        fs::current_path(previous);
        fs::permissions(directory, fs::perms::owner_all);
        fs::remove_all(directory);
        ProgramTest::TearDown();
    }
    fs::path directory;
    fs::path previous;
};

TEST_F(PgmTest, ThreeTwentyByTwoFortyGivesASixteenByteHeaderAndTheRaster) {
    frameImage.width = 320;
    frameImage.height = 240;
    for (int i = 0; i < 76800; ++i)
        grayFrame[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i % 256);
    grayFrame[5] = 10;  // a line feed and a carriage return stay single bytes
    grayFrame[6] = 13;
    saveMotionPgm();
    EXPECT_EQ(takeConsole(), "saving motion detect window as pgm\n");
    const auto bytes = fileBytes("motionimage.pgm");
    ASSERT_EQ(bytes.size(), 76816u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 16), "P5\n 320 240\n255\n");
    EXPECT_TRUE(std::equal(bytes.begin() + 16, bytes.end(), grayFrame.begin()));
}

TEST_F(PgmTest, EightyBySixtyGivesFortyEightFourteenBytes) {
    frameImage.width = 80;
    frameImage.height = 60;
    saveMotionPgm();
    const auto bytes = fileBytes("motionimage.pgm");
    ASSERT_EQ(bytes.size(), 4814u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 14), "P5\n 80 60\n255\n");
}

TEST_F(PgmTest, NoFrameYetGivesTheTwelveByteHeaderAlone) {
    saveMotionPgm();
    EXPECT_EQ(fileBytes("motionimage.pgm"),
              (std::vector<std::uint8_t>{'P', '5', '\n', ' ', '0', ' ', '0', '\n', '2', '5', '5', '\n'}));
}

TEST_F(PgmTest, RefreshCopiesTheWholeBufferAndWritesTheReference) {
    frameImage.width = 320;
    frameImage.height = 240;
    currentImage.fill(77);
    refreshReference();
    EXPECT_EQ(takeConsole(), "saving reference image as pgm\n");
    EXPECT_EQ(referenceImage[grayCapacity - 1], 77);
    const auto bytes = fileBytes("referenceimage.pgm");
    ASSERT_EQ(bytes.size(), 76816u);
    EXPECT_EQ(bytes[16], 77);
}

TEST_F(PgmTest, AnUnwritableDirectoryIsReportedAndTheReferenceStillRefreshed) {
    if (geteuid() == 0) GTEST_SKIP() << "file modes stop no write for root; the fault tests cover it";
    fs::permissions(directory, fs::perms::owner_read | fs::perms::owner_exec);
    frameImage.width = 320;
    frameImage.height = 240;
    currentImage.fill(9);
    refreshReference();
    EXPECT_EQ(takeConsole(),
              "saving reference image as pgm\nUnable to open file referenceimage.pgm  for saving\n");
    EXPECT_EQ(referenceImage[0], 9);
}

TEST_F(PgmTest, AFileSizeLimitKeepsTheEarlierImageWholeAndTheConsoleText) {
    frameImage.width = 320;
    frameImage.height = 240;
    currentImage.fill(40);
    refreshReference();
    const auto earlier = fileBytes("referenceimage.pgm");
    ASSERT_EQ(earlier.size(), 76816u);
    takeConsole();

    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = previous;
    limit.rlim_cur = 50000;
    setrlimit(RLIMIT_FSIZE, &limit);
    currentImage.fill(41);
    refreshReference();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(takeConsole(), "saving reference image as pgm\n");
    EXPECT_EQ(fileBytes("referenceimage.pgm"), earlier);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(directory)) ++files;
    EXPECT_EQ(files, 1) << "no temporary file left";
}

}  // namespace
