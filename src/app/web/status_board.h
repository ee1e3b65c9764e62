#pragma once
// The running figures of the watching loop, posted for the web view without
// waiting (a post that finds the board busy is dropped; the next one comes
// a fifth of a second later) and read by the server's threads.
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/vfw/source_health.h"

namespace app::web {

struct RunningFigures {
    std::int32_t frameNumber = 0;
    std::int32_t framesPerSecond = 0;
    std::string title;
    std::string state;
    std::string mode;  // "default", "cars only" or "every vehicle"
    std::string source;
    int driverIndex = 0;
    platform::SourceHealth health;
    std::int32_t picturesSaved = 0;
    std::string lastPicture;    // tavo_N.bmp, empty before the first
    std::string saveDirectory;  // where the pictures are, "." for here
};

// The figures of the program as they stand (the watching loop's thread).
RunningFigures currentFigures();

// A source as it may be shown: a URL's user and password left out.
std::string shownSource(const std::string& description);

class StatusBoard {
public:
    void post(RunningFigures figures);
    // False until the first post.
    bool read(RunningFigures& figures);

private:
    std::mutex mutex_;
    bool posted_ = false;
    RunningFigures figures_;
};

}  // namespace app::web
