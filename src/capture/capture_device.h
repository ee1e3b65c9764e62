#pragma once
// The camera as the program sees it: one capture window, bound to this
// device, that stands for one capture driver and is driven by messages.
#include <array>
#include <cstdint>

#include "platform/vfw/vfw.h"

namespace capture {

using platform::BITMAPINFOHEADER;
using platform::HWND;

constexpr std::uint32_t dibBufferBytes = 16777216;
constexpr int errorTextCapacity = 100;
constexpr int forcedWidth = 320;
constexpr int forcedHeight = 240;

class CaptureDevice {
public:
    CaptureDevice();
    CaptureDevice(const CaptureDevice& source);
    CaptureDevice& operator=(const CaptureDevice& source);
    virtual ~CaptureDevice();

    int connect(std::int16_t driverIndex);
    void disconnect();
    int selectDriver(std::int16_t driverIndex);
    HWND windowHandle() const { return captureWindow; }
    void queryError(int* code, char* text, int clear);
    int attachToParent(HWND parent, int x, int y, int previewRate);
    int attachToParent(HWND parent, int x, int y, int width, int height, int previewRate);
    int detachFromParent();
    int getDriverCaps(platform::CAPDRIVERCAPS* caps);
    int abortCapture();

    int grabFrame(std::uint8_t** dib, std::uint32_t bufferSize, std::uint32_t* dibSize);
    int prepareDib(std::uint8_t** dib, std::uint32_t* dibSize);
    BITMAPINFOHEADER* copyHeader(BITMAPINFOHEADER* record) const;

    static std::uint32_t dibHeaderSize(const BITMAPINFOHEADER* header);
    static std::int32_t dibImageSize(const BITMAPINFOHEADER* header);

    static platform::LRESULT onCaptureError(HWND window, int id, const char* text);
    static platform::LRESULT onCaptureStatus(HWND window, int id, const char* text);
    static platform::LRESULT onCaptureFrame(HWND window, platform::VIDEOHDR* frame);

    // Read by tests and by the copy; the device's own record of its state.
    std::int32_t driverIndexNow() const { return driverIndex; }
    std::int32_t errorCodeNow() const { return errorCode; }
    const char* errorTextNow() const { return errorText; }
    const BITMAPINFOHEADER& cachedHeaderNow() const { return cachedHeader; }

private:
    platform::LRESULT send(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) const;
    void clearError();
    [[noreturn]] static void fail(const char* line);
    void readFormat(const char* line);

    HWND captureWindow;
    std::uint8_t* targetBuffer;
    std::uint32_t targetSize;
    std::int32_t driverIndex;
    std::int32_t errorCode;
    char errorText[errorTextCapacity];
    BITMAPINFOHEADER cachedHeader;
};

// Driver index -> device index, read by copy and assignment only: a copy
// reconnects to the driver whose capabilities report the source's device.
extern std::array<std::int32_t, 10> deviceIndexTable;

// The program's camera, constructed before the entry function and
// destroyed at exit, which disconnects the driver.
extern CaptureDevice captureDevice;

}  // namespace capture
