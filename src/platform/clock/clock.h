#pragma once
// The one source of time for the whole program. Everything that reads the time
// or sleeps goes through here, so a recorded source can be replayed on a
// virtual clock: deterministic and as fast as the CPU allows.
#include <cstdint>

namespace platform::clock {

enum class Kind { real, virtualTime };

// Chooses the clock for the run; call before anything reads the time.
void select(Kind kind);
Kind selected();

// Nanoseconds since program start. Never goes backwards.
std::int64_t nowNanoseconds();

// Nanoseconds of real time since program start, whichever clock is selected:
// for what must keep pace with the operator's wall clock even in a fast replay.
std::int64_t realNanoseconds();

// Real: really sleeps, unless a stop is asked for. Virtual: adds to the count
// and returns at once.
void sleepMilliseconds(std::int64_t milliseconds);

// Real: sleeps until the count reaches `nanoseconds`, unless a stop is asked
// for. Virtual: sets the count to it. A time in the past leaves the clock
// where it is.
void sleepUntil(std::int64_t nanoseconds);

// The operator's stop (a termination signal, the window closed): from then on
// no real sleep lasts longer than a moment, so every pause and every retry
// ends. The virtual clock is not touched. Safe in a signal handler.
void requestStop();
bool stopRequested();

// Called about every 50 ms while a real sleep lasts, so what can ask for a
// stop (the window's events) is heard in the middle of a long pause.
void watchDuringSleeps(void (*watch)());

// Back to a real clock at 0, no stop asked for (tests).
void resetClock();

}  // namespace platform::clock
