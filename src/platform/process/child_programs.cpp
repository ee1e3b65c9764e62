#include "platform/process/child_programs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

extern "C" char** environ;

namespace platform {
namespace {

std::vector<std::string> environmentWith(const std::vector<std::string>& extra) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const std::string& own : extra)
            replaced = replaced || own.compare(0, name.size() + 1, name + "=") == 0;
        if (!replaced) entries.push_back(text);
    }
    entries.insert(entries.end(), extra.begin(), extra.end());
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

void reportEnd(const std::string& argument, int status) {
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return;
    if (WIFEXITED(status)) {
        std::fprintf(stderr, "picture command for %s exited with status %d\n", argument.c_str(),
                     WEXITSTATUS(status));
    } else if (WIFSIGNALED(status)) {
        std::fprintf(stderr, "picture command for %s ended by signal %d\n", argument.c_str(),
                     WTERMSIG(status));
    }
}

// How a command starts: its output joins our standard error (our standard
// output is the console text), nothing else of ours stays open in it (a pipe
// it held would keep a reader of our output waiting as long as it runs), and
// our own signal settings (SIGXFSZ ignored) are not its.
struct SpawnSettings {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;

    SpawnSettings() {
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
        posix_spawnattr_init(&attributes);
        sigset_t signals;
        sigfillset(&signals);
        posix_spawnattr_setsigdefault(&attributes, &signals);
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&attributes, &signals);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnSettings() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;
};

}  // namespace

bool ChildPrograms::start(const std::string& program, const std::string& argument,
                          const std::vector<std::string>& environment, std::string& failure) {
    reap();
    if (children_.size() >= limit_) {
        failure = std::to_string(limit_) + " picture commands are still running";
        return false;
    }
    const SpawnSettings settings;
    std::vector<std::string> arguments{program, argument};
    std::vector<std::string> entries = environmentWith(environment);
    std::vector<char*> argv = pointersTo(arguments);
    std::vector<char*> envp = pointersTo(entries);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, program.c_str(), &settings.actions, &settings.attributes,
                                   argv.data(), envp.data());
    if (error != 0) {
        failure = program + ": " + std::strerror(error);
        return false;
    }
    children_.push_back(Child{pid, argument});
    return true;
}

void ChildPrograms::reap() {
    for (auto child = children_.begin(); child != children_.end();) {
        int status = 0;
        const pid_t ended = waitpid(child->pid, &status, WNOHANG);
        if (ended == 0) {
            ++child;
            continue;
        }
        if (ended == child->pid) reportEnd(child->argument, status);
        child = children_.erase(child);
    }
}

}  // namespace platform
