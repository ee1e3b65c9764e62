#pragma once
// Runs the built program as a child process, in a given working directory,
// and collects what it printed and how it ended.
#include <string>
#include <vector>

namespace testing_support {

struct ProgramRun {
    std::string standardOutput;
    std::string standardError;
    int exitStatus = -1;   // the status passed to exit, 0..255
    int signal = 0;        // the signal that ended it, if any
};

// `stopAfterSeconds`, when positive, sends SIGTERM after that many seconds of
// real time (the program must then end through its normal path).
ProgramRun runProgram(const std::vector<std::string>& arguments, const std::string& workingDirectory,
                      double stopAfterSeconds = 0);

// The same, with standard error on a pseudo-terminal (what the program then
// writes there arrives with the terminal's line endings, "\r\n").
ProgramRun runProgramWithErrorOnTerminal(const std::vector<std::string>& arguments,
                                         const std::string& workingDirectory);

// The path of the built program.
std::string programPath();

}  // namespace testing_support
