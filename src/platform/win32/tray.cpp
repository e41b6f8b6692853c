// The tray icon (number 1) of a window, through Shell_NotifyIconA with the
// original 88-byte structure so that every shell version takes it.
#include "platform/win32/win32.h"

#include <shellapi.h>

#include <cstring>
#include <set>

namespace platform {
using namespace win32;

namespace {

constexpr UINT trayIconId = 1;
// Windows whose icon we believe the shell shows; a restarted Explorer forgets them all.
std::set<HWND> iconShown;

NOTIFYICONDATAA iconData(HWND window) {
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window;
  data.uID = trayIconId;
  return data;
}

}  // namespace

bool setTrayIcon(Hwnd window, TrayImage image, const std::string& tooltip) {
  HWND owner = toHwnd(window);
  if (!IsWindow(owner)) return false;
  NOTIFYICONDATAA data = iconData(owner);
  data.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  data.uCallbackMessage = trayCallbackMessage;
  data.hIcon = trayIcon(image);
  const size_t length = tooltip.size() < 63 ? tooltip.size() : 63;
  std::memcpy(data.szTip, tooltip.data(), length);
  data.szTip[length] = '\0';
  // After "TaskbarCreated" the shell no longer knows the icon, so a failed change adds it anew.
  if (iconShown.count(owner) && Shell_NotifyIconA(NIM_MODIFY, &data)) return true;
  if (!Shell_NotifyIconA(NIM_ADD, &data)) return false;
  iconShown.insert(owner);
  return true;
}

bool removeTrayIcon(Hwnd window) {
  HWND owner = toHwnd(window);
  NOTIFYICONDATAA data = iconData(owner);
  iconShown.erase(owner);
  return Shell_NotifyIconA(NIM_DELETE, &data) != 0;
}

}  // namespace platform
