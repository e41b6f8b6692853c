// Menus: popups built from the program's item lists and shown at the cursor, the menu bar, and
// the keys that act as commands. Captions are UTF-8, made wide for the menus, so a clip's text in the
// tray's menu shows every character. The item picked is queued as a menu event like any other command.
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

std::map<HWND, std::vector<std::pair<int, int>>>& keyCommands() {
  static std::map<HWND, std::vector<std::pair<int, int>>> all;
  return all;
}

bool sameItems(const std::vector<MenuItem>& a, const std::vector<MenuItem>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].id != b[i].id || a[i].caption != b[i].caption || a[i].enabled != b[i].enabled ||
        !sameItems(a[i].items, b[i].items))
      return false;
  return true;
}

// The items each popup was built from: a popup asked for again unchanged (every capture asks for
// the editor's) is kept as it is.
std::map<int, std::vector<MenuItem>>& popupItems() {
  static std::map<int, std::vector<MenuItem>> all;
  return all;
}

void appendItems(HMENU menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    const UINT grey = item.enabled ? 0 : MF_GRAYED;
    if (!item.items.empty()) {
      HMENU sub = CreatePopupMenu();
      appendItems(sub, item.items);
      AppendMenuW(menu, MF_POPUP | grey, reinterpret_cast<UINT_PTR>(sub), win32::toWide(item.caption).c_str());
    } else if (item.id == 0) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu, MF_STRING | grey, static_cast<UINT_PTR>(item.id), win32::toWide(item.caption).c_str());
    }
  }
}

}  // namespace

namespace win32 {

bool translateKeyCommand(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !msg.hwnd) return false;
  // Only keys typed into the window itself or its controls: a dialog of ours is a window of its own.
  const auto found = keyCommands().find(GetAncestor(msg.hwnd, GA_ROOT));
  if (found == keyCommands().end()) return false;
  for (const auto& [key, command] : found->second) {
    if (static_cast<WPARAM>(key) != msg.wParam) continue;
    pushEvent({EVENT_MENU, numberOfWindow(found->first), command, 0, 0});
    return true;
  }
  return false;
}

}  // namespace win32

void setPopupMenu(Hwnd, int menu, const std::vector<MenuItem>& items) {
  auto& all = menus();
  const auto it = all.find(menu);
  if (it != all.end() && sameItems(popupItems()[menu], items)) return;
  if (it != all.end()) DestroyMenu(it->second);
  popupItems()[menu] = items;
  HMENU popup = CreatePopupMenu();
  appendItems(popup, items);
  all[menu] = popup;
}

void setMenuBar(Hwnd window, const std::vector<MenuItem>& bar) {
  HWND owner = win32::toHwnd(window);
  RECT client{};
  GetClientRect(owner, &client);
  HMENU menu = CreateMenu();
  appendItems(menu, bar);
  HMENU old = GetMenu(owner);
  const bool hadMenu = old != nullptr;
  SetMenu(owner, menu);
  if (old) DestroyMenu(old);
  DrawMenuBar(owner);
  // The bar takes its height from the client area: the window grows by it once.
  if (!hadMenu && !IsIconic(owner)) {
    RECT frame = client;
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(owner, GWL_STYLE)), TRUE,
                       static_cast<DWORD>(GetWindowLongA(owner, GWL_EXSTYLE)));
    SetWindowPos(owner, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void setKeyCommands(Hwnd window, const std::vector<std::pair<int, int>>& keyToCommand) {
  keyCommands()[win32::toHwnd(window)] = keyToCommand;
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
