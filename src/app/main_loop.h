#pragma once
#include "platform/winsys/win32_types.h"

namespace app {

// One turn of the message pump, then the next frame; false once the main
// window is closing (the frame was still grabbed).
bool takeNextFrame(platform::MSG& message);

// Polls one message, acquires, steps the state machine, checks the light,
// triggers on a moving scene, redraws; until the main window is destroyed.
// Returns the word parameter of the last message taken.
int runMainLoop();

// Saves the trigger picture, waits for the dark object to pass, then follows
// the scene once a second until it no longer moves.
void runTriggerCycle();

}  // namespace app
