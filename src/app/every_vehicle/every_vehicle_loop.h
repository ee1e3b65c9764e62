#pragma once
// The every-vehicle mode's main loop: every frame the source delivers is
// looked at, and each vehicle that comes into the detection window is
// pictured once.
namespace app {

// Runs until the main window is closed; returns the exit status.
int runEveryVehicleLoop();

}  // namespace app
