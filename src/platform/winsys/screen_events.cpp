#include <SDL.h>

#include "platform/winsys/screen_window.h"

namespace platform {
namespace {

// Win32 virtual-key codes of the keys an operator may press; 0 for others.
WPARAM virtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<WPARAM>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<WPARAM>(key);
    if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<WPARAM>(0x70 + (key - SDLK_F1));
    switch (key) {
        case SDLK_BACKSPACE:
            return 0x08;
        case SDLK_TAB:
            return 0x09;
        case SDLK_RETURN:
            return 0x0D;
        case SDLK_ESCAPE:
            return 0x1B;
        case SDLK_SPACE:
            return 0x20;
        case SDLK_LEFT:
            return 0x25;
        case SDLK_UP:
            return 0x26;
        case SDLK_RIGHT:
            return 0x27;
        case SDLK_DOWN:
            return 0x28;
        default:
            return 0;
    }
}

bool windowEvent(const SDL_WindowEvent& source, ScreenEvent& event) {
    if (source.event == SDL_WINDOWEVENT_CLOSE) {
        event = {ScreenEvent::Kind::closeButton, source.windowID, 0};
        return true;
    }
    if (source.event == SDL_WINDOWEVENT_EXPOSED) {
        event = {ScreenEvent::Kind::exposed, source.windowID, 0};
        return true;
    }
    return false;
}

bool translate(const SDL_Event& source, ScreenEvent& event) {
    switch (source.type) {
        case SDL_QUIT:
            event = {ScreenEvent::Kind::quit, 0, 0};
            return true;
        case SDL_WINDOWEVENT:
            return windowEvent(source.window, event);
        case SDL_KEYDOWN:
            event = {ScreenEvent::Kind::key, source.key.windowID, virtualKey(source.key.keysym.sym)};
            return event.code != 0;
        case SDL_TEXTINPUT: {
            // Characters outside ASCII have no single-byte WM_CHAR here.
            const unsigned char first = static_cast<unsigned char>(source.text.text[0]);
            event = {ScreenEvent::Kind::character, source.text.windowID, first};
            return first != 0 && first < 0x80 && source.text.text[1] == '\0';
        }
        default:
            return false;
    }
}

}  // namespace

bool nextScreenEvent(ScreenEvent& event) {
    if (!screenVideoRunning()) return false;
    SDL_Event source;
    while (SDL_PollEvent(&source) != 0) {
        if (translate(source, event)) return true;
    }
    return false;
}

}  // namespace platform
