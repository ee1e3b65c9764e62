#include "app/startup.h"

#include <cstdio>

#include "app/app_state.h"
#include "app/config_check.h"
#include "app/every_vehicle/every_vehicle_loop.h"
#include "app/main_loop.h"
#include "app/mqtt_events.h"
#include "app/regions.h"
#include "app/trigger_images.h"
#include "capture/capture_device.h"
#include "pipeline/frame_image.h"
#include "pipeline/frame_pipeline.h"
#include "platform/console/console.h"
#include "platform/vfw/driver_table.h"
#include "platform/winsys/window.h"

namespace app {

using namespace platform;

namespace {

constexpr const char* mainWindowClass = "TAVO(TM) MOTION";
// A value of tavomotion.ini that cannot be used ends the program as a bad option does.
constexpr int usageStatus = 2;

WNDCLASSA mainWindowClassRecord() {
    WNDCLASSA record{};
    record.style = CS_HREDRAW | CS_VREDRAW;
    record.lpfnWndProc = windowProc;
    record.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    record.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    record.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
    record.lpszClassName = mainWindowClass;
    return record;
}

void printCellLayout() {
    console::print("band 1 top %d 2 top %d 3 top %d", cellBands[0].top, cellBands[1].top, cellBands[2].top);
    console::print("col 1 %d 2 %d 3 %d 4 %d 5 %d\n", cellColumns[0], cellColumns[1], cellColumns[2],
                   cellColumns[3], cellColumns[4]);
}

void printWindowLayout() {
    console::print("cols 1 %d col5 %d xnorm %d\n", cellColumns[0], cellColumns[4], 163);
    console::print("startx %d endx %d starty %d endy %d\n", detectionWindow.left, detectionWindow.right,
                   detectionWindow.top, detectionWindow.bottom);
}

// Nothing looks at a source's pictures beyond the driver's size unless
// full-size copies are saved: the decoders may then do less.
void decodeOnlyForTheDriver() {
    if (fullSizePictures != 0 || fullDecode != 0) return;
    for (int index = 0; index < driverSlots; ++index) {
        if (CaptureDriver* driver = driverAt(index))
            driver->source->decodeOnlyFor(capture::forcedWidth, capture::forcedHeight);
    }
}

}  // namespace

void openConsole() { console::open(); }

void registerMainWindowClass() {
    const WNDCLASSA windowClass = mainWindowClassRecord();
    RegisterClassA(&windowClass);
}

HWND createMainWindow() {
    return CreateWindowExA(0, mainWindowClass, mainWindowClass, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
}

LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            quitRequested = 1;
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

int winMain(const std::string& commandLineText) {
    imagesSaveDirectory[0] = '\0';
    pipeline::frameImage.dib = nullptr;
    openConsole();
    registerMainWindowClass();
    console::print("command line [%s]\n", commandLineText.c_str());
    cameraIndex = 0;
    if (std::sscanf(commandLineText.c_str(), "%d", &cameraIndex) != 1) cameraIndex = 0;
    console::print("Camera Index [%d]\n", cameraIndex);
    printCellLayout();
    int mistakes = 0;
    if (const std::string failure = readCheckedConfig(mistakes); !failure.empty()) {
        std::fprintf(stderr, "tavomotion: %s\n", failure.c_str());
        return usageStatus;
    }
    startMqttEvents();
    savedImageIndex = firstFreeImageNumber(imagesSaveDirectory, imagesNumberToSave);
    pipeline::now = pipeline::secondsNow();
    pipeline::lastFpsTime = pipeline::now;
    console::print("main\n");
    mainWindow = createMainWindow();
    printWindowLayout();
    ShowWindow(mainWindow, SW_SHOWNORMAL);
    UpdateWindow(mainWindow);
    // Every vehicle of a recording is watched, those of its first seconds too.
    if (everyVehicleMode != 0) platform::holdTimelineThroughPauses();
    decodeOnlyForTheDriver();
    capture::captureDevice.connect(static_cast<std::int16_t>(cameraIndex));
    pipeline::acquireFrame();
    pipeline::saveMotionPgm();
    return everyVehicleMode != 0 ? runEveryVehicleLoop() : runMainLoop();
}

}  // namespace app
