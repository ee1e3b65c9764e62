#pragma once
// A PNG file read back with libpng, as 8-bit RGB rows, for checking what a
// writer or a screen put in it pixel by pixel.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct PngPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    std::string error;  // why it could not be read; empty when it was
    bool read() const { return error.empty(); }
    // The red, green and blue of (x, y).
    const std::uint8_t* at(int x, int y) const {
        return &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)) *
                    3];
    }
};

PngPicture readPng(const std::filesystem::path& path);

}  // namespace testing_support
