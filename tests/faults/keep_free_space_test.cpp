// Keeping room on a small file system: before each save the oldest pictures
// of the program are removed until the space asked for is free, so every
// save succeeds; nothing else in the directory is ever touched.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "support/fault_scene.h"
#include "support/private_mount.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

constexpr std::uintmax_t mebibyte = 1 << 20;

// On a file system of 4 MiB. A directory `pictures` holding what an earlier run and the user left.
fs::path cameraWithEarlierFiles(const fs::path& directory, const std::string& foreignBytes) {
    preparedCamera(directory);
    for (const char* name : {"tavo_0.bmp", "tavo_1.bmp", "tavo_1.jpg"})
        std::ofstream(directory / "pictures" / name) << std::string(100'000, 'e');
    std::ofstream(directory / "pictures" / "tavo_x.bmp") << "not one of ours";
    std::ofstream(directory / "pictures" / "road.mp4") << std::string(std::stoul(foreignBytes), 'u');
    return directory;
}

struct RoomRun {
    ProgramRun reference;  // the same run on a disk with room enough, without the option
    ProgramRun run;
    fs::path kept;  // what the small file system held at the end
    std::uintmax_t freeAtEnd = 0;
    std::string unavailable;  // why there is no private mount here
};

RoomRun runOnSmallDisk(const ScratchDirectory& scratch, const std::string& sceneSeconds,
                       const std::string& sizeOption, const std::string& foreignBytes) {
    RoomRun result;
    const fs::path good = cameraWithEarlierFiles(scratch.path() / "good", foreignBytes);
    const fs::path small = cameraWithEarlierFiles(scratch.path() / "small", foreignBytes);
    result.kept = scratch.path() / "kept";
    fs::create_directory(result.kept);
    const std::string kept = shellQuoted(result.kept);
    const PrivateMount mount =
        privateMount("cp -a pictures/. " + kept + "/\nmount -t tmpfs -o size=4m tavo-small pictures\ncp -a " +
                         kept + "/. pictures/\nrm -r " + kept + "/*",
                     "stat -f -c '%a %S' pictures > " + kept + ".free\ncp -a pictures/. " + kept + "/");
    result.unavailable = mount.unavailable;
    if (mount.wrapper.empty()) return result;
    std::vector<std::string> arguments = fastSceneFor(sceneSeconds);
    arguments.insert(arguments.end(), {"--full-size", "--picture-log"});
    result.reference = runProgram(arguments, good);
    arguments.insert(arguments.end(), {"--keep-free", sizeOption});
    RunConditions conditions;
    conditions.wrapper = mount.wrapper;
    result.run = runProgram(arguments, small, conditions);
    std::uintmax_t blocks = 0;
    std::uintmax_t blockSize = 0;
    std::ifstream(result.kept.string() + ".free") >> blocks >> blockSize;
    result.freeAtEnd = blocks * blockSize;
    return result;
}

// The trace after its first line, which echoes the command line.
std::string afterCommandLine(const std::string& trace) { return trace.substr(trace.find('\n') + 1); }

// The picture numbers named by `removed LIST: ...` lines, in order.
std::vector<int> removedNumbers(const std::string& standardError) {
    std::vector<int> numbers;
    const std::regex removal("^removed pictures/tavo_([0-9]+)\\.(bmp|jpg)");
    std::istringstream lines(standardError);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (std::regex_search(line, match, removal)) numbers.push_back(std::stoi(match[1]));
    }
    return numbers;
}

TEST(KeepFreeSpace, OldestPicturesMakeRoomAndEverySaveSucceeds) {
    ScratchDirectory scratch;
    const RoomRun room = runOnSmallDisk(scratch, "100", "1M", "300000");
    if (!room.unavailable.empty()) GTEST_SKIP() << room.unavailable;
    ASSERT_EQ(room.reference.exitStatus, 0) << room.reference.standardError;
    const int pictures = linesStartingWith(room.reference.standardOutput, "saving grabbed file");
    ASSERT_GE(pictures, 12) << "too few pictures to fill the disk";
    const int last = pictures + 1;  // numbering resumes after the earlier tavo_1

    EXPECT_EQ(room.run.exitStatus, 0) << room.run.standardError;
    EXPECT_EQ(afterCommandLine(room.run.standardOutput), afterCommandLine(room.reference.standardOutput))
        << "a save failed";
    EXPECT_EQ(room.run.standardError.find("not written"), std::string::npos) << room.run.standardError;

    // Oldest first, each once: the earlier run's, then this run's from 2 on.
    const std::vector<int> removed = removedNumbers(room.run.standardError);
    ASSERT_GE(removed.size(), 4u) << room.run.standardError;
    for (std::size_t i = 0; i < removed.size(); ++i) EXPECT_EQ(removed[i], static_cast<int>(i));
    const int firstKept = static_cast<int>(removed.size());

    // The newest pictures are all there, as the run with room enough saved them;
    // the user's files and the log untouched.
    const fs::path good = scratch.path() / "good" / "pictures";
    for (int number = firstKept; number <= last; ++number) {
        for (const std::string suffix : {".bmp", ".jpg"}) {
            const std::string name = "tavo_" + std::to_string(number) + suffix;
            EXPECT_EQ(fileContent(room.kept / name), fileContent(good / name)) << name;
        }
    }
    EXPECT_EQ(fileContent(room.kept / "road.mp4"), std::string(300'000, 'u'));
    EXPECT_EQ(fileContent(room.kept / "tavo_x.bmp"), "not one of ours");
    EXPECT_FALSE(fs::exists(room.kept / ("tavo_" + std::to_string(firstKept - 1) + ".bmp")));
    const std::string log = fileContent(room.kept / "tavomotion-pictures.csv");
    EXPECT_NE(log.find("\n0,pictures/tavo_0.bmp,"), std::string::npos) << log;
    EXPECT_NE(log.find(",pictures/tavo_1.jpg,removed\n"), std::string::npos) << log;
    EXPECT_EQ(linesStartingWith(log, std::to_string(firstKept - 1) + ","), 2) << "saved, then removed";

    // Room was made before the last save: what it took is all that is missing.
    const std::uintmax_t lastSave = fs::file_size(room.kept / ("tavo_" + std::to_string(last) + ".bmp")) +
                                    fs::file_size(room.kept / ("tavo_" + std::to_string(last) + ".jpg"));
    EXPECT_GE(room.freeAtEnd + lastSave + 16 * 1024, mebibyte);
}

// Another program's file takes the room: ours go, the shortness is said once,
// and the saves are tried all the same (they fit in what is left).
TEST(KeepFreeSpace, WithNothingOfOursLeftItIsSaidOnceAndTheSavesGoOn) {
    ScratchDirectory scratch;
    const RoomRun room = runOnSmallDisk(scratch, "40", "2M", "2200000");
    if (!room.unavailable.empty()) GTEST_SKIP() << room.unavailable;
    ASSERT_EQ(room.reference.exitStatus, 0) << room.reference.standardError;
    EXPECT_EQ(room.run.exitStatus, 0) << room.run.standardError;
    EXPECT_EQ(afterCommandLine(room.run.standardOutput), afterCommandLine(room.reference.standardOutput))
        << "a save failed";
    EXPECT_EQ(linesStartingWith(room.run.standardError, "less than 2M free for the pictures in pictures"), 1)
        << room.run.standardError;
    const int last = linesStartingWith(room.reference.standardOutput, "saving grabbed file") + 1;
    const std::string newest = "tavo_" + std::to_string(last);
    EXPECT_EQ(namesIn(room.kept), (std::vector<std::string>{"road.mp4", newest + ".bmp", newest + ".jpg",
                                                            "tavo_x.bmp", "tavomotion-pictures.csv"}));
}

}  // namespace
