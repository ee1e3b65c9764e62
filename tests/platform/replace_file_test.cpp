#include "platform/files/replace_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "support/scratch_directory.h"

namespace {

using namespace platform;
using testing_support::ScratchDirectory;
namespace fs = std::filesystem;

const std::vector<std::uint8_t> content{'n', 'e', 'w', ' ', 'b', 'y', 't', 'e', 's'};

std::vector<std::string> namesIn(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename());
    return names;
}

TEST(ReplaceFile, ATemporaryFileLeftByACrashIsWrittenOverNotInTheWay) {
    ScratchDirectory scratch;
    fs::create_directory("pictures");
    const std::string stale = temporaryNameFor("pictures/tavo_4.bmp");
    EXPECT_EQ(stale.rfind("pictures/.", 0), 0u) << "hidden, beside the final name: " << stale;
    scratch.write(stale, std::string(100000, 'x'));
    std::string failure;
    ASSERT_TRUE(replaceFile("pictures/tavo_4.bmp", {ByteChunk(content)}, Durability::synced, failure))
        << failure;
    EXPECT_EQ(scratch.read("pictures/tavo_4.bmp"), "new bytes");
    EXPECT_EQ(namesIn("pictures"), std::vector<std::string>{"tavo_4.bmp"});
}

TEST(ReplaceFile, ChunksAreWrittenInOrderAndReplaceTheEarlierFile) {
    ScratchDirectory scratch;
    scratch.write("image.pgm", "an earlier and longer content");
    const std::vector<std::uint8_t> tail{'!', '\n'};
    std::string failure;
    ASSERT_TRUE(
        replaceFile("image.pgm", {ByteChunk(content), ByteChunk(tail)}, Durability::renamed, failure));
    EXPECT_EQ(scratch.read("image.pgm"), "new bytes!\n");
    EXPECT_EQ(namesIn(scratch.path()), std::vector<std::string>{"image.pgm"});
}

TEST(ReplaceFile, AFullFileSizeLimitKeepsTheEarlierFileAndSaysWhy) {
    ScratchDirectory scratch;
    scratch.write("image.pgm", "earlier");
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = previous;
    limit.rlim_cur = 4;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string failure;
    const bool written = replaceFile("image.pgm", {ByteChunk(content)}, Durability::renamed, failure);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(failure, "image.pgm: File too large");
    EXPECT_EQ(scratch.read("image.pgm"), "earlier");
    EXPECT_EQ(namesIn(scratch.path()), std::vector<std::string>{"image.pgm"});
}

}  // namespace
