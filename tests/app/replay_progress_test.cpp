#include "app/replay_progress.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "support/program_runner.h"
#include "support/scratch_directory.h"

namespace {

using testing_support::ScratchDirectory;

TEST(ReplayProgressText, PositionLengthAndPictures) {
    EXPECT_EQ(app::replayProgressText(0, 20.0, 0), "replay 0:00 of 0:20, 0 pictures saved");
    EXPECT_EQ(app::replayProgressText(125'900'000'000, 3600.0, 1), "replay 2:05 of 60:00, 1 picture saved");
    EXPECT_EQ(app::replayProgressText(59'999'999'999, 32.86, 12), "replay 0:59 of 0:33, 12 pictures saved");
}

TEST(ReplayProgressText, UnknownLengthIsLeftOut) {
    EXPECT_EQ(app::replayProgressText(5'000'000'000, 0.0, 2), "replay 0:05, 2 pictures saved");
}

int occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// The pictures count of the last progress text, -1 when there is none.
int lastPicturesShown(const std::string& error) {
    static const std::regex progress("replay [0-9]+:[0-9]{2} of 0:20, ([0-9]+) pictures? saved");
    int pictures = -1;
    for (std::sregex_iterator match(error.begin(), error.end(), progress), end; match != end; ++match) {
        pictures = std::stoi((*match)[1]);
    }
    return pictures;
}

TEST(ReplayProgress, OnATerminalOnlyAndNeverOnStandardOutput) {
    const std::vector<std::string> arguments = {"0", "--source", "synthetic:3:frames=500", "--fast",
                                                "--headless"};
    testing_support::ProgramRun onTerminal;
    testing_support::ProgramRun onPipe;
    {
        ScratchDirectory directory;
        onTerminal = testing_support::runProgramWithErrorOnTerminal(arguments, directory.path().string());
    }
    {
        ScratchDirectory directory;
        onPipe = testing_support::runProgram(arguments, directory.path().string());
    }
    ASSERT_EQ(onTerminal.exitStatus, 0);
    ASSERT_EQ(onPipe.exitStatus, 0);
    EXPECT_EQ(onTerminal.standardOutput, onPipe.standardOutput);
    EXPECT_EQ(onPipe.standardError.find("replay"), std::string::npos);

    const int saved = occurrences(onPipe.standardOutput, "saving grabbed file [");
    ASSERT_GT(saved, 0);
    EXPECT_EQ(lastPicturesShown(onTerminal.standardError), saved);
    // Each refresh returns to the start of its line; the last one, at the end
    // of the run, ends it (blanks cover the rest of a longer text before it).
    const std::string& error = onTerminal.standardError;
    EXPECT_TRUE(std::regex_search(error, std::regex("^replay 0:[0-9]{2} of 0:20, 0 pictures saved\r")))
        << error;
    ASSERT_NE(error.rfind("replay"), std::string::npos);
    const std::string last = error.substr(error.rfind("replay"));
    EXPECT_TRUE(std::regex_search(last, std::regex("^replay 0:19 of 0:20, [0-9]+ pictures? saved *\r\n")))
        << last;
}

}  // namespace
