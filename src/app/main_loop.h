#pragma once

namespace app {

// Polls one message, acquires, steps the state machine, checks the light,
// triggers on a moving scene, redraws; until the main window is destroyed.
// Returns the word parameter of the last message taken.
int runMainLoop();

// Saves the trigger picture, waits for the dark object to pass, then follows
// the scene once a second until it no longer moves.
void runTriggerCycle();

}  // namespace app
