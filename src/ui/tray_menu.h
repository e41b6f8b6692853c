// The tray icon's menu with the recent clips, and the tray icon's clicks.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace ui {

void buildTrayMenu(core::Program& p);
// A clip's text as a menu caption: "&" doubled so it is not a mnemonic, tabs and control
// characters as blanks, at most `limit` characters of the text.
std::string menuCaption(const std::string& text, std::size_t limit);  // UTF-8, `limit` characters
// Puts the recent clip of tray entry `index` on the clipboard and moves it to the top; nothing
// when that clip is no longer listed.
void pickRecentClip(core::Program& p, int index);
// A click on the tray icon (type 0 left, 1 right).
void trayIconEvent(core::Program& p, int type);

}  // namespace ui
