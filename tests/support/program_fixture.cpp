#include "support/program_fixture.h"

#include "capture/capture_device.h"
#include "pipeline/frame_pipeline.h"
#include "platform/clock/clock.h"
#include "platform/console/console.h"
#include "platform/vfw/driver_table.h"
#include "platform/winsys/presentation.h"
#include "platform/winsys/window.h"
#include "support/layer_resets.h"

namespace testing_support {

void resetProgramState() {
    capture::captureDevice.disconnect();
    platform::resetWindows();
    platform::resetDrivers();
    platform::clock::resetClock();
    platform::clock::select(platform::clock::Kind::virtualTime);
    platform::presentation::setHeadless(true);
    pipeline::resetPipeline();
    resetUpperLayers();
}

void ProgramTest::SetUp() {
    resetProgramState();
    console.clear();
    platform::console::captureInto(&console);
}

void ProgramTest::TearDown() {
    platform::console::captureInto(nullptr);
    capture::captureDevice.disconnect();
    platform::resetDrivers();
    platform::clock::resetClock();
}

ScriptedSource& ProgramTest::installScriptedDriver(int index, int width, int height,
                                                   const std::string& description) {
    auto source = std::make_unique<ScriptedSource>(width, height);
    ScriptedSource& scripted = *source;
    platform::installDriver(index, std::move(source), description);
    return scripted;
}

std::string ProgramTest::takeConsole() {
    std::string taken;
    taken.swap(console);
    return taken;
}

}  // namespace testing_support
