#pragma once
// Program-wide values of the application layer.
#include <cstdint>

#include "platform/winsys/win32_types.h"

namespace app {

constexpr int saveDirectoryCapacity = 200;
constexpr int fileNameCapacity = 100;
constexpr int titleCapacity = 800;

extern std::int32_t cameraIndex;
extern std::int32_t triggerOnAnyMotion;
// Not 0: each vehicle is pictured once, every frame looked at.
extern std::int32_t everyVehicleMode;
// Not 0: a tavo_N.jpg at the source's own size beside each picture.
extern std::int32_t fullSizePictures;
// Not 0: sources decode every picture in full, whatever it is shrunk to.
extern std::int32_t fullDecode;
// Not 0: a line per picture in tavomotion-pictures.csv in the save directory.
extern std::int32_t pictureLogKept;
// Not 0: the oldest pictures are removed before a save to keep this many
// bytes free on the save directory's file system.
extern std::int64_t keepFreeBytes;
// Not 0: the live frame's paints are left out while nothing shows or reads
// the window (no screen, no web client streaming it, no snapshot to take).
extern std::int32_t unseenPaintsLeftOut;
extern volatile std::int32_t quitRequested;
extern platform::HWND mainWindow;
extern char imagesSaveDirectory[saveDirectoryCapacity];
extern std::int32_t imagesNumberToSave;
extern std::int32_t savedImageIndex;
// Pictures the driver wrote in this run, whatever their numbers.
extern std::int32_t picturesSaved;
// The number N of the last tavo_N.bmp written in this run; -1 before the first.
extern std::int32_t lastPictureNumber;
extern char titleText[titleCapacity];
extern std::int32_t gaugeRight;

// Every value of the layer back to its start state (tests).
void resetApp();

}  // namespace app
