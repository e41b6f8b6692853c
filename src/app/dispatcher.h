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

}  // namespace app
