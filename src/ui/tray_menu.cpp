// The tray menu: show the window, exit, capture on or off, and the newest clips to paste again.
#include "ui/tray_menu.h"

#include <algorithm>

#include "core/program.h"
#include "core/raise_window.h"
#include "platform/gadgets.h"
#include "platform/system.h"
#include "platform/window.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/main_window.h"

namespace ui {

void buildTrayMenu(core::Program& p) {
  std::vector<platform::MenuItem> items = {
      {commandShowWindow, "Show Tandrel Window"},
      {559, "Exit Tandrel"},
      {561, "Clean Database and Exit Tandrel"},
      {0, ""},
      {commandCaptureToggle, p.capture.capturing == 1 ? "Turn off clip collecting" : "Turn on clip collecting"},
      {0, ""},
  };
  const int n = std::min(static_cast<int>(p.view.order.size()), recentClips);
  for (int i = 0; i < n; ++i) {
    const std::string text = rowColumnText(p, i, 0).substr(0, 35);
    if (!text.empty()) items.push_back({commandFirstRecentClip + i, text});
  }
  platform::setPopupMenu(p.mainWindow, trayMenuNumber, items);
}

void pickRecentClip(core::Program& p, int index) {
  if (index < 0 || index >= static_cast<int>(p.view.order.size())) return;
  if (index != 0) platform::deselectListRows(gadgetClipList);
  platform::selectListRow(gadgetClipList, index);
  p.view.currentRow = index;
  copyClip(p);
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
  if (!platform::isIconic(w)) {
    platform::showWindow(w, platform::SW_RESTORE);
    core::bringToFront(w);
    if (p.capture.capturing == 1) platform::setTrayIcon(w, platform::TrayImage::Waiting, "Tandrel\x99 Waiting");
  } else {
    platform::showWindow(w, platform::SW_MINIMIZE);
    platform::sleep(250);
    platform::showWindow(w, platform::SW_RESTORE);
    platform::setTrayIcon(w, p.capture.capturing == 1 ? platform::TrayImage::Waiting : platform::TrayImage::NotActive,
                          "Tandrel\x99 Waiting");
    selectRow(p);
  }
  if (p.capture.combineCount != 0) platform::setTrayIcon(w, platform::TrayImage::Combining, "Tandrel\x99 Waiting");
}

}  // namespace ui
