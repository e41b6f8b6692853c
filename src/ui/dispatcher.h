// The dispatcher of the main window's events: which handler runs for which event.
#pragma once

#include "platform/window.h"

namespace app {
struct Program;
}

namespace ui {

constexpr int commandExit = 509;
constexpr int commandTrayExit = 559;
constexpr int commandCleanExit = 561;

void handleMainEvent(app::Program& p, const platform::WindowEvent& event);
// The next event: one held back by the double-click wait, else a new one (at most `milliseconds`).
platform::WindowEvent nextEvent(app::Program& p, int milliseconds);

}  // namespace ui
