// The splitter bar between the clip list and the panel: dragged with the mouse, it reports where
// it was let go; the program then lays the two panes out again.
#include "platform/gadgets.h"
#include "platform/win32/win32.h"

namespace platform {
namespace {

constexpr const char* splitterClass = "TandrelSplitter";

LRESULT CALLBACK splitterProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  static int grabOffset = 0;
  switch (message) {
    case WM_SETCURSOR:
      SetCursor(LoadCursor(nullptr, IDC_SIZENS));
      return TRUE;
    case WM_LBUTTONDOWN:
      grabOffset = static_cast<short>(HIWORD(lParam));
      SetCapture(bar);
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == bar && (wParam & MK_LBUTTON)) {
        POINT at = {0, static_cast<short>(HIWORD(lParam))};
        MapWindowPoints(bar, GetParent(bar), &at, 1);
        RECT r;
        GetWindowRect(bar, &r);
        MapWindowPoints(nullptr, GetParent(bar), reinterpret_cast<POINT*>(&r), 2);
        MoveWindow(bar, r.left, at.y - grabOffset, r.right - r.left, r.bottom - r.top, TRUE);
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == bar) {
        ReleaseCapture();
        RECT r;
        GetWindowRect(bar, &r);
        MapWindowPoints(nullptr, GetParent(bar), reinterpret_cast<POINT*>(&r), 2);
        WindowEvent e;
        e.kind = EVENT_GADGET;
        e.window = win32::numberOfWindow(GetParent(bar));
        e.gadget = GetDlgCtrlID(bar);
        e.type = GADGET_SPLITTER_MOVE;
        e.data = r.top;
        win32::pushEvent(e);
      }
      return 0;
    default:
      return DefWindowProcA(bar, message, wParam, lParam);
  }
}

bool registerSplitterClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSA cls = {};
  cls.lpfnWndProc = splitterProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.hCursor = LoadCursor(nullptr, IDC_SIZENS);
  cls.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
  cls.lpszClassName = splitterClass;
  registered = RegisterClassA(&cls) != 0;
  return registered;
}

}  // namespace

bool createSplitterBar(const Place& place, int gadget) {
  if (!registerSplitterClass()) return false;
  return win32::createControl(place, gadget, 0, splitterClass, "", WS_CHILD | WS_VISIBLE) != nullptr;
}

}  // namespace platform
