// The dispatcher of the main window's events.
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

}  // namespace ui
