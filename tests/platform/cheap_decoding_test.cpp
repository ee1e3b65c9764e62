// Recordings decoded only as far as the 320 x 240 picture shows: each frame
// within a grey level of the full decode's, at the same native size, and
// said once on standard error.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "pipeline/frame_pipeline.h"
#include "platform/sources/synthetic/synthetic_source.h"
#include "support/scene_video.h"
#include "support/source_grabber.h"
#include "support/test_media.h"

namespace {

using testmedia::SourceGrabber;

constexpr int frames = 60;
constexpr std::int64_t frameNanoseconds = 40'000'000;

// The grey image the analysis makes of a 320 x 240 picture.
std::vector<std::uint8_t> greyOf(const std::vector<std::uint8_t>& picture) {
    constexpr int pixels = 320 * 240;
    std::vector<std::uint8_t> grey(pixels);
    std::vector<std::uint8_t> copy(pixels);
    if (picture.size() >= pixels * 3u)
        pipeline::convertReversed(picture.data(), pixels, grey.data(), copy.data());
    return grey;
}

double meanAbsoluteDifference(const std::vector<std::uint8_t>& one, const std::vector<std::uint8_t>& other) {
    double sum = 0;
    for (std::size_t index = 0; index < one.size() && index < other.size(); ++index)
        sum += std::abs(static_cast<int>(one[index]) - static_cast<int>(other[index]));
    return one.empty() ? 0.0 : sum / static_cast<double>(one.size());
}

struct Decoded {
    std::vector<std::vector<std::uint8_t>> pictures;
    std::vector<std::string> errorLines;
    int nativeWidth = 0;
    int nativeHeight = 0;
};

Decoded decode(const std::string& path, bool onlyForTheDriver) {
    Decoded decoded;
    decoded.errorLines = testmedia::standardErrorLinesOf([&] {
        SourceGrabber grabber(path);
        if (onlyForTheDriver) grabber.source->decodeOnlyFor(320, 240);
        ASSERT_TRUE(grabber.open()) << grabber.failure;
        decoded.nativeWidth = grabber.source->nativeWidth();
        decoded.nativeHeight = grabber.source->nativeHeight();
        for (int frame = 0; frame < frames; ++frame)
            decoded.pictures.push_back(greyOf(grabber.grab(frame * frameNanoseconds, 320, 240).image));
    });
    return decoded;
}

struct Case {
    const char* encoder;
    const char* file;
    const char* said;  // what standard error says of the decoding
};

TEST(CheapDecoding, EveryFrameStaysWithinAGreyLevelOfTheFullDecode) {
    const Case cases[] = {
        {"libx264", "scene.mp4", "decoding h264 640 x 480 for 320 x 240, no loop filter on B-frames"},
        {"libx265", "scene.mkv", "decoding hevc 640 x 480 for 320 x 240, no loop filter on B-frames"},
        {"mjpeg", "scene.avi", "decoding mjpeg 640 x 480 at 1/2 size for 320 x 240"},
    };
    // The scene's first vehicle through the detection window, and after.
    std::string failure;
    const auto scene = platform::makeSyntheticSource(":7", std::nullopt, failure);
    const auto visits = dynamic_cast<platform::SyntheticSource&>(*scene).detectionWindowVisits(0, 2500);
    ASSERT_FALSE(visits.empty());
    const auto first = static_cast<int>(visits.front().firstFrame);
    testmedia::TemporaryFolder folder;
    for (const Case& recording : cases) {
        SCOPED_TRACE(recording.encoder);
        const std::string path = folder.file(recording.file);
        if (!testing_support::writeSceneVideo(path, ":7", first, frames, recording.encoder, failure)) {
            ADD_FAILURE() << failure;
            continue;
        }
        const Decoded full = decode(path, false);
        const Decoded cheap = decode(path, true);
        ASSERT_EQ(full.pictures.size(), static_cast<std::size_t>(frames));
        ASSERT_EQ(cheap.pictures.size(), full.pictures.size());
        EXPECT_EQ(cheap.nativeWidth, 640);
        EXPECT_EQ(cheap.nativeHeight, 480);
        EXPECT_EQ(full.nativeWidth, 640);
        EXPECT_TRUE(full.errorLines.empty());
        ASSERT_EQ(cheap.errorLines.size(), 1u);
        EXPECT_EQ(cheap.errorLines[0], path + ": " + recording.said + " (--full-decode: in full)");
        double worst = 0;
        double sum = 0;
        for (int frame = 0; frame < frames; ++frame) {
            const double difference = meanAbsoluteDifference(cheap.pictures[frame], full.pictures[frame]);
            worst = std::max(worst, difference);
            sum += difference;
        }
        EXPECT_LE(worst, 1.0);
        // Something was left out: the pictures are not the full decode's.
        EXPECT_GT(sum, 0.0);
    }
}

}  // namespace
