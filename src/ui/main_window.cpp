// Raising the main window when a message must be seen.
#include "ui/main_window.h"

#include "platform/system.h"
#include "platform/window.h"

namespace ui {

const char* const mainWindowTitle = "Tandrel\x99 Clipboard Assistant";

void bringToFront(platform::Hwnd window) {
  platform::setTopmost(window, true);
  platform::sleep(250);
  platform::setTopmost(window, false);
}

}  // namespace ui
