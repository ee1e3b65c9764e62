#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "platform/clock/clock.h"
#include "platform/vfw/dib_file.h"
#include "platform/vfw/driver_state.h"
#include "platform/vfw/source_health.h"
#include "platform/vfw/vfw.h"

namespace platform {
namespace {

constexpr const char* captureWindowClass = "tavo capture window";
constexpr LONG largestWidth = 768;
constexpr LONG largestHeight = 576;

struct CaptureWindow {
    LPARAM userData = 0;
    CAPERRORCALLBACK onError = nullptr;
    CAPSTATUSCALLBACK onStatus = nullptr;
    CAPVIDEOCALLBACK onFrame = nullptr;
    int driverIndex = -1;
    CAPTUREPARMS sequenceSetup{};
    DWORD previewRate = 0;
};

std::map<HWND, CaptureWindow>& captureWindows() {
    static auto* const windows = new std::map<HWND, CaptureWindow>;
    return *windows;
}

BITMAPINFOHEADER driverFormat(int width, int height) {
    BITMAPINFOHEADER format{};
    format.biSize = 40;
    format.biWidth = width;
    format.biHeight = height;
    format.biPlanes = 1;
    format.biBitCount = 24;
    format.biCompression = BI_RGB;
    format.biSizeImage = dibImageBytes(width, height);
    return format;
}

bool acceptableFormat(const BITMAPINFOHEADER& format) {
    return format.biCompression == BI_RGB && format.biBitCount == 24 && format.biWidth > 0 &&
           format.biWidth <= largestWidth && format.biHeight > 0 && format.biHeight <= largestHeight;
}

CaptureDriver* connectedDriver(const CaptureWindow& window) {
    return window.driverIndex < 0 ? nullptr : driverAt(window.driverIndex);
}

LRESULT connectDriver(CaptureWindow& window, WPARAM index) {
    CaptureDriver* driver = driverAt(static_cast<int>(static_cast<std::int32_t>(index)));
    if (driver == nullptr) return 0;
    std::string failure;
    if (!driver->source->open(failure)) {
        // Also for the journal of a service, where standard output may not go.
        std::fprintf(stderr, "not connected: %s\n", failure.c_str());
        return 0;
    }
    if (driver->format.biWidth == 0) {
        driver->format = driverFormat(driver->source->nativeWidth(), driver->source->nativeHeight());
    }
    DriverTable& table = driverTable();
    if (!table.timelineStart) table.timelineStart = clock::nowNanoseconds();
    window.driverIndex = static_cast<int>(index);
    return 1;
}

LRESULT setVideoFormat(CaptureWindow& window, WPARAM size, LPARAM lParam) {
    CaptureDriver* driver = connectedDriver(window);
    if (driver == nullptr || size < sizeof(BITMAPINFOHEADER) || lParam == 0) return 0;
    BITMAPINFOHEADER requested;
    std::memcpy(&requested, reinterpret_cast<const void*>(lParam), sizeof requested);
    if (!acceptableFormat(requested)) return 0;
    driver->format = driverFormat(requested.biWidth, requested.biHeight);
    return 1;
}

LRESULT getVideoFormat(const CaptureWindow& window, WPARAM size, LPARAM lParam) {
    const CaptureDriver* driver = connectedDriver(window);
    if (driver == nullptr || lParam == 0) return 0;
    const std::size_t bytes = std::min<std::size_t>(size, sizeof(BITMAPINFOHEADER));
    std::memcpy(reinterpret_cast<void*>(lParam), &driver->format, bytes);
    return static_cast<LRESULT>(bytes);
}

void noteRunLimit() {
    DriverTable& table = driverTable();
    if (!table.runLimitNanoseconds || table.runLimitReached) return;
    if (clock::nowNanoseconds() > *table.runLimitNanoseconds) {
        table.runLimitReached = true;
        postCloseRequest();
    }
}

void noteEndOfRecording(const CaptureDriver& driver) {
    DriverTable& table = driverTable();
    if (table.endOfRecordingReported) return;
    table.endOfRecordingReported = true;
    std::fprintf(stderr, "end of recording: %s\n", driver.description.c_str());
    postCloseRequest();
}

LRESULT grabFrame(HWND handle, CaptureWindow& window) {
    CaptureDriver* driver = connectedDriver(window);
    if (driver == nullptr) return 0;
    const BITMAPINFOHEADER format = driver->format;
    driver->lastFrame.resize(format.biSizeImage);
    const std::int64_t start = *driverTable().timelineStart;
    std::int64_t due = 0;
    const GrabOutcome outcome = driver->source->grab(clock::nowNanoseconds() - start, format.biWidth,
                                                     format.biHeight, driver->lastFrame.data(), due);
    if (outcome == GrabOutcome::failed) {
        noteGrabFailed(window.driverIndex);
        noteRunLimit();
        return 0;
    }
    noteFrameDelivered(window.driverIndex);
    if (outcome == GrabOutcome::delivered) {
        if (!driver->source->isLive())
            driver->lastFramePosition = due + driver->source->recordingOriginNanoseconds();
        clock::sleepUntil(start + due);
    } else {
        noteEndOfRecording(*driver);
    }
    driver->lastFrameFormat = format;
    driver->hasFrame = true;
    if (window.onFrame != nullptr) {
        VIDEOHDR header{};
        header.lpData = driver->lastFrame.data();
        header.dwBufferLength = format.biSizeImage;
        header.dwBytesUsed = format.biSizeImage;
        header.dwTimeCaptured = static_cast<DWORD>((due / 1'000'000) & 0xFFFFFFFF);
        window.onFrame(handle, &header);
    }
    noteRunLimit();
    return 1;
}

LRESULT saveLastFrame(const CaptureWindow& window, LPARAM lParam) {
    CaptureDriver* driver = connectedDriver(window);
    if (driver == nullptr || !driver->hasFrame || lParam == 0) return 0;
    driver->lastSaveFailure.clear();
    if (!writeDibFile(reinterpret_cast<const char*>(lParam), driver->lastFrameFormat,
                      driver->lastFrame.data(), driver->lastSaveFailure)) {
        std::fprintf(stderr, "picture not written: %s\n", driver->lastSaveFailure.c_str());
        return 0;
    }
    return 1;
}

LRESULT driverCaps(const CaptureWindow& window, WPARAM size, LPARAM lParam) {
    if (connectedDriver(window) == nullptr || lParam == 0 || size < sizeof(CAPDRIVERCAPS)) return 0;
    CAPDRIVERCAPS caps{};
    caps.wDeviceIndex = static_cast<UINT>(window.driverIndex);
    caps.fCaptureInitialized = 1;
    std::memcpy(reinterpret_cast<void*>(lParam), &caps, sizeof caps);
    return 1;
}

LRESULT copySequenceSetup(CaptureWindow& window, UINT message, WPARAM size, LPARAM lParam) {
    if (connectedDriver(window) == nullptr || lParam == 0 || size < sizeof(CAPTUREPARMS)) return 0;
    auto* record = reinterpret_cast<CAPTUREPARMS*>(lParam);
    if (message == WM_CAP_GET_SEQUENCE_SETUP) {
        *record = window.sequenceSetup;
    } else {
        window.sequenceSetup = *record;
    }
    return 1;
}

LRESULT captureWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    auto found = captureWindows().find(handle);
    if (found == captureWindows().end()) return DefWindowProcA(handle, message, wParam, lParam);
    CaptureWindow& window = found->second;
    switch (message) {
        case WM_CAP_SET_CALLBACK_ERRORA:
            window.onError = reinterpret_cast<CAPERRORCALLBACK>(lParam);
            return 1;
        case WM_CAP_SET_CALLBACK_STATUSA:
            window.onStatus = reinterpret_cast<CAPSTATUSCALLBACK>(lParam);
            return 1;
        case WM_CAP_SET_CALLBACK_FRAME:
            window.onFrame = reinterpret_cast<CAPVIDEOCALLBACK>(lParam);
            return 1;
        case WM_CAP_GET_USER_DATA:
            return window.userData;
        case WM_CAP_SET_USER_DATA:
            window.userData = lParam;
            return 1;
        case WM_CAP_DRIVER_CONNECT:
            return connectDriver(window, wParam);
        case WM_CAP_DRIVER_DISCONNECT:
            window.driverIndex = -1;
            return 1;
        case WM_CAP_DRIVER_GET_CAPS:
            return driverCaps(window, wParam, lParam);
        case WM_CAP_FILE_SAVEDIBA:
            return saveLastFrame(window, lParam);
        case WM_CAP_GET_VIDEOFORMAT:
            return getVideoFormat(window, wParam, lParam);
        case WM_CAP_SET_VIDEOFORMAT:
            return setVideoFormat(window, wParam, lParam);
        case WM_CAP_SET_PREVIEW:
            return connectedDriver(window) != nullptr ? 1 : 0;
        case WM_CAP_SET_OVERLAY:
            return 0;
        case WM_CAP_SET_PREVIEWRATE:
            window.previewRate = static_cast<DWORD>(wParam);
            return 1;
        case WM_CAP_GRAB_FRAME:
            return grabFrame(handle, window);
        case WM_CAP_SET_SEQUENCE_SETUP:
        case WM_CAP_GET_SEQUENCE_SETUP:
            return copySequenceSetup(window, message, wParam, lParam);
        case WM_CAP_STOP:
        case WM_CAP_ABORT:
            return 1;
        default:
            return DefWindowProcA(handle, message, wParam, lParam);
    }
}

}  // namespace

HWND capCreateCaptureWindowA(const char* name, DWORD style, int x, int y, int width, int height, HWND parent,
                             int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = captureWindowProc;
    windowClass.lpszClassName = captureWindowClass;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, captureWindowClass, name, style, x, y, width, height, parent, nullptr,
                                  nullptr, nullptr);
    if (window != nullptr) captureWindows()[window] = CaptureWindow{};
    return window;
}

BOOL capGetDriverDescriptionA(int index, char* name, int nameLength, char*, int) {
    const CaptureDriver* driver = driverAt(index);
    if (driver == nullptr || name == nullptr || nameLength <= 0) return 0;
    const std::size_t length = std::min(driver->description.size(), static_cast<std::size_t>(nameLength - 1));
    std::memcpy(name, driver->description.data(), length);
    name[length] = '\0';
    return 1;
}

}  // namespace platform
