#include "support/private_mount.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace testing_support {
namespace {

std::vector<std::string> unshareCommand() {
    std::vector<std::string> command{"unshare", "--mount"};
    if (geteuid() != 0) command.emplace_back("--map-root-user");
    return command;
}

std::string joinedForShell(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) line += shellQuoted(word) + " ";
    return line;
}

// Whether a tmpfs can be mounted in a private namespace here: containers
// without CAP_SYS_ADMIN and kernels without user namespaces cannot.
std::string probeUnavailable() {
    char directory[] = "/tmp/tavo-mount-probe-XXXXXX";
    if (mkdtemp(directory) == nullptr) return "no temporary directory for the mount probe";
    const std::string probe = joinedForShell(unshareCommand()) + "sh -c " +
                              shellQuoted("mount -t tmpfs -o size=16k tavo-probe " + shellQuoted(directory)) +
                              " >/dev/null 2>&1";
    const int status = std::system(probe.c_str());
    std::filesystem::remove(directory);
    if (status == 0) return "";
    return "no private mount namespace here (unshare --mount" +
           std::string(geteuid() == 0 ? "" : " --map-root-user") +
           " failed; it needs util-linux and root with CAP_SYS_ADMIN or unprivileged user namespaces)";
}

}  // namespace

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

PrivateMount privateMount(const std::string& setup, const std::string& afterwards) {
    static const std::string unavailable = probeUnavailable();
    if (!unavailable.empty()) return {{}, unavailable};
    // `cd "$PWD"` takes the working directory again through any mount set up on it.
    const std::string script = "(set -e\n" + setup + "\n) || exit 125\ncd \"$PWD\" || exit 125\n\"$@\"\n" +
                               "status=$?\n" + afterwards + "\nexit $status\n";
    std::vector<std::string> wrapper = unshareCommand();
    wrapper.insert(wrapper.end(), {"sh", "-c", script, "tavo-fault"});
    return {wrapper, ""};
}

}  // namespace testing_support
