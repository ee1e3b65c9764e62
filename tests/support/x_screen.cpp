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

bool grabWindow(const std::string& id, const fs::path& file, png_image& image,
                std::vector<std::uint8_t>& pixels) {
    std::string output;
    if (!runCommand("import -silent -window " + id + " png24:" + file.string(), output)) return false;
    image = {};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, file.c_str()) == 0) return false;
    image.format = PNG_FORMAT_RGB;
    pixels.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
}

::testing::AssertionResult screenShowsCanvas(const png_image& image, const std::vector<std::uint8_t>& pixels,
                                             const platform::Canvas& canvas) {
    if (image.width != static_cast<png_uint_32>(canvas.width()) ||
        image.height != static_cast<png_uint_32>(canvas.height())) {
        return ::testing::AssertionFailure() << "screen window is " << image.width << "x" << image.height;
    }
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * canvas.width() + x) * 3];
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
