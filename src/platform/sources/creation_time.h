#pragma once
// When a recording was made, as its container states it in the metadata
// key creation_time (ISO 8601, as FFmpeg writes it:
// 2024-05-01T10:15:00.000000Z, or with an offset such as +02:00).
#include <optional>
#include <string>

namespace platform {

// Seconds since the epoch; empty when the text is no such time.
std::optional<double> parseCreationTime(const std::string& text);

}  // namespace platform
