#include "platform/vfw/dib_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/sources/frame_source.h"
#include "support/scratch_directory.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

namespace {

using namespace platform;
using testing_support::ScratchDirectory;
namespace fs = std::filesystem;

BITMAPINFOHEADER formatOf(int width, int height) {
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = dibImageBytes(width, height);
    return header;
}

std::vector<std::uint8_t> patternedRows(int width, int height) {
    std::vector<std::uint8_t> pixels(dibImageBytes(width, height), 0);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            std::uint8_t* pixel = pixels.data() + row * dibRowBytes(width) + 3 * column;
            pixel[0] = static_cast<std::uint8_t>(column * 40);
            pixel[1] = static_cast<std::uint8_t>(row * 70);
            pixel[2] = static_cast<std::uint8_t>(200 - column - row);
        }
    }
    return pixels;
}

// Decodes a BMP file with FFmpeg's own decoder; BGR24 rows, top row first.
std::vector<std::uint8_t> decodeWithFfmpeg(const std::string& bytes, int& width, int& height) {
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_BMP);
    AVCodecContext* context = avcodec_alloc_context3(codec);
    avcodec_open2(context, codec, nullptr);
    AVPacket* packet = av_packet_alloc();
    av_new_packet(packet, static_cast<int>(bytes.size()));
    std::memcpy(packet->data, bytes.data(), bytes.size());
    AVFrame* frame = av_frame_alloc();
    std::vector<std::uint8_t> rows;
    if (avcodec_send_packet(context, packet) == 0 && avcodec_receive_frame(context, frame) == 0 &&
        frame->format == AV_PIX_FMT_BGR24) {
        width = frame->width;
        height = frame->height;
        for (int row = 0; row < height; ++row) {
            const std::uint8_t* line = frame->data[0] + row * frame->linesize[0];
            rows.insert(rows.end(), line, line + 3 * width);
        }
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&context);
    return rows;
}

TEST(DibFile, AnIndependentDecoderReadsTheSamePixels) {
    ScratchDirectory scratch;
    for (const auto& [width, height] : {std::pair{4, 3}, std::pair{5, 2}, std::pair{320, 240}}) {
        const auto pixels = patternedRows(width, height);
        std::string failure;
        ASSERT_TRUE(writeDibFile("picture.bmp", formatOf(width, height), pixels.data(), failure)) << failure;
        const std::string bytes = scratch.read("picture.bmp");
        ASSERT_EQ(bytes.size(), 54 + dibImageBytes(width, height));
        EXPECT_EQ(bytes.substr(0, 2), "BM");
        int decodedWidth = 0, decodedHeight = 0;
        const auto decoded = decodeWithFfmpeg(bytes, decodedWidth, decodedHeight);
        ASSERT_EQ(decodedWidth, width);
        ASSERT_EQ(decodedHeight, height);
        // The file keeps the bottom row first; the decoder gives the top first.
        for (int row = 0; row < height; ++row) {
            const std::uint8_t* expected = pixels.data() + (height - 1 - row) * dibRowBytes(width);
            ASSERT_TRUE(std::equal(expected, expected + 3 * width, decoded.begin() + row * 3 * width)) << row;
        }
    }
}

TEST(DibFile, TheHeadersAreExactlyTheStandardOnes) {
    ScratchDirectory scratch;
    const auto pixels = patternedRows(2, 2);
    std::string failure;
    ASSERT_TRUE(writeDibFile("tiny.bmp", formatOf(2, 2), pixels.data(), failure));
    const std::string bytes = scratch.read("tiny.bmp");
    const std::vector<std::uint8_t> head(bytes.begin(), bytes.begin() + 14);
    // "BM", size 54 + 16, two reserved words 0, pixels at 54.
    EXPECT_EQ(head, (std::vector<std::uint8_t>{'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0}));
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[14]), 40);
    EXPECT_EQ(bytes.substr(54), std::string(pixels.begin(), pixels.end()));
}

TEST(DibFile, AnEmptyImageGivesTheHeadersAloneWithoutTouchingThePixels) {
    ScratchDirectory scratch;
    BITMAPINFOHEADER header = formatOf(0, 0);
    header.biSizeImage = 0;
    std::string failure;
    ASSERT_TRUE(writeDibFile("empty.bmp", header, nullptr, failure)) << failure;
    const std::string bytes = scratch.read("empty.bmp");
    ASSERT_EQ(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 6), std::string("BM\x36\0\0\0", 6));
}

TEST(DibFile, AMissingDirectoryFailsAndLeavesNothing) {
    ScratchDirectory scratch;
    const auto pixels = patternedRows(2, 2);
    std::string failure;
    EXPECT_FALSE(writeDibFile("missing/tiny.bmp", formatOf(2, 2), pixels.data(), failure));
    EXPECT_NE(failure.find("missing/tiny.bmp"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(scratch.path()));
}

TEST(DibFile, AFileSizeLimitFailsCleanlyAndKeepsTheEarlierPicture) {
    ScratchDirectory scratch;
    const auto small = patternedRows(2, 2);
    std::string failure;
    ASSERT_TRUE(writeDibFile("tavo_0.bmp", formatOf(2, 2), small.data(), failure));
    const std::string earlier = scratch.read("tavo_0.bmp");

    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = previous;
    limit.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &limit);
    const auto large = patternedRows(320, 240);
    const bool written = writeDibFile("tavo_0.bmp", formatOf(320, 240), large.data(), failure);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(scratch.read("tavo_0.bmp"), earlier);
    // No half-written temporary file is left behind either.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(scratch.path())) ++files;
    EXPECT_EQ(files, 1);
}

}  // namespace
