#include "support/program_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
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

std::vector<std::string> commandLine(const std::vector<std::string>& arguments,
                                     const RunConditions& conditions) {
    std::vector<std::string> command = conditions.wrapper;
    command.push_back(programPath());
    command.insert(command.end(), arguments.begin(), arguments.end());
    return command;
}

void limitFileSize(const RunConditions& conditions) {
    if (!conditions.fileSizeLimit) return;
    const rlimit limit{*conditions.fileSizeLimit, *conditions.fileSizeLimit};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(125);
}

[[noreturn]] void becomeProgram(const std::vector<std::string>& command, const std::string& directory,
                                const RunConditions& conditions, int outputPipe, int errorPipe) {
    dup2(outputPipe, STDOUT_FILENO);
    dup2(errorPipe, STDERR_FILENO);
    const int nothing = open("/dev/null", O_RDONLY);
    dup2(nothing, STDIN_FILENO);
    if (chdir(directory.c_str()) != 0) _exit(126);
    limitFileSize(conditions);
    std::vector<char*> argv;
    for (const std::string& argument : command) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    unsetenv("DISPLAY");
    execvp(argv[0], argv.data());
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
                               const RunConditions& conditions, const int (&error)[2]) {
    const std::vector<std::string> command = commandLine(arguments, conditions);
    int output[2];
    ProgramRun run;
    if (pipe(output) != 0) return run;
    const pid_t child = fork();
    if (child == 0) becomeProgram(command, workingDirectory, conditions, output[1], error[1]);
    close(output[1]);
    close(error[1]);
    const auto started = std::chrono::steady_clock::now();
    auto lastOutput = started;
    bool outputOpen = true;
    bool errorOpen = true;
    bool stopped = false;
    auto stoppedAt = started;
    while (outputOpen || errorOpen) {
        pollfd descriptors[2] = {{output[0], POLLIN, 0}, {error[0], POLLIN, 0}};
        poll(descriptors, 2, 100);
        if (descriptors[0].revents != 0) {
            const std::size_t before = run.standardOutput.size();
            drain(output[0], run.standardOutput, outputOpen);
            if (run.standardOutput.size() != before) lastOutput = std::chrono::steady_clock::now();
        }
        if (descriptors[1].revents != 0) drain(error[0], run.standardError, errorOpen);
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (!stopped && conditions.stopAfterSeconds > 0 && elapsed > conditions.stopAfterSeconds) {
            kill(child, conditions.stopSignal);
            stopped = true;
            stoppedAt = std::chrono::steady_clock::now();
        }
    }
    close(output[0]);
    close(error[0]);
    int status = 0;
    waitpid(child, &status, 0);
    const auto ended = std::chrono::steady_clock::now();
    run.secondsAfterLastOutput = std::chrono::duration<double>(ended - lastOutput).count();
    if (stopped) run.secondsAfterStop = std::chrono::duration<double>(ended - stoppedAt).count();
    if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    return run;
}

}  // namespace

ProgramRun runProgram(const std::vector<std::string>& arguments, const std::string& workingDirectory,
                      double stopAfterSeconds) {
    RunConditions conditions;
    conditions.stopAfterSeconds = stopAfterSeconds;
    return runProgram(arguments, workingDirectory, conditions);
}

ProgramRun runProgram(const std::vector<std::string>& arguments, const std::string& workingDirectory,
                      const RunConditions& conditions) {
    int error[2];
    if (pipe(error) != 0) return {};
    return runWithErrorChannel(arguments, workingDirectory, conditions, error);
}

ProgramRun runProgramWithErrorOnTerminal(const std::vector<std::string>& arguments,
                                         const std::string& workingDirectory) {
    // The terminal side reads as closed (EIO) once the program has ended.
    int terminal[2];
    if (openpty(&terminal[0], &terminal[1], nullptr, nullptr, nullptr) != 0) return {};
    return runWithErrorChannel(arguments, workingDirectory, RunConditions{}, terminal);
}

}  // namespace testing_support
