#pragma once
// Runs the built program as a child process, in a given working directory,
// and collects what it printed and how it ended.
#include <sys/resource.h>

#include <csignal>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

struct ProgramRun {
    std::string standardOutput;
    std::string standardError;
    int exitStatus = -1;  // the status passed to exit, 0..255
    int signal = 0;       // the signal that ended it, if any
    // Real time from the last output on standard output to the end of the
    // process: how long it took to end after its last trace line.
    double secondsAfterLastOutput = 0;
    // Real time from the stop signal to the end of the process; negative
    // when no signal was sent.
    double secondsAfterStop = -1;
};

struct RunConditions {
    // A command the program is started through, e.g. one that sets up a
    // private mount first; it gets the program and its arguments after its own.
    std::vector<std::string> wrapper;
    // RLIMIT_FSIZE of the child, in bytes.
    std::optional<rlim_t> fileSizeLimit;
    // When positive, `stopSignal` is sent after that many seconds of real time.
    double stopAfterSeconds = 0;
    int stopSignal = SIGTERM;
};

// `stopAfterSeconds`, when positive, sends SIGTERM after that many seconds of
// real time (the program must then end through its normal path).
ProgramRun runProgram(const std::vector<std::string>& arguments, const std::string& workingDirectory,
                      double stopAfterSeconds = 0);

ProgramRun runProgram(const std::vector<std::string>& arguments, const std::string& workingDirectory,
                      const RunConditions& conditions);

// The same, with standard error on a pseudo-terminal (what the program then
// writes there arrives with the terminal's line endings, "\r\n").
ProgramRun runProgramWithErrorOnTerminal(const std::vector<std::string>& arguments,
                                         const std::string& workingDirectory);

// The path of the built program.
std::string programPath();

}  // namespace testing_support
