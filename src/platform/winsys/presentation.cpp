#include "platform/winsys/presentation.h"

// Off-screen only: nothing is shown and nothing waits to be painted. The
// drawing canvas and the on-screen window replace this.
namespace platform::presentation {

void setHeadless(bool) {}
void windowCreated(HWND) {}
void windowShown(HWND) {}
void titleChanged(HWND) {}
void windowDestroyed(HWND) {}
void pumpEvents() {}
void paintDefault(HWND) {}
bool needsPaint(HWND) { return false; }

}  // namespace platform::presentation
