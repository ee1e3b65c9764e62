#pragma once
#include <string>

#include "platform/winsys/win32_types.h"

namespace app {

// The program from its console to the end of the main loop; returns the
// exit status. `commandLineText` is what follows the program's name.
int winMain(const std::string& commandLineText);

void openConsole();
void registerMainWindowClass();
platform::HWND createMainWindow();

platform::LRESULT windowProc(platform::HWND window, platform::UINT message, platform::WPARAM wParam,
                             platform::LPARAM lParam);

}  // namespace app
