#pragma once
// What the window core asks of the drawing and presentation side: the
// on-screen window (SDL2) that shows a top-level window's canvas, and the
// default paint of a window.
#include <string>

#include "platform/winsys/win32_types.h"

namespace platform::presentation {

// Keeps every window off-screen (everything is still drawn).
void setHeadless(bool headless);

// When a captioned top-level window is destroyed (the program's normal end),
// its canvas is first written to `path` as a PNG image; empty: never.
void snapshotWhenDestroyed(const std::string& path);

// A captioned top-level window was created or shown, retitled, destroyed.
void windowCreated(HWND window);
void windowShown(HWND window);
void titleChanged(HWND window);
void windowDestroyed(HWND window);

// Whether the window's canvas has a window on a display, minimised or not.
bool isOnScreen(HWND window);

// Whether the display shows the window's canvas now: on screen and neither
// minimised nor hidden (as far as the display tells; Wayland does not tell).
bool isInSight(HWND window);

// Takes the on-screen window's pending events: its close button becomes a
// close request, keys become WM_KEYDOWN and WM_CHAR posted to the window.
void pumpEvents();

// WM_PAINT without a paint handler of its own: validates the invalid area,
// erasing it with the class background when the erase flag is set.
void paintDefault(HWND window);

// Whether the window has an area waiting to be painted (UpdateWindow).
bool needsPaint(HWND window);

}  // namespace platform::presentation
