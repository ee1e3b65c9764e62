#include "support/connected_program.h"

#include "app/app_state.h"
#include "app/startup.h"
#include "capture/capture_device.h"
#include "pipeline/frame_pipeline.h"
#include "platform/winsys/window.h"

namespace testing_support {

void ConnectedProgramTest::SetUp() {
    ProgramTest::SetUp();
    source = &installScriptedDriver();
    app::registerMainWindowClass();
    app::mainWindow = app::createMainWindow();
    platform::ShowWindow(app::mainWindow, platform::SW_SHOW);
    platform::UpdateWindow(app::mainWindow);
    ASSERT_NE(capture::captureDevice.connect(0), 0);
    takeConsole();
}

void ConnectedProgramTest::acquire(int frames) {
    for (int i = 0; i < frames; ++i) pipeline::acquireFrame();
    takeConsole();
}

}  // namespace testing_support
