// The whole program on the built-in scene, as a user runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sources/synthetic/synthetic_source.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"

namespace {

using testing_support::runProgram;
using testing_support::ScratchDirectory;
namespace fs = std::filesystem;

constexpr int sceneSeconds = 180;
constexpr std::int64_t sceneFrames = sceneSeconds * 25;

int picturesIn(const fs::path& directory) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("tavo_", 0) == 0 && entry.path().extension() == ".bmp") ++count;
    }
    return count;
}

std::vector<platform::VehicleVisit> visitsOf(const std::string& options) {
    std::string failure;
    auto source = platform::makeSyntheticSource(options, std::nullopt, failure);
    return dynamic_cast<platform::SyntheticSource&>(*source).detectionWindowVisits(0, sceneFrames);
}

// Visits that begin within two seconds of the one before ends: the scene may
// not have settled in between, so the two can share one picture.
int visitsFollowingClosely(const std::vector<platform::VehicleVisit>& visits) {
    int close = 0;
    for (std::size_t i = 1; i < visits.size(); ++i)
        close += visits[i].firstFrame - visits[i - 1].lastFrame < 50;
    return close;
}

std::vector<std::string> sceneArguments(const std::string& source) {
    return {"0", "--source", source, "--fast", "--headless", "--run-for", std::to_string(sceneSeconds)};
}

TEST(SyntheticRun, TheConsoleTextIsTheSameOnEveryRun) {
    ScratchDirectory first;
    const auto one = runProgram(sceneArguments("synthetic:21"), first.path());
    ScratchDirectory second;
    const auto two = runProgram(sceneArguments("synthetic:21"), second.path());
    ASSERT_EQ(one.exitStatus, 0) << one.standardError;
    EXPECT_EQ(one.standardOutput, two.standardOutput);
    EXPECT_GT(one.standardOutput.size(), 1000u);
    EXPECT_EQ(first.read("referenceimage.pgm"), second.read("referenceimage.pgm"));
    EXPECT_EQ(first.read("tavo_0.bmp"), second.read("tavo_0.bmp"));
}

// Any motion: a picture for each vehicle that crossed the detection window.
// Vehicles close behind one another may share a picture; a vehicle still in
// the window when an unsettled scene is reset may be pictured again, so up to
// a quarter more pictures than vehicles are allowed.
TEST(SyntheticRun, AnyMotionPicturesTheVehiclesThatCrossedTheWindow) {
    ScratchDirectory scratch;
    const auto run = runProgram(sceneArguments("synthetic:7"), scratch.path());
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    const auto visits = visitsOf(":7");
    ASSERT_GE(visits.size(), 10u);
    const int pictures = picturesIn(scratch.path());
    EXPECT_GE(pictures, static_cast<int>(visits.size()) - visitsFollowingClosely(visits));
    EXPECT_LE(pictures, static_cast<int>(visits.size()) * 5 / 4);
}

// Cars only: the dark vehicles are pictured (a long one more than once, as
// the follow-up sees its own body as a following vehicle).
TEST(SyntheticRun, CarsOnlyPicturesTheDarkVehicles) {
    ScratchDirectory scratch;
    scratch.write("tavomotion.ini", "DETECT_CARS_ONLY\n");
    const auto run = runProgram(sceneArguments("synthetic:7"), scratch.path());
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_NE(run.standardOutput.find("car detection flagged\n"), std::string::npos);
    const auto visits = visitsOf(":7");
    int dark = 0;
    for (const auto& visit : visits) dark += visit.tone == platform::synthetic::VehicleTone::dark;
    ASSERT_GE(dark, 5);
    EXPECT_GE(picturesIn(scratch.path()), dark - visitsFollowingClosely(visits));
}

TEST(SyntheticRun, AStretchWithoutVehiclesGivesNoPicture) {
    for (const std::string mode : {"", "DETECT_CARS_ONLY\n"}) {
        ScratchDirectory scratch;
        scratch.write("tavomotion.ini", mode);
        const auto run = runProgram(sceneArguments("synthetic:7:empty"), scratch.path());
        ASSERT_EQ(run.exitStatus, 0) << run.standardError;
        EXPECT_EQ(picturesIn(scratch.path()), 0) << mode;
        EXPECT_EQ(run.standardOutput.find("grabbing image"), std::string::npos);
    }
}

TEST(SyntheticRun, TheEndOfARecordingEndsTheProgramNormally) {
    ScratchDirectory scratch;
    const auto run =
        runProgram({"0", "--source", "synthetic:3:frames=300", "--fast", "--headless"}, scratch.path());
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    const std::string end = "winmain returning\n";
    ASSERT_GE(run.standardOutput.size(), end.size());
    EXPECT_EQ(run.standardOutput.substr(run.standardOutput.size() - end.size()), end);
    EXPECT_TRUE(fs::exists(scratch.path() / "motionimage.pgm"));
    EXPECT_EQ(fs::file_size(scratch.path() / "motionimage.pgm"), 76816u);
}

}  // namespace
