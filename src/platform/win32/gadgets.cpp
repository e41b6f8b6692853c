// Gadgets of our windows, known by number: the control id is the gadget
// number, so notifications name the gadget without a lookup. Labels are STATIC
// controls whose colours our window procedure answers in WM_CTLCOLORSTATIC.
#include <map>

#include "platform/win32/win32.h"

namespace platform {
using namespace win32;

namespace {

struct LabelColours {
  COLORREF text = 0, background = 0;
  HBRUSH brush = nullptr;
};

std::map<int, HWND> gadgets;
std::map<HWND, LabelColours> colouredLabels;

}  // namespace

namespace win32 {

HWND gadgetWindow(int gadget) {
  auto found = gadgets.find(gadget);
  return found != gadgets.end() && IsWindow(found->second) ? found->second : nullptr;
}

void rememberGadget(int gadget, HWND control) { gadgets[gadget] = control; }

int gadgetOfWindow(HWND control) {
  for (HWND w = control; w != nullptr; w = GetParent(w)) {
    for (const auto& [number, hwnd] : gadgets)
      if (hwnd == w) return number;
    if ((GetWindowLongA(w, GWL_STYLE) & WS_CHILD) == 0) break;
  }
  return 0;
}

HBRUSH labelColours(HWND control, HDC dc) {
  auto found = colouredLabels.find(control);
  if (found == colouredLabels.end()) return nullptr;
  SetTextColor(dc, found->second.text);
  SetBkColor(dc, found->second.background);
  return found->second.brush;
}

void forgetGadgetsOf(HWND window) {
  for (auto it = gadgets.begin(); it != gadgets.end();) {
    if (GetAncestor(it->second, GA_ROOT) == window || !IsWindow(it->second)) {
      auto coloured = colouredLabels.find(it->second);
      if (coloured != colouredLabels.end()) {
        DeleteObject(coloured->second.brush);
        colouredLabels.erase(coloured);
      }
      it = gadgets.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace win32

bool createLabel(Hwnd window, int gadget, int x, int y, int width, int height, const std::string& text) {
  // SS_NOPREFIX: a clip's "&" is shown, not taken as a mnemonic.
  HWND label = CreateWindowExA(0, "STATIC", text.c_str(),
                               WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, x, y, width,
                               height, toHwnd(window), reinterpret_cast<HMENU>(static_cast<INT_PTR>(gadget)),
                               GetModuleHandleA(nullptr), nullptr);
  if (!label) return false;
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  gadgets[gadget] = label;
  return true;
}

void setGadgetText(int gadget, const std::string& text) {
  HWND control = gadgetWindow(gadget);
  // The status refresh sets every label again; a label repaints at each WM_SETTEXT, changed or not.
  if (control && gadgetText(gadget) != text) SetWindowTextA(control, text.c_str());
}

std::string gadgetText(int gadget) {
  HWND control = gadgetWindow(gadget);
  if (!control) return {};
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(control, &text[0], length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

void setGadgetColours(int gadget, Colour text, Colour background) {
  HWND control = gadgetWindow(gadget);
  if (!control) return;
  LabelColours& colours = colouredLabels[control];
  if (colours.brush && colours.background == background) {
    if (colours.text == text) return;
    colours.text = text;
  } else {
    if (colours.brush) DeleteObject(colours.brush);
    colours = {text, background, CreateSolidBrush(background)};
  }
  InvalidateRect(control, nullptr, TRUE);
}

int focusedGadget() { return win32::gadgetOfWindow(GetFocus()); }

void sendGadgetKey(int gadget, int virtualKey) {
  HWND control = win32::gadgetWindow(gadget);
  if (!control) return;
  const UINT scan = MapVirtualKeyA(static_cast<UINT>(virtualKey), 0);
  SendMessageA(control, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1 | (scan << 16));
  SendMessageA(control, WM_KEYUP, static_cast<WPARAM>(virtualKey), 1 | (scan << 16) | (3u << 30));
}

int gadgetUnderCursor() {
  POINT at{};
  if (!GetCursorPos(&at)) return 0;
  return win32::gadgetOfWindow(WindowFromPoint(at));
}

}  // namespace platform
