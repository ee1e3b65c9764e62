#pragma once
// Reading back what a real X server shows (tests under xvfb-run).
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/winsys/canvas.h"

namespace testing_support {

// Standard output of a shell command, and whether it succeeded.
bool runCommand(const std::string& command, std::string& output);

// The X id of the top-level window with this name, or "" when none has it.
std::string xWindowNamed(const std::string& name);

// A screenshot of X window `id`, as RGB rows.
bool grabWindow(const std::string& id, const std::filesystem::path& file, png_image& image,
                std::vector<std::uint8_t>& pixels);

::testing::AssertionResult screenShowsCanvas(const png_image& image, const std::vector<std::uint8_t>& pixels,
                                             const platform::Canvas& canvas);

}  // namespace testing_support
