#pragma once
// Windows, window classes and the thread's message queue: the stand-in for
// the window manager. The capture windows of the capture stand-in and the
// program's main window are windows of this one system.
#include <string>

#include "platform/winsys/win32_types.h"

namespace platform {

struct WindowRecord {
    bool live = false;
    std::string className;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    HWND parent = nullptr;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool shown = false;
    std::string title;
    HBRUSH background = nullptr;
};

// Client size given to a top-level window created with CW_USEDEFAULT.
constexpr int defaultClientWidth = 800;
constexpr int defaultClientHeight = 500;

int RegisterClassA(const WNDCLASSA* windowClass);
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                     int width, int height, HWND parent, void* menu, HINSTANCE instance, void* parameter);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
HWND GetParent(HWND window);
HWND SetParent(HWND window, HWND parent);
LONG SetWindowLongA(HWND window, int index, LONG value);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL ShowWindow(HWND window, int command);
BOOL UpdateWindow(HWND window);
BOOL SetWindowTextA(HWND window, const char* text);
HICON LoadIconA(HINSTANCE instance, int resource);
HCURSOR LoadCursorA(HINSTANCE instance, int resource);

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL PeekMessageA(MSG* message, HWND window, UINT first, UINT last, UINT remove);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageA(const MSG* message);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The close request, as if the operator had clicked the close button of the
// program's main window (its top-level captioned window). Used by the end of
// a recording, the run limit and the termination signals.
void postCloseRequest();

// SIGINT and SIGTERM become close requests, taken up at the next message
// peek; SIGXFSZ is ignored so an over-large file is a failed write. They and
// the window's close button also ask the clock to stop, which cuts every
// pause and retry short; the window's events are read during long sleeps, so
// its close button is heard there too.
void closeOnTerminationSignals();

// Every window destroyed, the queue emptied (tests).
void resetWindows();

}  // namespace platform
