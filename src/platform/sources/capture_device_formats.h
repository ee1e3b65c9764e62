#pragma once
// FFmpeg's device library (the V4L2 camera input among others) loaded only
// when a camera is asked for. It pulls in some eighty further libraries,
// which would otherwise take about 10 MiB of every run's memory.
namespace platform {

// Makes the device input formats known to FFmpeg; false when the library
// cannot be loaded (then a camera cannot be opened, and says so).
bool loadCaptureDeviceFormats();

}  // namespace platform
