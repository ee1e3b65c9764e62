#include "platform/sources/creation_time.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace platform {
namespace {

// The zone after the seconds: Z, +hh:mm, -hh:mm, +hhmm or nothing (taken
// as UTC, which is what cameras and FFmpeg write); false for anything else.
bool zoneOffset(const char* zone, int& seconds) {
    seconds = 0;
    if (*zone == '\0' || (zone[0] == 'Z' && zone[1] == '\0')) return true;
    int hours = 0, minutes = 0, used = 0;
    const char sign = zone[0];
    if (sign != '+' && sign != '-') return false;
    if (std::sscanf(zone + 1, "%2d:%2d%n", &hours, &minutes, &used) != 2 &&
        std::sscanf(zone + 1, "%2d%2d%n", &hours, &minutes, &used) != 2)
        return false;
    if (zone[1 + used] != '\0' || hours > 23 || minutes > 59) return false;
    seconds = (sign == '-' ? -1 : 1) * (hours * 3600 + minutes * 60);
    return true;
}

}  // namespace

std::optional<double> parseCreationTime(const std::string& text) {
    std::tm utc{};
    int used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%*1[T ]%2d:%2d:%2d%n", &utc.tm_year, &utc.tm_mon, &utc.tm_mday,
                    &utc.tm_hour, &utc.tm_min, &utc.tm_sec, &used) != 6 ||
        used == 0)
        return std::nullopt;
    if (utc.tm_mon < 1 || utc.tm_mon > 12 || utc.tm_mday < 1 || utc.tm_mday > 31 || utc.tm_hour > 23 ||
        utc.tm_min > 59 || utc.tm_sec > 60)
        return std::nullopt;
    const char* rest = text.c_str() + used;
    double fraction = 0;
    if (*rest == '.') {
        char* end = nullptr;
        fraction = std::strtod(rest, &end);
        if (end == rest + 1) return std::nullopt;
        rest = end;
    }
    int offset = 0;
    if (!zoneOffset(rest, offset)) return std::nullopt;
    utc.tm_year -= 1900;
    utc.tm_mon -= 1;
    const std::time_t seconds = timegm(&utc);
    return static_cast<double>(seconds) + fraction - offset;
}

}  // namespace platform
