// Bringing the main window forward so that a message box about it is seen.
#pragma once

#include "platform/types.h"

namespace core {

struct Program;

// Raises a window above all others for a moment, so that a message is seen.
void bringToFront(platform::Hwnd window);
// Restores a minimised main window and brings it to the front; leaves any other state alone.
void raiseMainWindow(Program& p);

}  // namespace core
