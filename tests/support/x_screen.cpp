#include "support/x_screen.h"

#include <cstdio>

#include "support/painted_window.h"

namespace testing_support {

using tavo_test::describe;
namespace fs = std::filesystem;

bool runCommand(const std::string& command, std::string& output) {
    output.clear();
    std::FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return false;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    return pclose(pipe) == 0;
}

std::string xWindowNamed(const std::string& name) {
    std::string output;
    if (!runCommand("xwininfo -name '" + name + "'", output)) return "";
    const std::size_t at = output.find("Window id: ");
    if (at == std::string::npos) return "";
    return output.substr(at + 11, output.find(' ', at + 11) - (at + 11));
}

bool grabWindow(const std::string& id, const fs::path& file, PngPicture& picture) {
    std::string output;
    if (!runCommand("import -silent -window " + id + " png24:" + file.string(), output)) return false;
    picture = readPng(file);
    return picture.read();
}

::testing::AssertionResult screenShowsCanvas(const PngPicture& picture, const platform::Canvas& canvas) {
    if (picture.width != canvas.width() || picture.height != canvas.height()) {
        return ::testing::AssertionFailure() << "screen window is " << picture.width << "x" << picture.height;
    }
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const std::uint8_t* p = picture.at(x, y);
            const platform::Rgb shown{p[0], p[1], p[2]};
            if (!(shown == canvas.pixel(x, y))) {
                return ::testing::AssertionFailure()
                       << "screen pixel (" << x << "," << y << ") is " << describe(shown) << ", canvas "
                       << describe(canvas.pixel(x, y));
            }
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace testing_support
