// The main window: built hidden during start-up, with its tray icon and status line.
#pragma once

#include "platform/types.h"

namespace app {
struct Program;
}

namespace ui {

// Creates the main window (number 500) and its tray icon; false when the window cannot be made.
bool buildMainWindow(app::Program& p);
// Raises a window above all others for a moment, so that a message is seen.
void bringToFront(platform::Hwnd window);
// The main window's title.
extern const char* const mainWindowTitle;

}  // namespace ui
