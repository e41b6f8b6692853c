// The status line: a message and its colours, repainted at once so it shows even mid-command.
#include "ui/status.h"

#include "app/program.h"
#include "platform/window.h"
#include "ui/gadgets.h"

namespace ui {

void showStatus(app::Program& p, const std::string& message, platform::Colour background, platform::Colour text) {
  p.view.statusMsg = message == "clips" ? "Set = clips" : message;
  p.view.statusBackground = background;
  p.view.statusText = text;
  if (p.view.statusMsg.empty()) {
    platform::setGadgetText(gadgetStatusLine, "");
    platform::setGadgetColours(gadgetStatusLine, colour::black, colour::lightCyan);
  } else {
    platform::setGadgetText(gadgetStatusLine, p.view.statusMsg);
    platform::setGadgetColours(gadgetStatusLine, text, background);
  }
  // Repaint rather than drain the queue: the user's pending input is never thrown away.
  if (p.mainWindow != 0) platform::updateWindow(p.mainWindow);
}

void showActiveSetStatus(app::Program& p) {
  showStatus(p, p.settings.activeSetName, colour::lightCyan, colour::black);
}

int showActionFailed(app::Program& p) {
  showStatus(p, "Action Failed", colour::blue, colour::white);
  return 0;
}

}  // namespace ui
