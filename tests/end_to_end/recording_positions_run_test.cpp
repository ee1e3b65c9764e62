// Positions in the logs are the recording's own timestamps: on a clip whose
// first frame is stamped 1.86 s, `ffmpeg -ss POSITION` finds the pictured
// frame, as the README's recipe says.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/program_runner.h"
#include "support/scratch_directory.h"
#include "support/shared_data.h"

namespace {

using namespace testing_support;

constexpr double firstTimestamp = 1.86;

std::vector<std::vector<std::string>> csvRows(const std::string& path) {
    std::vector<std::vector<std::string>> rows;
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);  // the header
    while (std::getline(file, line)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, ',');) fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

// What an ffmpeg command writes on its standard output.
std::string ffmpegOutput(const std::string& arguments) {
    std::string bytes;
    FILE* pipe = ::popen(("ffmpeg -nostdin -v error " + arguments).c_str(), "r");
    if (pipe == nullptr) return bytes;
    char buffer[65536];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) bytes.append(buffer, got);
    ::pclose(pipe);
    return bytes;
}

// The frame at `position` of the clip, gray, at the full-size picture's size.
std::string frameAt(const std::string& clip, const std::string& position) {
    return ffmpegOutput("-ss " + position + " -i '" + clip +
                        "' -frames:v 1 -s 640x360 -f rawvideo -pix_fmt gray -");
}

double meanDifference(const std::string& a, const std::string& b) {
    if (a.size() != b.size() || a.empty()) return 255;
    long long sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += std::abs(static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]));
    return static_cast<double>(sum) / static_cast<double>(a.size());
}

TEST(RecordingPositionsRun, FfmpegSeeksToThePicturedFrameOnAClipThatDoesNotStartAtZero) {
    if (!requireSharedData("traffic/street_oblique_75s.mp4")) return;
    if (std::system("command -v ffmpeg > /dev/null") != 0) GTEST_SKIP() << "needs the ffmpeg command";
    const std::string clip = sharedDataPath("traffic/street_oblique_75s.mp4");
    ScratchDirectory scratch;
    const ProgramRun run = runProgram(
        {"0", "--source", clip, "--fast", "--headless", "--every-vehicle", "--picture-log", "--full-size"},
        scratch.path());
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;

    const auto pictures = csvRows((scratch.path() / "tavomotion-pictures.csv").string());
    ASSERT_GE(pictures.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const std::vector<std::string>& picture = pictures[i];
        ASSERT_EQ(picture.size(), 10u);
        const std::string& position = picture[3];
        EXPECT_GE(std::stod(position), firstTimestamp) << picture[0];
        const std::string saved =
            ffmpegOutput("-i '" + (scratch.path() / picture[8]).string() + "' -f rawvideo -pix_fmt gray -");
        EXPECT_LT(meanDifference(frameAt(clip, position), saved), 3.0)
            << "picture " << picture[0] << " at " << position;
    }
    // The vehicle log counts on the same timestamps.
    const auto vehicles = csvRows((scratch.path() / "tavomotion-vehicles.csv").string());
    ASSERT_FALSE(vehicles.empty());
    for (const auto& vehicle : vehicles) EXPECT_GE(std::stod(vehicle[3]), firstTimestamp) << vehicle[0];
}

}  // namespace
