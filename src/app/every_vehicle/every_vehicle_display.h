#pragma once
// What the main window shows in the every-vehicle mode: the live frame with
// the detection window, the last picture beside it, a status line with the
// mode's figures, the title with the running figures, and a gauge of how much
// of the window vehicles cover.
#include "analysis/every_vehicle/every_vehicle_analysis.h"
#include "app/every_vehicle/kept_frames.h"

namespace app {

void paintWatchDisplay(const analysis::everyvehicle::WatchFigures& figures);
void paintVehiclePicture(const KeptFrame& frame);

}  // namespace app
