// tdhelper's command for the popup menus another program opens:
//
//   popupmenu <seconds>                      wait for a shown popup menu; print "popup" and the command
//                                            number of each of its items (0 for a separator), or "popup ?"
//                                            when its items cannot be read from here; exit 1 when none shows
//   centre <title part> <class prefix>       print "x y" (screen) of the middle of the first visible child
//                                            of that window whose class starts with the prefix
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// pictures.cpp
HWND topWindow(const std::string& part);

namespace {

BOOL CALLBACK findShownMenu(HWND window, LPARAM found) {
  char cls[16] = "";
  GetClassNameA(window, cls, sizeof cls);
  if (lstrcmpA(cls, "#32768") != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

struct Search {
  std::string part;  // of a class name
  HWND found = nullptr;
};

BOOL CALLBACK findClass(HWND child, LPARAM search) {
  auto* s = reinterpret_cast<Search*>(search);
  char cls[64] = "";
  GetClassNameA(child, cls, sizeof cls);
  if (!IsWindowVisible(child) || CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, cls,
                                                static_cast<int>(std::min(std::strlen(cls), s->part.size())),
                                                s->part.c_str(), static_cast<int>(s->part.size())) != CSTR_EQUAL)
    return TRUE;
  s->found = child;
  return FALSE;
}

}  // namespace

// Answers the exit code of a command of this file, -1 for a command that is not one of them.
int popupCommand(const std::string& command, int argc, char** argv) {
  if (command == "centre" && argc >= 4) {
    HWND window = topWindow(argv[2]);
    if (!window) return 1;
    Search control{argv[3]};
    EnumChildWindows(window, findClass, reinterpret_cast<LPARAM>(&control));
    RECT r{};
    if (!control.found || !GetWindowRect(control.found, &r)) return 1;
    std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
  }
  if (command != "popupmenu" || argc < 3) return -1;
  const DWORD limit = static_cast<DWORD>(std::atoi(argv[2])) * 1000;
  const DWORD start = GetTickCount();
  do {
    HWND shown = nullptr;
    EnumWindows(findShownMenu, reinterpret_cast<LPARAM>(&shown));
    if (shown) {
      constexpr UINT getMenu = 0x01E1;  // MN_GETHMENU
      DWORD_PTR menu = 0;
      SendMessageTimeoutA(shown, getMenu, 0, 0, SMTO_ABORTIFHUNG, 2000, &menu);
      const int count = menu ? GetMenuItemCount(reinterpret_cast<HMENU>(menu)) : -1;
      if (count < 0) {
        std::printf("popup ?\n");
        return 0;
      }
      std::printf("popup");
      for (int i = 0; i < count; ++i) std::printf(" %d", static_cast<int>(GetMenuItemID(reinterpret_cast<HMENU>(menu), i)));
      std::printf("\n");
      return 0;
    }
    Sleep(100);
  } while (GetTickCount() - start < limit);
  return 1;
}
