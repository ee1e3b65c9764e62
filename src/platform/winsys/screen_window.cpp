#include "platform/winsys/screen_window.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
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

bool startVideo() {
    if (video == Video::notStarted) {
        SDL_LogSetOutputFunction(logToStandardError, nullptr);
        // The window core turns SIGINT and SIGTERM into close requests itself.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // A canvas copied to the window as it is: no GPU driver needed.
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            video = Video::running;
        } else {
            std::fprintf(stderr, "tavomotion: no display (%s): the window stays off-screen\n",
                         SDL_GetError());
            video = Video::unavailable;
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
