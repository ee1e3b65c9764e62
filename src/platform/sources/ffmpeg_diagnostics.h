#pragma once
// How the FFmpeg sources speak: FFmpeg's own log and every problem of a source
// go to standard error, which keeps standard output for the console trace.
#include <string>

namespace platform {

// Registers the capture devices and routes FFmpeg's log; only the first call
// does anything.
void prepareFfmpeg();

// FFmpeg's text for one of its error codes.
std::string ffmpegErrorText(int code);

// One line on standard error: "<source>: <text>".
void reportSourceProblem(const std::string& source, const std::string& text);

}  // namespace platform
