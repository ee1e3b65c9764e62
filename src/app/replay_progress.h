#pragma once
// How far a fast replay has got, on standard error when it is a terminal:
// position and length of the recording and the pictures saved, rewritten in
// place a few times a second of real time. Standard output never changes.
#include <cstdint>
#include <string>

namespace app {

// From now on the main loop's turns refresh the line for the recording behind
// driver `driverIndex`.
void startReplayProgress(int driverIndex);

// One main-loop turn: rewrites the line when its refresh is due. Off, or
// between refreshes, it costs one comparison or one read of the real clock.
void showReplayProgress();

// Rewrites the line one last time and ends it with a line feed; nothing when
// the line was never shown.
void endReplayProgress();

// The text of the line; a length of 0 stands for an unknown length.
std::string replayProgressText(std::int64_t positionNanoseconds, double lengthSeconds, std::int32_t pictures);

}  // namespace app
