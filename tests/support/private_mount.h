#pragma once
// Runs the program in a private mount namespace set up by a few shell lines,
// so a test can give it a read-only or a full file system; as root through
// `unshare --mount`, otherwise also in a user namespace of its own
// (`unshare --mount --map-root-user`). Nothing is mounted outside.
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

struct PrivateMount {
    // The wrapper for RunConditions; empty when this machine cannot, with the
    // reason in `unavailable`.
    std::vector<std::string> wrapper;
    std::string unavailable;
};

// `setup` runs first (any failing line stops the run with status 125); then
// the program, as a child of the shell (so a signal for the run does not
// reach it); then `afterwards`, still inside the namespace, e.g. to copy out
// what a private file system holds. The run ends with the program's status.
PrivateMount privateMount(const std::string& setup, const std::string& afterwards = "");

// `text` quoted for the shell.
std::string shellQuoted(const std::string& text);

}  // namespace testing_support
