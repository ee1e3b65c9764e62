// The single-frame grab: one frame from the driver into the caller's DIB
// buffer, delivered through the frame callback inside the grab message.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "capture/capture_device.h"
#include "platform/clock/clock.h"
#include "platform/console/console.h"
#include "platform/vfw/driver_table.h"

namespace capture {

using namespace platform;

std::uint32_t CaptureDevice::dibHeaderSize(const BITMAPINFOHEADER* header) {
    const std::uint32_t infoSize = header->biSize != 0 ? header->biSize : 40u;
    return infoSize + 4u * header->biClrUsed;
}

std::int32_t CaptureDevice::dibImageSize(const BITMAPINFOHEADER* header) {
    if (header->biSizeImage != 0) return static_cast<std::int32_t>(header->biSizeImage);
    // Signed 32-bit arithmetic as the format defines it; the product wraps
    // instead of overflowing.
    const auto product = static_cast<std::int32_t>(static_cast<std::uint32_t>(header->biWidth) *
                                                   static_cast<std::uint32_t>(header->biHeight) *
                                                   static_cast<std::uint32_t>(header->biBitCount));
    return product / 8;
}

namespace {

// The one 16 MiB block of the process. It comes zeroed from calloc, page by
// page as it is first touched, so only the frame's own pages take memory.
// Handed out again (only when tests start afresh) it is zeroed first, so it
// is never lost. When the allocation fails the caller's pointer stays null
// and the grab fails.
std::uint8_t* dibBlock() {
    static bool handedOut = false;
    static auto* const block = static_cast<std::uint8_t*>(std::calloc(1, dibBufferBytes));
    if (block != nullptr && handedOut) std::memset(block, 0, dibBufferBytes);
    handedOut = true;
    return block;
}

}  // namespace

int CaptureDevice::prepareDib(std::uint8_t** dib, std::uint32_t* dibSize) {
    clearError();
    const std::uint32_t size =
        dibHeaderSize(&cachedHeader) + static_cast<std::uint32_t>(dibImageSize(&cachedHeader));
    int result = 0;
    if (size != 0) {
        result = 1;
        if (dib != nullptr) {
            std::uint8_t* block = dibBlock();
            if (block != nullptr) {
                *dib = block;
                std::memcpy(block, &cachedHeader, sizeof cachedHeader);
                console::print("alloc size %d\n", static_cast<int>(size));
                clock::sleepMilliseconds(5000);
                platform::notePause(5'000'000'000);
            }
        }
    }
    if (dibSize != nullptr) *dibSize = size;
    return result;
}

int CaptureDevice::grabFrame(std::uint8_t** dib, std::uint32_t bufferSize, std::uint32_t* dibSize) {
    int result = 0;
    clearError();
    std::uint32_t size = 0;
    if (dib != nullptr && *dib == nullptr) {
        prepareDib(dib, &size);
        bufferSize = size;
    } else {
        prepareDib(nullptr, &size);
    }
    if (dib != nullptr && *dib != nullptr && size != 0) {
        if (dibSize != nullptr) *dibSize = size;
        targetBuffer = *dib;
        targetSize = bufferSize;
        send(WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<LPARAM>(&CaptureDevice::onCaptureFrame));
        detachFromParent();
        send(WM_CAP_SET_PREVIEW, 0, 0);
        send(WM_CAP_SET_OVERLAY, 0, 0);
        result = static_cast<int>(send(WM_CAP_GRAB_FRAME, 0, 0));
        if (result == 0) {
            console::print("grab frame error!!!!!!!!!!\n");
            clock::sleepMilliseconds(10000);
        }
        send(WM_CAP_STOP, 0, 0);
        send(WM_CAP_SET_CALLBACK_FRAME, 0, 0);
        targetBuffer = nullptr;
        targetSize = 0;
        if (result == 0) {
            console::print("capgrabframe error\n");
            clock::sleepMilliseconds(5000);
            if (dibSize != nullptr) *dibSize = 0;
        }
    }
    if (result == 0 && errorCode == 0) errorCode = 1;
    return result;
}

LRESULT CaptureDevice::onCaptureFrame(HWND window, VIDEOHDR* frame) {
    auto* device = reinterpret_cast<CaptureDevice*>(SendMessageA(window, WM_CAP_GET_USER_DATA, 0, 0));
    if (device == nullptr) return 0;
    if (device->captureWindow == nullptr) return 0;
    if (device->targetBuffer == nullptr) return 1;
    std::memcpy(device->targetBuffer, &device->cachedHeader, sizeof device->cachedHeader);
    const std::uint32_t headerSize = dibHeaderSize(&device->cachedHeader);
    // Never past the 16 MiB block, whatever the header claims.
    const std::uint32_t blockRoom = headerSize < dibBufferBytes ? dibBufferBytes - headerSize : 0;
    const std::uint32_t room =
        device->targetSize >= headerSize ? std::min(device->targetSize - headerSize, blockRoom) : blockRoom;
    const std::uint32_t count = frame == nullptr ? 0 : std::min(frame->dwBytesUsed, room);
    if (count > 0) std::memcpy(device->targetBuffer + headerSize, frame->lpData, count);
    device->send(WM_CAP_SET_CALLBACK_FRAME, 0, 0);
    return 1;
}

}  // namespace capture
