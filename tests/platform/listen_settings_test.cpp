// The web view's listening address and credentials file, as start-up reads them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/http/credentials_file.h"
#include "platform/http/listen_address.h"
#include "support/scratch_directory.h"

namespace {

using namespace platform::http;

std::string boundTo(const std::string& text) {
    std::string failure;
    const auto address = parseListenAddress(text, failure);
    if (!address) return "refused: " + failure;
    const int listener = openListener(*address, failure);
    if (listener < 0) return "not bound: " + failure;
    const std::string bound = boundAddressText(listener);
    ::close(listener);
    return bound.substr(0, bound.rfind(':'));
}

TEST(ListenAddress, ABarePortIsLoopbackOnlyAndBadAddressesAreRefused) {
    EXPECT_EQ(boundTo("0"), "127.0.0.1");
    EXPECT_EQ(boundTo("0.0.0.0:0"), "0.0.0.0");
    EXPECT_EQ(boundTo("[::]:0"), "[::]");
    for (const std::string bad : {"", "65536", "80x", "localhost:80", ":80", "[::1:80", "1.2.3:80", "-1"})
        EXPECT_EQ(boundTo(bad).rfind("refused: --listen", 0), 0u) << bad;

    std::string failure;
    const auto address = parseListenAddress("0", failure);
    const int first = openListener(*address, failure);
    const std::string taken = boundAddressText(first);
    EXPECT_EQ(boundTo(taken).rfind("not bound: ", 0), 0u);
    EXPECT_NE(boundTo(taken).find("Address already in use"), std::string::npos);
    ::close(first);
}

TEST(CredentialsFile, OnlyAnOwnerOnlyFileWithOneUserPasswordLineIsTaken) {
    testing_support::ScratchDirectory scratch;
    const auto read = [](const std::string& name, std::string& failure) {
        return readCredentialsFile(name, failure);
    };
    std::string failure;
    scratch.write("auth", "watcher:pass:word\n");
    ::chmod("auth", 0600);
    const auto credentials = read("auth", failure);
    ASSERT_TRUE(credentials) << failure;
    EXPECT_EQ(credentials->user, "watcher");
    EXPECT_EQ(credentials->password, "pass:word");

    ::chmod("auth", 0640);
    EXPECT_FALSE(read("auth", failure));
    EXPECT_NE(failure.find("may be read or written by others"), std::string::npos);
    ::chmod("auth", 0604);
    EXPECT_FALSE(read("auth", failure));
    EXPECT_FALSE(read("missing", failure));
    EXPECT_NE(failure.find("No such file"), std::string::npos);
    for (const std::string bad : {"nocolon\n", ":pass\n", "user:\n", "a:b\nc:d\n", ""}) {
        scratch.write("auth", bad);
        ::chmod("auth", 0600);
        EXPECT_FALSE(read("auth", failure)) << bad;
    }
}

}  // namespace
