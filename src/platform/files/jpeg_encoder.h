#pragma once
// Pictures as JPEG bytes in memory, for files and for the network alike.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Rows of 24-bit pixels in memory. `stride` is the distance in bytes from
// one row to the next as shown (negative for a bottom-up DIB, whose `first`
// row is then its last in memory).
struct PixelRows {
    const std::uint8_t* first;
    int width;
    int height;
    long stride;
    bool bgr;  // byte order blue, green, red (a DIB) rather than red, green, blue
};

// Baseline JPEG, 4:2:0, at `quality` 1..100 on libjpeg's scale. Empty, with
// the reason in `failure`, when the rows cannot be encoded.
std::vector<std::uint8_t> encodeJpeg(const PixelRows& rows, int quality, std::string& failure);

}  // namespace platform
