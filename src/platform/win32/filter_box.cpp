// The filter box: a wide single-line edit whose list keys, Enter and Escape reach the logic as
// events instead of the box, so that the list below it follows the keyboard while the caret stays.
#include "platform/gadgets.h"

#include "platform/win32/win32.h"

#include <map>

namespace platform {
using namespace win32;

namespace {

std::map<HWND, WNDPROC> boxProcs;

// The keys the logic takes, with Home and End only under Ctrl.
bool logicKey(WPARAM key, bool ctrl) {
  switch (key) {
    case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_RETURN: case VK_ESCAPE: return true;
    case VK_HOME: case VK_END: return ctrl;
    default: return false;
  }
}

LRESULT CALLBACK filterBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto found = boxProcs.find(box);
  if (found == boxProcs.end()) return DefWindowProcW(box, message, wParam, lParam);
  const WNDPROC previous = found->second;
  const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if (message == WM_KEYDOWN && logicKey(wParam, ctrl)) {
    std::intptr_t data = static_cast<std::intptr_t>(wParam);
    if ((GetKeyState(VK_SHIFT) & 0x8000) != 0) data |= KEY_SHIFT;
    if (ctrl) data |= KEY_CTRL;
    const int number = numberOfWindow(GetAncestor(box, GA_ROOT));
    pushEvent({EVENT_GADGET, number, gadgetOfWindow(box), GADGET_KEY, data});
    return 0;
  }
  // Their characters would only beep.
  if (message == WM_CHAR && (wParam == '\r' || wParam == 27 || wParam == '\n')) return 0;
  if (message == WM_GETDLGCODE) return CallWindowProcW(previous, box, message, wParam, lParam) | DLGC_WANTALLKEYS;
  if (message == WM_NCDESTROY) {
    boxProcs.erase(found);
    SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  }
  return CallWindowProcW(previous, box, message, wParam, lParam);
}

}  // namespace

bool createFilterBox(const Place& place, int gadget, FontId id) {
  if (!IsWindow(toHwnd(place.window))) return false;
  // Wide, so that any character typed reaches the filter as typed.
  HWND box = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                             place.x, place.y, place.width, place.height, toHwnd(place.window),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(gadget)), GetModuleHandleW(nullptr), nullptr);
  if (!box) return false;
  SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font(id)), FALSE);
  rememberGadget(gadget, box);
  boxProcs[box] = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(filterBoxProc)));
  return true;
}

std::string filterBoxText(int gadget) {
  HWND box = gadgetWindow(gadget);
  if (!box) return {};
  const int length = GetWindowTextLengthW(box);
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  const int read = GetWindowTextW(box, &wide[0], length + 1);
  return read > 0 ? toUtf8(wide.data(), read) : std::string();
}

void setFilterBoxText(int gadget, const std::string& text) {
  if (HWND box = gadgetWindow(gadget)) SetWindowTextW(box, toWide(text).c_str());
}

}  // namespace platform
