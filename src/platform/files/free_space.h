#pragma once
// How much room the file system holding a directory has left.
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The bytes an ordinary user may still write on the file system of
// `directory` (the working directory when empty); nothing when it cannot be
// asked.
std::optional<std::int64_t> freeBytes(const std::string& directory);

// "16M", "2G": a whole number of bytes with K, M, G or T (1024-based); nothing
// for any other text, zero or a size past 8 EiB.
std::optional<std::int64_t> parseByteSize(const std::string& text);

// A size as parseByteSize reads it, in the largest unit that keeps it whole.
std::string byteSizeText(std::int64_t bytes);

}  // namespace platform
