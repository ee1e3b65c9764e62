#include "platform/clock/clock.h"

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
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void sleepUntil(std::int64_t nanoseconds) {
    if (clockKind == Kind::virtualTime) {
        if (nanoseconds > virtualNanoseconds) virtualNanoseconds = nanoseconds;
        return;
    }
    const std::int64_t wait = nanoseconds - realNanoseconds();
    if (wait > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(wait));
}

void resetClock() {
    clockKind = Kind::real;
    virtualNanoseconds = 0;
}

}  // namespace platform::clock
