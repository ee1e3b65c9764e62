// Any DIB header and pixel bytes handed to the frame image, the gray
// conversion, the PGM writers and the window drawing: nothing may read or
// write outside a buffer.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "capture/capture_device.h"
#include "pipeline/frame_image.h"
#include "pipeline/frame_pipeline.h"
#include "platform/console/console.h"
#include "platform/winsys/paint.h"
#include "platform/winsys/presentation.h"
#include "platform/winsys/window.h"

namespace {

platform::HWND canvasWindow() {
    static platform::HWND window = [] {
        platform::presentation::setHeadless(true);
        platform::WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = platform::DefWindowProcA;
        windowClass.lpszClassName = "fuzz";
        platform::RegisterClassA(&windowClass);
        return platform::CreateWindowExA(0, "fuzz", "fuzz", platform::WS_OVERLAPPEDWINDOW,
                                         platform::CW_USEDEFAULT, platform::CW_USEDEFAULT,
                                         platform::CW_USEDEFAULT, platform::CW_USEDEFAULT, nullptr, nullptr,
                                         nullptr, nullptr);
    }();
    return window;
}

std::uint8_t* dibBuffer() {
    static auto* buffer = new std::uint8_t[capture::dibBufferBytes];
    return buffer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool prepared = [] {
        char directory[] = "/tmp/tavo-fuzz-frame-XXXXXX";
        return mkdtemp(directory) != nullptr && chdir(directory) == 0;
    }();
    if (!prepared) return 0;
    std::uint8_t* dib = dibBuffer();
    std::memset(dib, 0, 40);
    std::memcpy(dib, data, std::min<std::size_t>(size, 4096));

    pipeline::frameImage = {0, 0, nullptr, dib};
    pipeline::frameImage.readDibHeader();
    const std::int32_t count = pipeline::frameImage.width * pipeline::frameImage.height;
    pipeline::convertReversed(pipeline::frameImage.pixels, count, pipeline::grayFrame.data(),
                              pipeline::currentImage.data());

    std::string console;
    platform::console::captureInto(&console);
    pipeline::saveMotionPgm();
    pipeline::refreshReference();
    platform::console::captureInto(nullptr);

    platform::HWND window = canvasWindow();
    platform::InvalidateRect(window, nullptr, 0);
    platform::PAINTSTRUCT paint{};
    platform::HDC dc = platform::BeginPaint(window, &paint);
    pipeline::frameImage.draw(dc, 10, 10);
    // The drawing call itself, with any header a caller may hand it: 24-bit
    // frames up to 768 x 576, as the frame image guarantees.
    const auto* info = reinterpret_cast<const platform::BITMAPINFO*>(dib);
    const std::int32_t columns = info->bmiHeader.biWidth;
    const std::int64_t height = info->bmiHeader.biHeight;
    const std::int64_t rows = height < 0 ? -height : height;
    if (columns > 0 && columns <= 768 && rows > 0 && rows <= 576) {
        platform::SetDIBitsToDevice(
            dc, 5, 5, static_cast<platform::DWORD>(columns), static_cast<platform::DWORD>(rows), 0, 0, 0,
            static_cast<platform::UINT>(rows), dib + 40, info, platform::DIB_RGB_COLORS);
    }
    platform::EndPaint(window, &paint);
    return 0;
}
