#pragma once
// Pieces of JSON text.
#include <cstdint>
#include <string>

namespace app::web {

// `text` as a JSON string, quotes included; control characters and bytes
// that are not UTF-8 text escaped.
std::string jsonString(const std::string& text);

// A time in seconds since 1970 as "YYYY-MM-DDThh:mm:ssZ" (UTC).
std::string utcTime(std::int64_t seconds);

}  // namespace app::web
