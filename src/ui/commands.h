// Numbers of the menu bar's, the popups' and the tray menu's commands.
#pragma once

namespace ui {

constexpr int commandExit = 509;
constexpr int commandTrayExit = 559;
constexpr int commandCleanExit = 561;

}  // namespace ui
