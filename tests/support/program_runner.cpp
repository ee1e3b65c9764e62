#include "support/program_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

namespace testing_support {
namespace {

void drain(int descriptor, std::string& into, bool& open) {
    char buffer[65536];
    const ssize_t count = read(descriptor, buffer, sizeof buffer);
    if (count > 0) {
        into.append(buffer, static_cast<std::size_t>(count));
    } else if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
        open = false;
    }
}

[[noreturn]] void becomeProgram(const std::vector<std::string>& arguments, const std::string& directory,
                                int outputPipe, int errorPipe) {
    dup2(outputPipe, STDOUT_FILENO);
    dup2(errorPipe, STDERR_FILENO);
    const int nothing = open("/dev/null", O_RDONLY);
    dup2(nothing, STDIN_FILENO);
    if (chdir(directory.c_str()) != 0) _exit(126);
    std::vector<char*> argv;
    std::string program = programPath();
    argv.push_back(program.data());
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    unsetenv("DISPLAY");
    execv(program.c_str(), argv.data());
    _exit(127);
}

}  // namespace

std::string programPath() {
#ifdef TAVO_PROGRAM
    return TAVO_PROGRAM;
#else
    return "tavomotion";
#endif
}

namespace {

// Runs the program with standard error on `error` ({read end, write end}).
ProgramRun runWithErrorChannel(const std::vector<std::string>& arguments, const std::string& workingDirectory,
                               double stopAfterSeconds, const int (&error)[2]) {
    int output[2];
    ProgramRun run;
    if (pipe(output) != 0) return run;
    const pid_t child = fork();
    if (child == 0) becomeProgram(arguments, workingDirectory, output[1], error[1]);
    close(output[1]);
    close(error[1]);
    const auto started = std::chrono::steady_clock::now();
    bool outputOpen = true;
    bool errorOpen = true;
    bool stopped = false;
    while (outputOpen || errorOpen) {
        pollfd descriptors[2] = {{output[0], POLLIN, 0}, {error[0], POLLIN, 0}};
        poll(descriptors, 2, 100);
        if (descriptors[0].revents != 0) drain(output[0], run.standardOutput, outputOpen);
        if (descriptors[1].revents != 0) drain(error[0], run.standardError, errorOpen);
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (!stopped && stopAfterSeconds > 0 && elapsed > stopAfterSeconds) {
            kill(child, SIGTERM);
            stopped = true;
        }
    }
    close(output[0]);
    close(error[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    return run;
}

}  // namespace

ProgramRun runProgram(const std::vector<std::string>& arguments, const std::string& workingDirectory,
                      double stopAfterSeconds) {
    int error[2];
    if (pipe(error) != 0) return {};
    return runWithErrorChannel(arguments, workingDirectory, stopAfterSeconds, error);
}

ProgramRun runProgramWithErrorOnTerminal(const std::vector<std::string>& arguments,
                                         const std::string& workingDirectory) {
    // The terminal side reads as closed (EIO) once the program has ended.
    int terminal[2];
    if (openpty(&terminal[0], &terminal[1], nullptr, nullptr, nullptr) != 0) return {};
    return runWithErrorChannel(arguments, workingDirectory, 0, terminal);
}

}  // namespace testing_support
