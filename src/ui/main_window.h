// The main window's title and raising it when a message must be seen (the layout is in layout.h).
#pragma once

#include "platform/types.h"

namespace app {
struct Program;
}

namespace ui {

// Raises a window above all others for a moment, so that a message is seen.
void bringToFront(platform::Hwnd window);
// The main window's title.
extern const char* const mainWindowTitle;

}  // namespace ui
