#pragma once
// Reading back what a real X server shows (tests under xvfb-run).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/winsys/canvas.h"
#include "support/png_picture.h"

namespace testing_support {

// Standard output of a shell command, and whether it succeeded.
bool runCommand(const std::string& command, std::string& output);

// The X id of the top-level window with this name, or "" when none has it.
std::string xWindowNamed(const std::string& name);

// A screenshot of X window `id`, as RGB rows.
bool grabWindow(const std::string& id, const std::filesystem::path& file, PngPicture& picture);

::testing::AssertionResult screenShowsCanvas(const PngPicture& picture, const platform::Canvas& canvas);

}  // namespace testing_support
