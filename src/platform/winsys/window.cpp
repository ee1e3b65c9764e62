#include "platform/winsys/window.h"

#include <csignal>
#include <deque>
#include <memory>
#include <vector>

#include "platform/clock/clock.h"
#include "platform/winsys/presentation.h"

namespace platform {
namespace {

struct WindowClass {
    std::string name;
    WNDPROC procedure = nullptr;
    HBRUSH background = nullptr;
};

// Never destroyed: exit-time destructors (the capture device's) still send
// messages to their windows, and a handle must stay comparable after its
// window is gone. Records are kept for the life of the process.
struct WindowSystem {
    std::vector<WindowClass> classes;
    std::deque<WindowRecord> windows;
    std::deque<MSG> queue;
};

WindowSystem& windowSystem() {
    static WindowSystem* const system = new WindowSystem;
    return *system;
}

volatile std::sig_atomic_t terminationRequested = 0;

void requestTermination(int) {
    terminationRequested = 1;
    clock::requestStop();
}

const WindowClass* findClass(const char* name) {
    if (name == nullptr) return nullptr;
    for (const WindowClass& windowClass : windowSystem().classes) {
        if (windowClass.name == name) return &windowClass;
    }
    return nullptr;
}

bool isMainWindowStyle(const WindowRecord& record) {
    return record.parent == nullptr && (record.style & WS_CAPTION) == WS_CAPTION;
}

}  // namespace

int RegisterClassA(const WNDCLASSA* windowClass) {
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr) return 0;
    if (findClass(windowClass->lpszClassName) != nullptr) return 0;
    windowSystem().classes.push_back(
        {windowClass->lpszClassName, windowClass->lpfnWndProc, windowClass->hbrBackground});
    return static_cast<int>(windowSystem().classes.size());
}

HWND CreateWindowExA(DWORD, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND parent, void*, HINSTANCE, void*) {
    const WindowClass* windowClass = findClass(className);
    if (windowClass == nullptr) return nullptr;
    WindowRecord& record = windowSystem().windows.emplace_back();
    record.live = true;
    record.className = windowClass->name;
    record.procedure = windowClass->procedure;
    record.background = windowClass->background;
    record.style = style;
    record.parent = parent;
    record.x = x == CW_USEDEFAULT ? 0 : x;
    record.y = y == CW_USEDEFAULT ? 0 : y;
    record.width = width == CW_USEDEFAULT ? defaultClientWidth : width;
    record.height = height == CW_USEDEFAULT ? defaultClientHeight : height;
    record.title = title == nullptr ? "" : title;
    HWND window = &record;
    if (isMainWindowStyle(record)) presentation::windowCreated(window);
    SendMessageA(window, WM_CREATE, 0, 0);
    if ((style & WS_VISIBLE) != 0) ShowWindow(window, SW_SHOW);
    return window;
}

BOOL IsWindow(HWND window) {
    if (window == nullptr) return 0;
    for (const WindowRecord& record : windowSystem().windows) {
        if (&record == window) return record.live ? 1 : 0;
    }
    return 0;
}

BOOL DestroyWindow(HWND window) {
    if (!IsWindow(window)) return 0;
    SendMessageA(window, WM_DESTROY, 0, 0);
    for (WindowRecord& child : windowSystem().windows) {
        if (child.live && child.parent == window) DestroyWindow(&child);
    }
    if (isMainWindowStyle(*window)) presentation::windowDestroyed(window);
    window->live = false;
    return 1;
}

HWND GetParent(HWND window) { return IsWindow(window) ? window->parent : nullptr; }

HWND SetParent(HWND window, HWND parent) {
    if (!IsWindow(window)) return nullptr;
    HWND previous = window->parent;
    window->parent = parent;
    return previous;
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
    if (!IsWindow(window) || index != GWL_STYLE) return 0;
    const LONG previous = static_cast<LONG>(window->style);
    window->style = static_cast<DWORD>(value);
    return previous;
}

BOOL SetWindowPos(HWND window, HWND, int x, int y, int width, int height, UINT) {
    if (!IsWindow(window)) return 0;
    window->x = x;
    window->y = y;
    window->width = width;
    window->height = height;
    return 1;
}

BOOL ShowWindow(HWND window, int command) {
    if (!IsWindow(window)) return 0;
    const BOOL wasShown = window->shown ? 1 : 0;
    window->shown = command != SW_HIDE;
    if (window->shown && isMainWindowStyle(*window)) presentation::windowShown(window);
    return wasShown;
}

BOOL UpdateWindow(HWND window) {
    if (!IsWindow(window)) return 0;
    if (presentation::needsPaint(window)) SendMessageA(window, WM_PAINT, 0, 0);
    return 1;
}

BOOL SetWindowTextA(HWND window, const char* text) {
    if (!IsWindow(window)) return 0;
    window->title = text == nullptr ? "" : text;
    if (isMainWindowStyle(*window)) presentation::titleChanged(window);
    return 1;
}

HICON LoadIconA(HINSTANCE, int) { return nullptr; }

HCURSOR LoadCursorA(HINSTANCE, int) { return nullptr; }

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(window) || window->procedure == nullptr) return 0;
    return window->procedure(window, message, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && !IsWindow(window)) return 0;
    windowSystem().queue.push_back({window, message, wParam, lParam});
    return 1;
}

void PostQuitMessage(int exitCode) {
    windowSystem().queue.push_back({nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

BOOL PeekMessageA(MSG* message, HWND, UINT, UINT, UINT remove) {
    if (terminationRequested != 0) {
        terminationRequested = 0;
        postCloseRequest();
    }
    presentation::pumpEvents();
    std::deque<MSG>& queue = windowSystem().queue;
    if (queue.empty()) return 0;
    *message = queue.front();
    if ((remove & PM_REMOVE) != 0) queue.pop_front();
    return 1;
}

BOOL TranslateMessage(const MSG*) { return 0; }

LRESULT DispatchMessageA(const MSG* message) {
    if (message == nullptr || message->hwnd == nullptr) return 0;
    return SendMessageA(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_PAINT:
            presentation::paintDefault(window);
            return 0;
        default:
            return 0;
    }
}

void postCloseRequest() {
    for (WindowRecord& record : windowSystem().windows) {
        if (record.live && isMainWindowStyle(record)) {
            PostMessageA(&record, WM_CLOSE, 0, 0);
            return;
        }
    }
}

void closeOnTerminationSignals() {
    struct sigaction action {};
    action.sa_handler = requestTermination;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
    clock::watchDuringSleeps(presentation::pumpEvents);
}

void resetWindows() {
    for (WindowRecord& record : windowSystem().windows) {
        if (record.live && isMainWindowStyle(record)) presentation::windowDestroyed(&record);
        record.live = false;
    }
    windowSystem().classes.clear();
    windowSystem().queue.clear();
    terminationRequested = 0;
}

}  // namespace platform
