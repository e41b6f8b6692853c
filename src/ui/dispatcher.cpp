// Which handler runs for which event of the main window.
#include "ui/dispatcher.h"

#include "app/program.h"

namespace ui {

void handleMainEvent(app::Program& p, const platform::WindowEvent& event) {
  switch (event.kind) {
    case platform::EVENT_MENU:
      if (event.gadget == commandExit || event.gadget == commandTrayExit) {
        p.quitRequested = 1;
      } else if (event.gadget == commandCleanExit) {
        p.cleanOnExit = 1;
        p.quitRequested = 1;
      }
      break;
    case platform::EVENT_CLOSE:
      // The close box only puts the program away into the tray.
      platform::showWindow(p.mainWindow, platform::SW_MINIMIZE);
      if (platform::isIconic(p.mainWindow)) platform::showWindow(p.mainWindow, platform::SW_HIDE);
      break;
    default:
      break;
  }
}

}  // namespace ui
