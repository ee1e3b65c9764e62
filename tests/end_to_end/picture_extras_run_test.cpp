// The program with its picture log, full-size copies, picture commands and
// filter graph: the console as without them, a child that fails or never
// ends, more pictures than commands may run at once, a full disk, a log that
// cannot be written, and filter graphs that are refused.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/picture_log.h"
#include "support/fault_scene.h"
#include "support/private_mount.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

std::vector<std::vector<std::string>> logLines(const fs::path& log) {
    std::ifstream file(log);
    std::vector<std::vector<std::string>> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(app::csvFields(line));
    return lines;
}

// Width x height from a baseline JPEG's frame header; "" when there is none.
std::string jpegSize(const std::string& jpeg) {
    const std::size_t frame = jpeg.find("\xFF\xC0");
    if (frame == std::string::npos || frame + 9 > jpeg.size()) return "";
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(jpeg[frame + at]); };
    return std::to_string(byte(7) * 256 + byte(8)) + "x" + std::to_string(byte(5) * 256 + byte(6));
}

std::string afterFirstLine(const std::string& text) { return text.substr(text.find('\n') + 1); }

// Picture 0's command fails; the others never end on their own.
const char* const childScript =
    "#!/bin/sh\n"
    "echo \"child saw $1 $TAVO_NUMBER $TAVO_FULL_SIZE\"\n"
    "[ \"$TAVO_NUMBER\" = 0 ] && exit 3\n"
    "echo $$ >> ../children\n"
    "exec sleep 1000 >/dev/null 2>&1\n";

TEST(PictureExtrasRun, LogFullSizeAndCommandsLeaveTheConsoleAsItWas) {
    ScratchDirectory scratch;
    const fs::path plain = preparedCamera(scratch.path() / "plain");
    const fs::path extras = preparedCamera(scratch.path() / "extras");
    const fs::path child = scratch.path() / "child.sh";
    std::ofstream(child) << childScript;
    fs::permissions(child, fs::perms::owner_all);
    std::vector<std::string> arguments = fastSceneFor("30");
    const ProgramRun reference = runProgram(arguments, plain);
    arguments.insert(arguments.end(), {"--picture-log", "--full-size", "--on-picture", child.string()});
    const ProgramRun run = runProgram(arguments, extras);

    for (std::ifstream pids(scratch.path() / "children"); pids;) {
        pid_t pid = 0;
        if (pids >> pid) kill(pid, SIGKILL);
    }
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_LT(run.secondsAfterLastOutput, 5.0);
    EXPECT_EQ(afterFirstLine(run.standardOutput), afterFirstLine(reference.standardOutput));
    const int pictures = linesStartingWith(reference.standardOutput, "saving grabbed file");
    ASSERT_GE(pictures, 6);
    const auto lines = logLines(extras / "pictures" / "tavomotion-pictures.csv");
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(pictures) + 1);
    for (int n = 0; n < pictures; ++n) {
        const std::string jpg = "pictures/tavo_" + std::to_string(n) + ".jpg";
        EXPECT_EQ(lines[n + 1][1], "pictures/tavo_" + std::to_string(n) + ".bmp");
        EXPECT_EQ(lines[n + 1][8], jpg);
        EXPECT_EQ(lines[n + 1][9], "saved");
        EXPECT_EQ(jpegSize(fileContent(extras / jpg)), "640x480") << jpg;
        if (n > 0) {
            EXPECT_GT(std::stod(lines[n + 1][3]), std::stod(lines[n][3]));
        }
    }
    EXPECT_EQ(fileContent(extras / "pictures" / "tavo_1.bmp"),
              fileContent(plain / "pictures" / "tavo_1.bmp"));
    EXPECT_NE(run.standardError.find("child saw pictures/tavo_1.bmp 1 pictures/tavo_1.jpg"),
              std::string::npos);
    EXPECT_NE(run.standardError.find("picture command for pictures/tavo_0.bmp exited with status 3"),
              std::string::npos);
    EXPECT_EQ(linesStartingWith(run.standardError, "picture command not run for"), pictures - 5);
    EXPECT_NE(run.standardError.find("4 picture commands still running, left to finish"), std::string::npos);
}

TEST(PictureExtrasRun, FullDiskIsLoggedAndAnUnwritableLogIsSaidEachTime) {
    ScratchDirectory scratch;
    const fs::path full = preparedCamera(scratch.path() / "full");
    const fs::path blocked = preparedCamera(scratch.path() / "blocked");
    fs::create_directory(blocked / "pictures" / "tavomotion-pictures.csv");
    fs::create_directory(scratch.path() / "kept");
    const PrivateMount mount = privateMount("mount -t tmpfs -o size=300k tavo-full pictures",
                                            "cp -a pictures/. " + shellQuoted(scratch.path() / "kept") + "/");
    std::vector<std::string> arguments = fastSceneFor("20");
    arguments.push_back("--picture-log");

    const ProgramRun unlogged = runProgram(arguments, blocked);
    EXPECT_EQ(unlogged.exitStatus, 0);
    const int pictures = linesStartingWith(unlogged.standardOutput, "saving grabbed file");
    EXPECT_EQ(linesStartingWith(unlogged.standardError, "picture log line not written: pictures/"), pictures);
    EXPECT_EQ(namesIn(blocked / "pictures").size(), static_cast<std::size_t>(pictures) + 1);

    if (mount.wrapper.empty()) GTEST_SKIP() << mount.unavailable;
    RunConditions conditions;
    conditions.wrapper = mount.wrapper;
    const ProgramRun run = runProgram(arguments, full, conditions);
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    const auto lines = logLines(scratch.path() / "kept" / "tavomotion-pictures.csv");
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(pictures) + 1);
    EXPECT_EQ(lines[1][9], "saved");
    for (std::size_t n = 2; n < lines.size(); ++n)
        EXPECT_EQ(lines[n][9],
                  "failed: pictures/tavo_" + std::to_string(n - 1) + ".bmp: No space left on device");
}

TEST(PictureExtrasRun, FilterGraphsThatGiveNoPictureAreUsageErrors) {
    ScratchDirectory scratch;
    for (const std::string graph : {"nosuchfilter", "crop=2000:2000", "transpose=cclock_flip,"}) {
        std::vector<std::string> arguments = fastSceneFor("5");
        arguments.insert(arguments.end(), {"--filter", graph});
        const ProgramRun run = runProgram(arguments, scratch.path());
        EXPECT_EQ(run.exitStatus, 2) << graph;
        EXPECT_EQ(run.standardOutput, "") << graph;
        EXPECT_NE(run.standardError.find("filter graph"), std::string::npos) << run.standardError;
    }
    std::vector<std::string> turned = fastSceneFor("30");
    turned.insert(turned.end(), {"--filter", "transpose=clock,crop=480:360", "--full-size"});
    const ProgramRun run = runProgram(turned, scratch.path());
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(jpegSize(fileContent(scratch.path() / "tavo_0.jpg")), "480x360");
}

}  // namespace
