// Numbers of the menu bar's, the popups' and the tray menu's commands.
#pragma once

namespace ui {

constexpr int commandExit = 509;
constexpr int commandHomePage = 550;
constexpr int commandAbout = 552;
constexpr int commandCheckVersion = 556;
constexpr int commandOptions = 1001;
constexpr int commandTrayExit = 559;
constexpr int commandCleanExit = 561;

}  // namespace ui
