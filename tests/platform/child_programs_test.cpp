// Programs started for pictures: reported when they fail or cannot start,
// their output on standard error only, never more than the limit at once,
// and collected once they end.
#include "platform/process/child_programs.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace {

using platform::ChildPrograms;

void reapAll(ChildPrograms& children) {
    for (int wait = 0; wait < 500 && children.running() > 0; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        children.reap();
    }
}

TEST(ChildPrograms, FailuresAreSaidAndOutputGoesToStandardErrorOnly) {
    ChildPrograms children(4);
    std::string failure;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(children.start("false", "tavo_1.bmp", {}, failure)) << failure;
    EXPECT_TRUE(children.start("printenv", "TAVO_NUMBER", {"TAVO_NUMBER=41"}, failure)) << failure;
    EXPECT_FALSE(children.start("/no/such/program", "tavo_2.bmp", {}, failure));
    // What the program ignores (SIGXFSZ) the command does not.
    const auto ignoring = std::signal(SIGXFSZ, SIG_IGN);
    EXPECT_TRUE(children.start("cat", "/proc/self/status", {}, failure)) << failure;
    std::signal(SIGXFSZ, ignoring);
    reapAll(children);
    const std::string output = testing::internal::GetCapturedStdout();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(output, "");
    EXPECT_NE(errors.find("41\n"), std::string::npos) << errors;
    const std::size_t ignored = errors.find("SigIgn:\t");
    ASSERT_NE(ignored, std::string::npos) << errors;
    EXPECT_EQ(std::stoull(errors.substr(ignored + 8, 16), nullptr, 16) & (1ull << (SIGXFSZ - 1)), 0u);
    EXPECT_NE(errors.find("picture command for tavo_1.bmp exited with status 1"), std::string::npos)
        << errors;
    EXPECT_NE(failure.find("/no/such/program: No such file or directory"), std::string::npos) << failure;
    EXPECT_EQ(children.running(), 0u);
}

TEST(ChildPrograms, NoMoreThanTheLimitRunAndEndedOnesAreCollected) {
    ChildPrograms children(2);
    std::string failure;
    EXPECT_TRUE(children.start("sleep", "0.3", {}, failure));
    EXPECT_TRUE(children.start("sleep", "0.3", {}, failure));
    EXPECT_FALSE(children.start("sleep", "0.3", {}, failure));
    EXPECT_EQ(failure, "2 picture commands are still running");
    EXPECT_EQ(children.running(), 2u);
    reapAll(children);
    EXPECT_EQ(children.running(), 0u);
    // Collected: no child of this process is left to wait for.
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_TRUE(children.start("true", "", {}, failure)) << failure;
    reapAll(children);
}

}  // namespace
