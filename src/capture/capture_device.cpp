#include "capture/capture_device.h"

#include <cstdlib>
#include <cstring>

#include "platform/clock/clock.h"
#include "platform/console/console.h"

namespace capture {

using namespace platform;

std::array<std::int32_t, 10> deviceIndexTable = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

namespace {

// At most 99 characters, then zeros to the end of the buffer.
void copyErrorText(char (&target)[errorTextCapacity], const char* text) {
    const std::size_t length = strnlen(text, errorTextCapacity - 1);
    std::memset(target, 0, errorTextCapacity);
    std::memcpy(target, text, length);
}

}  // namespace

CaptureDevice::CaptureDevice()
    : captureWindow(nullptr),
      targetBuffer(nullptr),
      targetSize(0),
      driverIndex(-1),
      errorCode(0),
      errorText{},
      cachedHeader{} {}

CaptureDevice::CaptureDevice(const CaptureDevice& source) : CaptureDevice() { *this = source; }

CaptureDevice& CaptureDevice::operator=(const CaptureDevice& source) {
    if (&source == this) return *this;
    disconnect();
    copyErrorText(errorText, source.errorText);
    if (source.captureWindow == nullptr) return *this;
    CAPDRIVERCAPS caps{};
    if (source.send(WM_CAP_DRIVER_GET_CAPS, sizeof caps, reinterpret_cast<LPARAM>(&caps)) == 0) return *this;
    for (std::size_t position = 0; position < deviceIndexTable.size(); ++position) {
        if (static_cast<std::int64_t>(deviceIndexTable[position]) ==
            static_cast<std::int64_t>(caps.wDeviceIndex)) {
            connect(static_cast<std::int16_t>(position));
            break;
        }
    }
    return *this;
}

CaptureDevice::~CaptureDevice() { disconnect(); }

LRESULT CaptureDevice::send(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (!IsWindow(captureWindow)) return 0;
    return SendMessageA(captureWindow, message, wParam, lParam);
}

void CaptureDevice::clearError() {
    errorCode = 0;
    std::memset(errorText, 0, sizeof errorText);
}

void CaptureDevice::fail(const char* line) {
    console::print("%s", line);
    clock::sleepMilliseconds(5000);
    std::exit(-1);
}

int CaptureDevice::connect(std::int16_t index) {
    disconnect();
    clearError();
    captureWindow = capCreateCaptureWindowA(nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, 0);
    int result = 0;
    if (captureWindow != nullptr) {
        send(WM_CAP_SET_USER_DATA, 0, reinterpret_cast<LPARAM>(this));
        send(WM_CAP_SET_CALLBACK_ERRORA, 0, reinterpret_cast<LPARAM>(&CaptureDevice::onCaptureError));
        send(WM_CAP_SET_CALLBACK_STATUSA, 0, reinterpret_cast<LPARAM>(&CaptureDevice::onCaptureStatus));
        send(WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<LPARAM>(&CaptureDevice::onCaptureFrame));
        result = selectDriver(index);
    }
    if (result == 0) {
        disconnect();
        errorCode = 1;
    }
    return result;
}

void CaptureDevice::readFormat(const char* line) {
    send(WM_CAP_GET_VIDEOFORMAT, sizeof cachedHeader, reinterpret_cast<LPARAM>(&cachedHeader));
    console::print(line, cachedHeader.biWidth, cachedHeader.biHeight);
}

int CaptureDevice::selectDriver(std::int16_t index) {
    console::print("Set Driver Index %d\n", index);
    clearError();
    char name[80] = "";
    char version[80] = "";
    capGetDriverDescriptionA(index, name, sizeof name, version, sizeof version);
    console::print("Index %d  devicename [%s]\n", index, name);
    if (GetParent(captureWindow) != nullptr) send(WM_CAP_SET_PREVIEW, 0, 0);
    detachFromParent();
    send(WM_CAP_ABORT, 0, 0);
    console::print("connecting to camera\n");
    const auto driverWord = static_cast<WPARAM>(static_cast<std::intptr_t>(index));
    if (send(WM_CAP_DRIVER_CONNECT, driverWord, 0) == 0) fail("camera not connected!!!\n");

    readFormat("get format 1 width %d height %d\n");
    cachedHeader.biWidth = forcedWidth;
    cachedHeader.biHeight = forcedHeight;
    console::print("set driver width %d height %d\n", forcedWidth, forcedHeight);
    if (send(WM_CAP_SET_VIDEOFORMAT, sizeof cachedHeader, reinterpret_cast<LPARAM>(&cachedHeader)) == 0) {
        fail("unable to set video format, try relaunch program\n");
    }
    readFormat("get format 2 width %d height %d\n");
    send(WM_CAP_DRIVER_DISCONNECT, 0, 0);
    send(WM_CAP_DRIVER_CONNECT, driverWord, 0);
    readFormat("get format 3 width %d height %d\n");

    CAPTUREPARMS setup{};
    send(WM_CAP_GET_SEQUENCE_SETUP, sizeof setup, reinterpret_cast<LPARAM>(&setup));
    setup.wPercentDropForError = 100;
    setup.fYield = 1;
    setup.fCaptureAudio = 0;
    setup.fAbortLeftMouse = 0;
    setup.fAbortRightMouse = 0;
    if (send(WM_CAP_SET_SEQUENCE_SETUP, sizeof setup, reinterpret_cast<LPARAM>(&setup)) == 0) {
        fail("unable to set setup, try relaunch program\n");
    }
    send(WM_CAP_SET_PREVIEW, 0, 0);
    driverIndex = index;
    return 1;
}

void CaptureDevice::disconnect() {
    clearError();
    if (captureWindow != nullptr) {
        detachFromParent();
        send(WM_CAP_ABORT, 0, 0);
        send(WM_CAP_SET_CALLBACK_ERRORA, 0, 0);
        send(WM_CAP_SET_CALLBACK_STATUSA, 0, 0);
        send(WM_CAP_SET_CALLBACK_FRAME, 0, 0);
        send(WM_CAP_SET_USER_DATA, 0, 0);
        send(WM_CAP_DRIVER_DISCONNECT, 0, 0);
        // A forgotten window would otherwise live until the process ends.
        DestroyWindow(captureWindow);
        captureWindow = nullptr;
    }
    targetBuffer = nullptr;
    targetSize = 0;
    driverIndex = -1;
    std::memset(&cachedHeader, 0, sizeof cachedHeader);
}

int CaptureDevice::detachFromParent() {
    clearError();
    const int result = static_cast<int>(send(WM_CAP_SET_PREVIEW, 0, 0));
    SetWindowPos(captureWindow, nullptr, 0, 0, 0, 0, SWP_NOZORDER);
    SetParent(captureWindow, nullptr);
    SetWindowLongA(captureWindow, GWL_STYLE, static_cast<LONG>(WS_POPUP));
    return result;
}

int CaptureDevice::attachToParent(HWND parent, int x, int y, int previewRate) {
    return attachToParent(parent, x, y, cachedHeader.biWidth, cachedHeader.biHeight, previewRate);
}

int CaptureDevice::attachToParent(HWND parent, int x, int y, int width, int height, int previewRate) {
    clearError();
    SetParent(captureWindow, parent);
    SetWindowLongA(captureWindow, GWL_STYLE, static_cast<LONG>(WS_CHILD));
    SetWindowPos(captureWindow, nullptr, x, y, width, height, SWP_NOZORDER);
    ShowWindow(captureWindow, SW_SHOW);
    send(WM_CAP_SET_PREVIEWRATE, static_cast<WPARAM>(previewRate), 0);
    return static_cast<int>(send(WM_CAP_SET_PREVIEW, 1, 0));
}

int CaptureDevice::getDriverCaps(CAPDRIVERCAPS* caps) {
    clearError();
    return static_cast<int>(
        send(WM_CAP_DRIVER_GET_CAPS, sizeof(CAPDRIVERCAPS), reinterpret_cast<LPARAM>(caps)));
}

int CaptureDevice::abortCapture() { return static_cast<int>(send(WM_CAP_ABORT, 0, 0)); }

void CaptureDevice::queryError(int* code, char* text, int clear) {
    if (code != nullptr) *code = errorCode;
    if (text != nullptr) std::strncpy(text, errorText, errorTextCapacity);
    if (clear != 0) clearError();
}

LRESULT CaptureDevice::onCaptureError(HWND window, int id, const char* text) {
    auto* device = reinterpret_cast<CaptureDevice*>(SendMessageA(window, WM_CAP_GET_USER_DATA, 0, 0));
    if (device != nullptr) {
        device->errorCode = id;
        copyErrorText(device->errorText, text == nullptr ? "" : text);
    }
    return 1;
}

LRESULT CaptureDevice::onCaptureStatus(HWND, int, const char*) { return 1; }

BITMAPINFOHEADER* CaptureDevice::copyHeader(BITMAPINFOHEADER* record) const {
    std::memcpy(record, &cachedHeader, sizeof cachedHeader);
    return record;
}

}  // namespace capture
