#include "platform/console/console.h"

#include <cstdarg>
#include <cstdio>

namespace platform::console {
namespace {

std::string* captured = nullptr;

void write(const char* text, std::size_t length) {
    if (captured != nullptr) {
        captured->append(text, length);
        return;
    }
    std::fwrite(text, 1, length, stdout);
}

}  // namespace

void open() { std::setvbuf(stdout, nullptr, _IONBF, 0); }

void print(const char* format, ...) {
    // The trace lines are short; a stack buffer keeps the frame path free of
    // allocations, and a longer text is formatted a second time at full size.
    char line[1024];
    va_list arguments;
    va_start(arguments, format);
    va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    if (length < 0) {
        va_end(again);
        return;
    }
    if (static_cast<std::size_t>(length) < sizeof line) {
        write(line, static_cast<std::size_t>(length));
    } else {
        std::string whole(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(whole.data(), whole.size(), format, again);
        write(whole.data(), static_cast<std::size_t>(length));
    }
    va_end(again);
}

void captureInto(std::string* capture) { captured = capture; }

}  // namespace platform::console
