#include "platform/winsys/screen_window.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

enum class Video { notStarted, running, unavailable };

// Once started, video runs until the process ends: unloading its drivers
// mid-run buys nothing and loses their memory.
Video video = Video::notStarted;

// Standard output carries the program's console trace only.
void logToStandardError(void*, int, SDL_LogPriority, const char* message) {
    std::fprintf(stderr, "SDL: %s\n", message);
}

bool setIn(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

bool absolutePathIn(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/';
}

// The SDL video drivers of the displays the environment names, in SDL's own
// order. Left to itself, SDL tries every driver it has: its Wayland probe
// makes the Wayland client library print an error on standard error when no
// runtime directory is set, and without any display it ends on its in-memory
// "offscreen" driver, a window nobody sees. A Wayland socket needs an
// absolute WAYLAND_DISPLAY, or XDG_RUNTIME_DIR to find it in.
std::string displayDrivers() {
    std::string drivers;
    if (setIn("DISPLAY")) drivers = "x11";
    if (setIn("WAYLAND_SOCKET") || absolutePathIn("WAYLAND_DISPLAY") || absolutePathIn("XDG_RUNTIME_DIR"))
        drivers += drivers.empty() ? "wayland" : ",wayland";
    return drivers;
}

void reportNoDisplay(const char* reason) {
    std::fprintf(stderr, "tavomotion: no display (%s): the window stays off-screen\n", reason);
}

bool startVideo() {
    if (video == Video::notStarted) {
        video = Video::unavailable;
        // SDL_VIDEODRIVER names the user's choice, which SDL then follows.
        if (!setIn("SDL_VIDEODRIVER")) {
            const std::string drivers = displayDrivers();
            if (drivers.empty()) {
                reportNoDisplay("neither DISPLAY nor a Wayland socket is set");
                return false;
            }
            SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
        }
        SDL_LogSetOutputFunction(logToStandardError, nullptr);
        // The window core turns SIGINT and SIGTERM into close requests itself.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // A canvas copied to the window as it is: no GPU driver needed.
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            video = Video::running;
        } else {
            reportNoDisplay(SDL_GetError());
        }
    }
    return video == Video::running;
}

}  // namespace

std::unique_ptr<ScreenWindow> ScreenWindow::open(const std::string& title, int width, int height) {
    if (!startVideo()) return nullptr;
    SDL_Window* window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                          width, height, SDL_WINDOW_SHOWN);
    SDL_Renderer* renderer = window == nullptr ? nullptr : SDL_CreateRenderer(window, -1, 0);
    SDL_Texture* texture =
        renderer == nullptr
            ? nullptr
            : SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (texture == nullptr) {
        std::fprintf(stderr, "tavomotion: cannot show the window (%s): it stays off-screen\n",
                     SDL_GetError());
        if (renderer != nullptr) SDL_DestroyRenderer(renderer);
        if (window != nullptr) SDL_DestroyWindow(window);
        return nullptr;
    }
    return std::unique_ptr<ScreenWindow>(new ScreenWindow(window, renderer, texture));
}

ScreenWindow::ScreenWindow(SDL_Window* window, SDL_Renderer* renderer, SDL_Texture* texture)
    : window_(window), renderer_(renderer), texture_(texture) {}

ScreenWindow::~ScreenWindow() {
    SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
}

std::uint32_t ScreenWindow::id() const { return SDL_GetWindowID(window_); }

void ScreenWindow::setTitle(const std::string& title) { SDL_SetWindowTitle(window_, title.c_str()); }

bool ScreenWindow::isOutOfSight() const {
    return (SDL_GetWindowFlags(window_) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0;
}

void ScreenWindow::show(const Canvas& canvas) {
    int width = 0;
    int height = 0;
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_QueryTexture(texture_, nullptr, nullptr, &width, &height) != 0 ||
        SDL_LockTexture(texture_, nullptr, &pixels, &pitch) != 0) {
        return;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(std::min(width, canvas.width())) * 3;
    for (int y = 0; y < std::min(height, canvas.height()); ++y) {
        std::memcpy(static_cast<std::uint8_t*>(pixels) + static_cast<std::ptrdiff_t>(y) * pitch,
                    canvas.row(y), rowBytes);
    }
    SDL_UnlockTexture(texture_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

bool screenVideoRunning() { return video == Video::running; }

}  // namespace platform
