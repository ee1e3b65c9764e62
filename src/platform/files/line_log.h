#pragma once
// A text log that only ever grows by whole lines: each line is one append
// to the file, so a crash leaves whole lines, and another process reading it
// meanwhile never sees half of one.
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

struct LineLog {
    std::string path;
    std::string header;  // the first line of a new file
    // At this size the file is renamed to PATH.1 (replacing an older one)
    // and a new one started; no limit when empty.
    std::optional<std::int64_t> rotateAtBytes;
};

// Appends `line` (with its newline). False, with the path and the reason in
// `failure`, when it was not written whole.
bool appendLine(const LineLog& log, const std::string& line, std::string& failure);

}  // namespace platform
