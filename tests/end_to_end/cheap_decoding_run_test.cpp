// A recording of the road scene replayed fast, decoded only as far as the
// 320 x 240 picture shows and with --full-decode: each way the same console
// text and pictures on every run, and the two ways' pictures of a moment
// within a grey level of each other.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/picture_log.h"
#include "pipeline/frame_pipeline.h"
#include "support/program_runner.h"
#include "support/scene_video.h"
#include "support/scratch_directory.h"

namespace {

using testing_support::ProgramRun;
using testing_support::runProgram;
using testing_support::ScratchDirectory;
namespace fs = std::filesystem;

constexpr int sceneFrames = 500;  // 20 s: two vehicles or more pictured
constexpr std::size_t bmpHeaderBytes = 54;

struct Replay {
    ProgramRun run;
    std::map<std::string, std::string> pictureAt;  // position in the recording -> the BMP's bytes
};

Replay replay(const std::string& video, bool fullDecode) {
    ScratchDirectory directory;
    std::vector<std::string> arguments{"0", "--source", video, "--fast", "--headless", "--picture-log"};
    if (fullDecode) arguments.push_back("--full-decode");
    Replay replay{runProgram(arguments, directory.path().string()), {}};
    std::ifstream log(directory.path() / "tavomotion-pictures.csv");
    std::string line;
    std::getline(log, line);
    while (std::getline(log, line)) {
        const std::vector<std::string> fields = app::csvFields(line);
        if (fields.size() > 3) replay.pictureAt[fields[3]] = directory.read(fields[1]);
    }
    return replay;
}

double greyDifference(const std::string& one, const std::string& other) {
    constexpr int pixels = 320 * 240;
    if (one.size() != bmpHeaderBytes + pixels * 3u || other.size() != one.size()) return 255;
    std::vector<std::uint8_t> greys[2] = {std::vector<std::uint8_t>(pixels),
                                          std::vector<std::uint8_t>(pixels)};
    std::vector<std::uint8_t> copy(pixels);
    const std::string* pictures[2] = {&one, &other};
    for (int index = 0; index < 2; ++index) {
        const auto* bgr = reinterpret_cast<const std::uint8_t*>(pictures[index]->data() + bmpHeaderBytes);
        pipeline::convertReversed(bgr, pixels, greys[index].data(), copy.data());
    }
    double sum = 0;
    for (int pixel = 0; pixel < pixels; ++pixel) sum += std::abs(greys[0][pixel] - greys[1][pixel]);
    return sum / pixels;
}

int linesWith(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(CheapDecodingRun, EachWayTheSameEveryTimeAndPicturesOfAMomentAlike) {
    ScratchDirectory media;
    for (const auto& [encoder, file] : {std::pair{"libx264", "scene.mp4"}, std::pair{"mjpeg", "scene.avi"}}) {
        SCOPED_TRACE(encoder);
        const std::string video = (media.path() / file).string();
        std::string failure;
        ASSERT_TRUE(testing_support::writeSceneVideo(video, ":7", sceneFrames, encoder, failure)) << failure;
        const Replay cheap = replay(video, false);
        const Replay cheapAgain = replay(video, false);
        const Replay full = replay(video, true);
        const Replay fullAgain = replay(video, true);
        for (const Replay* run : {&cheap, &cheapAgain, &full, &fullAgain}) {
            ASSERT_EQ(run->run.exitStatus, 0) << run->run.standardError;
            // The native size is the recording's, however it is decoded.
            EXPECT_EQ(linesWith(run->run.standardOutput, "get format 1 width 640 height 480\n"), 1);
        }
        EXPECT_EQ(cheap.run.standardOutput, cheapAgain.run.standardOutput);
        EXPECT_EQ(cheap.pictureAt, cheapAgain.pictureAt);
        EXPECT_EQ(full.run.standardOutput, fullAgain.run.standardOutput);
        EXPECT_EQ(full.pictureAt, fullAgain.pictureAt);
        EXPECT_EQ(linesWith(cheap.run.standardError, ": decoding "), 1) << cheap.run.standardError;
        EXPECT_EQ(linesWith(full.run.standardError, ": decoding "), 0) << full.run.standardError;

        EXPECT_GE(full.pictureAt.size(), 2u);
        EXPECT_EQ(cheap.pictureAt.size(), full.pictureAt.size());
        int sameMoment = 0;
        for (const auto& [position, picture] : cheap.pictureAt) {
            const auto fullPicture = full.pictureAt.find(position);
            if (fullPicture == full.pictureAt.end()) continue;
            ++sameMoment;
            EXPECT_LE(greyDifference(picture, fullPicture->second), 1.0) << "at " << position << " s";
        }
        EXPECT_GE(sameMoment, 2);
    }
}

}  // namespace
