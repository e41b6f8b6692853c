// Bringing the main window forward: a topmost moment rather than a focus steal.
#include "core/raise_window.h"

#include "core/program.h"
#include "platform/system.h"
#include "platform/window.h"

namespace core {

void bringToFront(platform::Hwnd window) {
  platform::setTopmost(window, true);
  platform::sleep(250);
  platform::setTopmost(window, false);
}

void raiseMainWindow(Program& p) {
  if (p.mainWindow != 0 && platform::isIconic(p.mainWindow)) {
    platform::showWindow(p.mainWindow, platform::SW_RESTORE);
    bringToFront(p.mainWindow);
  }
}

}  // namespace core
