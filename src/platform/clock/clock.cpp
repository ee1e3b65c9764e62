#include "platform/clock/clock.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace platform::clock {
namespace {

// Plain values with constant initialisation: the clock must still answer while
// exit-time destructors run.
Kind clockKind = Kind::real;
std::int64_t virtualNanoseconds = 0;
std::int64_t realOriginNanoseconds = 0;
bool realOriginTaken = false;
std::atomic<bool> stopAsked = false;
static_assert(std::atomic<bool>::is_always_lock_free, "the stop is asked for from a signal handler");
void (*sleepWatcher)() = nullptr;
constexpr std::int64_t watchIntervalNanoseconds = 50'000'000;

std::int64_t steadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

std::int64_t realNanoseconds() {
    if (!realOriginTaken) {
        realOriginNanoseconds = steadyNanoseconds();
        realOriginTaken = true;
    }
    return steadyNanoseconds() - realOriginNanoseconds;
}

namespace {

// The real origin is taken as early as possible, so "since program start" holds.
[[maybe_unused]] const std::int64_t takeOriginAtStart = realNanoseconds();

// Sleeps on the real clock until `deadline`, in slices short enough that a
// stop ends the sleep within one of them.
void sleepRealUntil(std::int64_t deadline) {
    for (;;) {
        if (stopAsked) return;
        const std::int64_t wait = deadline - realNanoseconds();
        if (wait <= 0) return;
        std::this_thread::sleep_for(std::chrono::nanoseconds(std::min(wait, watchIntervalNanoseconds)));
        if (wait > watchIntervalNanoseconds && sleepWatcher != nullptr) sleepWatcher();
    }
}

}  // namespace

void select(Kind kind) { clockKind = kind; }

Kind selected() { return clockKind; }

std::int64_t nowNanoseconds() {
    return clockKind == Kind::virtualTime ? virtualNanoseconds : realNanoseconds();
}

void sleepMilliseconds(std::int64_t milliseconds) {
    if (milliseconds <= 0) return;
    if (clockKind == Kind::virtualTime) {
        virtualNanoseconds += milliseconds * 1'000'000;
        return;
    }
    sleepRealUntil(realNanoseconds() + milliseconds * 1'000'000);
}

void sleepUntil(std::int64_t nanoseconds) {
    if (clockKind == Kind::virtualTime) {
        if (nanoseconds > virtualNanoseconds) virtualNanoseconds = nanoseconds;
        return;
    }
    sleepRealUntil(nanoseconds);
}

void requestStop() { stopAsked = true; }

bool stopRequested() { return stopAsked; }

void watchDuringSleeps(void (*watch)()) { sleepWatcher = watch; }

void resetClock() {
    clockKind = Kind::real;
    virtualNanoseconds = 0;
    stopAsked = false;
}

}  // namespace platform::clock
