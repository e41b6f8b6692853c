// The dispatcher of the main window's events: which handler runs for which event.
#pragma once

#include "platform/window.h"

namespace core {
struct Program;
}

namespace app {

void handleMainEvent(core::Program& p, const platform::WindowEvent& event);
// The next event: one held back by the double-click wait, else a new one (at most `milliseconds`).
platform::WindowEvent nextEvent(core::Program& p, int milliseconds);

// Shared by the gadget and the menu branches.
void endCombining(core::Program& p);
// "Dup In Target" and "Move To Target": transfer at once into an open target, else ask for a set.
void applyTargetRule(core::Program& p);
void toggleAdditionalInfo(core::Program& p);
// "Add Item to Set": the shown text or picture as a new clip of the active set.
void addShownItemToSet(core::Program& p);
// A command whose handler is not part of the program yet: it says so on the status line.
void commandNotAvailable(core::Program& p);

// The menu and shortcut commands (menu bar, popups, tray, the window's keys).
void runMenuCommand(core::Program& p, int command);

}  // namespace app
