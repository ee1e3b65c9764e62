#pragma once
// A canvas shown on the display in an SDL2 window. SDL's video starts on the
// first window opened; without a display everything stays off-screen.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/winsys/canvas.h"
#include "platform/winsys/win32_types.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace platform {

class ScreenWindow {
public:
    // Null when there is no display (said once on standard error) or the
    // window cannot be made (said each time).
    static std::unique_ptr<ScreenWindow> open(const std::string& title, int width, int height);
    ~ScreenWindow();
    ScreenWindow(const ScreenWindow&) = delete;
    ScreenWindow& operator=(const ScreenWindow&) = delete;

    std::uint32_t id() const;
    void setTitle(const std::string& title);
    // Minimised or hidden: the display shows none of it, though its title
    // may still be in a task bar.
    bool isOutOfSight() const;
    // The canvas must have the size the window was opened with.
    void show(const Canvas& canvas);

private:
    ScreenWindow(SDL_Window* window, SDL_Renderer* renderer, SDL_Texture* texture);

    SDL_Window* window_;
    SDL_Renderer* renderer_;
    SDL_Texture* texture_;
};

// What the display tells the program about its windows.
struct ScreenEvent {
    enum class Kind { closeButton, quit, key, character, exposed };
    Kind kind;
    std::uint32_t screenId;
    WPARAM code;  // key: a Win32 virtual-key code; character: the character
};

// Whether SDL's video is running (an on-screen window is open).
bool screenVideoRunning();

// The next event of an on-screen window; false when none is pending or no
// window was ever opened.
bool nextScreenEvent(ScreenEvent& event);

}  // namespace platform
