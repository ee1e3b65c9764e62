#include "app/replay_progress.h"

#include <cmath>
#include <cstdio>

#include "app/app_state.h"
#include "platform/clock/clock.h"
#include "platform/vfw/driver_table.h"

namespace app {
namespace {

constexpr std::int64_t refreshNanoseconds = 250'000'000;
constexpr std::int64_t nanosecondsPerSecond = 1'000'000'000;

struct ProgressLine {
    bool on = false;
    bool shown = false;
    int driverIndex = 0;
    std::int64_t nextRefreshNanoseconds = 0;
    std::size_t shownLength = 0;
};

ProgressLine line;

// Minutes and seconds, "m:ss".
std::string minutesAndSeconds(std::int64_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return text;
}

double recordingLength() {
    const platform::CaptureDriver* driver = platform::driverAt(line.driverIndex);
    return driver != nullptr ? driver->source->recordingSeconds() : 0.0;
}

// The cursor is left where `ending` puts it: at the start of the line, so the
// next refresh and any other message on standard error write over the line,
// or on a new line.
void rewrite(char ending) {
    const std::string text = replayProgressText(platform::timelineElapsedNanoseconds().value_or(0),
                                                recordingLength(), picturesSaved);
    // Blanks cover what a longer earlier text left.
    const int cover = line.shownLength > text.size() ? static_cast<int>(line.shownLength - text.size()) : 0;
    std::fprintf(stderr, "%s%*s%c", text.c_str(), cover, "", ending);
    line.shownLength = text.size();
    line.shown = true;
}

}  // namespace

std::string replayProgressText(std::int64_t positionNanoseconds, double lengthSeconds,
                               std::int32_t pictures) {
    std::string text = "replay " + minutesAndSeconds(positionNanoseconds / nanosecondsPerSecond);
    if (lengthSeconds > 0.0) text += " of " + minutesAndSeconds(std::llround(lengthSeconds));
    text += ", " + std::to_string(pictures) + (pictures == 1 ? " picture" : " pictures") + " saved";
    return text;
}

void startReplayProgress(int driverIndex) {
    line = ProgressLine{};
    line.on = true;
    line.driverIndex = driverIndex;
}

void showReplayProgress() {
    if (!line.on) return;
    const std::int64_t now = platform::clock::realNanoseconds();
    if (now < line.nextRefreshNanoseconds) return;
    line.nextRefreshNanoseconds = now + refreshNanoseconds;
    rewrite('\r');
}

void endReplayProgress() {
    if (line.on && line.shown) rewrite('\n');
    line = ProgressLine{};
}

}  // namespace app
