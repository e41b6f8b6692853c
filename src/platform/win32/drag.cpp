// Dragging list rows with the mouse. The list view reports the start of a drag; from then on the
// window holds the mouse capture, runs the program's callback every 50 ms (it scrolls a list when
// the pointer is near its edge) and, when the button is let go (seen as a button-up or, should the
// capture have gone elsewhere, by the timer), reports the drop on the list under the pointer with
// that list's row under the pointer made current.
#include "platform/gadgets.h"

#include "platform/win32/win32.h"

#include <commctrl.h>

namespace platform {
using namespace win32;

namespace {

constexpr UINT_PTR dragTimer = 0x7D01;

struct Drag {
  HWND window = nullptr;
  int source = 0;
  std::function<void()> during;
} drag;

// The row of a list under a screen point, -1 for none.
int rowAt(HWND list, POINT screen) {
  LVHITTESTINFO hit = {};
  hit.pt = screen;
  ScreenToClient(list, &hit.pt);
  const int row = static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return row >= 0 && (hit.flags & LVHT_ONITEM) ? row : -1;
}

void endDrag() {
  HWND window = drag.window;
  const int source = drag.source;
  const int number = numberOfWindow(window);
  KillTimer(window, dragTimer);
  drag = Drag{};
  if (GetCapture() == window) ReleaseCapture();
  int target = 0;
  {
    POINT at;
    GetCursorPos(&at);
    target = gadgetOfWindow(WindowFromPoint(at));
    HWND list = target != 0 ? gadgetWindow(target) : nullptr;
    char cls[32] = "";
    if (list) GetClassNameA(list, cls, sizeof cls);
    if (!list || lstrcmpiA(cls, WC_LISTVIEWA) != 0) {
      target = 0;
    } else {
      // The row under the pointer becomes the list's focused row, selected alone in a list of sets.
      const int row = rowAt(list, at);
      if (target != source) deselectListRows(target);
      if (row >= 0) {
        LVITEMA item = {};
        item.stateMask = LVIS_FOCUSED | (target != source ? LVIS_SELECTED : 0);
        item.state = item.stateMask;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
      }
    }
  }
  pushEvent({EVENT_DROP, number, target, 0, 0});
}

}  // namespace

namespace win32 {

void beginRowDrag(HWND window, int gadget) {
  if (drag.window) return;
  drag.window = window;
  drag.source = gadget;
  SetCapture(window);
  SetTimer(window, dragTimer, 50, nullptr);
}

bool dragMessage(HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (!drag.window || window != drag.window) return false;
  switch (message) {
    case WM_TIMER:
      if (wParam != dragTimer) return false;
      if (!(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) {
        endDrag();  // let go where no button-up reached us
        result = 0;
        return true;
      }
      // The list may have let the capture go after it reported the drag.
      if (GetCapture() != window) SetCapture(window);
      if (drag.during) {
        auto during = drag.during;
        during();
      }
      result = 0;
      return true;
    case WM_MOUSEMOVE:
      SetCursor(LoadCursor(nullptr, IDC_ARROW));
      result = 0;
      return true;
    case WM_LBUTTONUP:
      endDrag();
      result = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace win32

void followRowDrag(int gadget, std::function<void()> during) {
  if (drag.window && drag.source == gadget) drag.during = std::move(during);
}

int listTopRow(int gadget) {
  HWND list = gadgetWindow(gadget);
  return list ? static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0)) : 0;
}

int listRowsPerPage(int gadget) {
  HWND list = gadgetWindow(gadget);
  return list ? static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0)) : 0;
}

int listPointerBand(int gadget, int topBand) {
  HWND list = gadgetWindow(gadget);
  if (!list || !IsWindowVisible(list)) return 0;
  POINT at;
  RECT frame;
  if (!GetCursorPos(&at) || !GetWindowRect(list, &frame) || !PtInRect(&frame, at)) return 0;
  ScreenToClient(list, &at);
  if (topBand == 0) {
    RECT header = {0, 0, 0, 0};
    if (HWND h = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0))) GetWindowRect(h, &header);
    topBand = header.bottom - header.top;
  }
  RECT client;
  GetClientRect(list, &client);
  if (at.y <= topBand) return -1;
  if (at.y >= client.bottom - GetSystemMetrics(SM_CYHSCROLL) - 4) return 1;
  return 0;
}

}  // namespace platform
