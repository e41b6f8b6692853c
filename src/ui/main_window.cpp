// Building the main window and raising it when a message must be seen.
#include "ui/main_window.h"

#include "app/program.h"
#include "platform/system.h"
#include "platform/window.h"
#include "ui/gadgets.h"

namespace ui {

const char* const mainWindowTitle = "Tandrel\x99 Clipboard Assistant";

bool buildMainWindow(app::Program& p) {
  p.mainWindow = platform::openWindow(app::mainWindowNumber, p.settings.windowX, p.settings.windowY, 700, 525,
                                      mainWindowTitle, false);
  if (p.mainWindow == 0) return false;
  platform::setTrayIcon(p.mainWindow, platform::TrayImage::Waiting, "Tandrel\x99 Waiting");
  if (!platform::createLabel(p.mainWindow, gadgetStatusLine, 1, 262, 115, 18, "")) return false;
  platform::setGadgetColours(gadgetStatusLine, colour::black, colour::lightCyan);
  return true;
}

void bringToFront(platform::Hwnd window) {
  platform::setTopmost(window, true);
  platform::sleep(250);
  platform::setTopmost(window, false);
}

}  // namespace ui
