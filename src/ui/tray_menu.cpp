// The tray menu: show the window, exit, capture on or off, and the newest clips to paste again.
#include "ui/tray_menu.h"

#include <algorithm>

#include "core/program.h"
#include "core/raise_window.h"
#include "platform/gadgets.h"
#include "platform/system.h"
#include "platform/window.h"
#include "ui/clip_list.h"
#include "ui/commands.h"
#include "ui/gadgets.h"
#include "ui/main_window.h"
#include "ui/status.h"

namespace ui {

std::string menuCaption(const std::string& text, std::size_t limit) {
  std::string caption;
  // UTF-8: `limit` counts characters, and a character's following bytes go with it.
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) != 0x80 && characters++ == limit) break;
    if (c < 0x20 || c == 0x7F) caption += ' ';
    else if (c == '&') caption += "&&";
    else caption += static_cast<char>(c);
  }
  return caption;
}

void buildTrayMenu(core::Program& p) {
  const auto entry = [](int id, const std::string& caption) { return platform::MenuItem{id, caption, true, {}}; };
  std::vector<platform::MenuItem> items = {
      entry(commandShowWindow, "Show Tandrel Window"),
      entry(commandTrayExit, "Exit Tandrel"),
      entry(commandCleanExit, "Clean Database and Exit Tandrel"),
      entry(0, ""),
      entry(commandCaptureToggle, p.capture.capturing == 1 ? "Turn off clip collecting" : "Turn on clip collecting"),
      entry(0, ""),
  };
  p.view.trayClipKeys.assign(recentClips, 0);
  const int n = std::min(static_cast<int>(p.view.order.size()), recentClips);
  for (int i = 0; i < n; ++i) {
    const std::string text = rowColumnText(p, i, 0);
    if (text.empty()) continue;
    items.push_back(entry(commandFirstRecentClip + i, menuCaption(text, 35)));
    p.view.trayClipKeys[static_cast<std::size_t>(i)] = elementAtRow(p, i)->key;
  }
  items.push_back(entry(0, ""));
  items.push_back(entry(commandQuickPaste, "Quick Paste: find any clip"));
  platform::setPopupMenu(p.mainWindow, trayMenuNumber, items);
}

void pickRecentClip(core::Program& p, int entry) {
  // The entry names the clip listed when the menu was built; rows may have moved since.
  if (entry < 0 || entry >= static_cast<int>(p.view.trayClipKeys.size())) return;
  const std::int64_t key = p.view.trayClipKeys[static_cast<std::size_t>(entry)];
  int index = -1;
  for (int row = 0; key != 0 && row < static_cast<int>(p.view.order.size()); ++row) {
    if (elementAtRow(p, row)->key == key) {
      index = row;
      break;
    }
  }
  if (index < 0) return;
  if (index != 0) platform::deselectListRows(gadgetClipList);
  platform::selectListRow(gadgetClipList, index);
  p.view.currentRow = index;
  if (copyClip(p) == 0) {
    showActionFailed(p);
    return;
  }
  moveClipToTop(p, p.view.currentElement);
  resetRowOrder(p);
  platform::deselectListRows(gadgetClipList);
  p.view.currentRow = 0;
  selectRow(p);
  p.capture.ownWrite = 1;
  showClipContent(p);
  p.capture.ownWrite = 0;
  buildTrayMenu(p);
}

void trayIconEvent(core::Program& p, int type) {
  const platform::Hwnd w = p.mainWindow;
  if (type == 1) {
    buildTrayMenu(p);
    platform::showPopupMenu(w, trayMenuNumber);
    platform::showWindow(w, platform::SW_HIDE);
    platform::showWindow(w, platform::SW_RESTORE);
    return;
  }
  if (type != 0) return;
  // The icon and its tooltip keep saying whether capture is on.
  const bool on = p.capture.capturing == 1;
  const char* tooltip = on ? "Tandrel\x99 Waiting" : "Tandrel Not Active";
  if (!platform::isIconic(w)) {
    platform::showWindow(w, platform::SW_RESTORE);
    core::bringToFront(w);
  } else {
    platform::showWindow(w, platform::SW_MINIMIZE);
    platform::sleep(250);
    platform::showWindow(w, platform::SW_RESTORE);
    selectRow(p);
  }
  platform::setTrayIcon(w, on ? platform::TrayImage::Waiting : platform::TrayImage::NotActive, tooltip);
  if (p.capture.combineCount != 0) platform::setTrayIcon(w, platform::TrayImage::Combining, tooltip);
}

}  // namespace ui
