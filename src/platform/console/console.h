#pragma once
// The console trace: formatted text to standard output, unbuffered, nothing
// else there. Tests redirect it into a string.
#include <string>

namespace platform::console {

// Makes standard output unbuffered, so every trace character shows at once.
void open();

// Prints formatted text exactly as printf would, to the console.
void print(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Sends the trace into `capture` instead of standard output (tests); null
// puts it back on standard output.
void captureInto(std::string* capture);

}  // namespace platform::console
