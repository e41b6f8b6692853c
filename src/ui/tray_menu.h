// The tray icon's menu with the recent clips, and the tray icon's clicks.
#pragma once

namespace core {
struct Program;
}

namespace ui {

constexpr int trayMenuNumber = 557;
constexpr int commandShowWindow = 558;
constexpr int commandCaptureToggle = 560;
constexpr int commandFirstRecentClip = 601;
constexpr int recentClips = 8;

void buildTrayMenu(core::Program& p);
// Puts recent clip `index` (its list row) on the clipboard and moves it to the top.
void pickRecentClip(core::Program& p, int index);
// A click on the tray icon (type 0 left, 1 right).
void trayIconEvent(core::Program& p, int type);

}  // namespace ui
