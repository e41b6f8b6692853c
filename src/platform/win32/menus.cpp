// Popup menus: built from the program's item lists and shown at the cursor; the item picked is
// queued as a menu event like any other command.
#include <map>
#include <vector>

#include "platform/gadgets.h"
#include "platform/win32/win32.h"

namespace platform {
namespace {

std::map<int, HMENU>& menus() {
  static std::map<int, HMENU> all;
  return all;
}

}  // namespace

void setPopupMenu(Hwnd, int menu, const std::vector<MenuItem>& items) {
  auto& all = menus();
  if (const auto it = all.find(menu); it != all.end()) DestroyMenu(it->second);
  HMENU popup = CreatePopupMenu();
  for (const MenuItem& item : items) {
    if (item.id == 0) AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    else AppendMenuA(popup, MF_STRING, static_cast<UINT_PTR>(item.id), item.caption.c_str());
  }
  all[menu] = popup;
}

void showPopupMenu(Hwnd window, int menu) {
  const auto it = menus().find(menu);
  if (it == menus().end()) return;
  POINT at{};
  GetCursorPos(&at);
  HWND owner = win32::toHwnd(window);
  // Without this the menu does not close when the user clicks elsewhere.
  SetForegroundWindow(owner);
  const int picked = static_cast<int>(
      TrackPopupMenu(it->second, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
  PostMessageA(owner, WM_NULL, 0, 0);
  if (picked != 0) {
    WindowEvent e;
    e.kind = EVENT_MENU;
    e.window = win32::numberOfWindow(owner);
    e.gadget = picked;
    win32::pushEvent(e);
  }
}

}  // namespace platform
