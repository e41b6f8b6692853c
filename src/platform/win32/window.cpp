// Top-level windows over USER32: the toolkit start, window numbers, the one
// window procedure of our windows (which turns close boxes, menus, buttons and
// the tray into events and hands everything else to the logic), and the small
// window queries the logic makes.
#include "platform/window.h"

#include "platform/win32/win32.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace platform {
using namespace win32;

namespace {

// Number -> window of every window openWindow made; the number itself rides in GWLP_USERDATA.
std::map<int, HWND> windowsByNumber;
// Each window's logic callback, shared so that a callback replaced while it runs stays alive.
std::map<HWND, std::shared_ptr<WindowProc>> procs;
// The pop-ups: each reports losing the activation, as a click elsewhere closes it.
std::set<HWND> popups;

int trayEventType(LPARAM mouseMessage) {
  switch (mouseMessage) {
    case WM_LBUTTONUP: return 0;
    case WM_RBUTTONUP: return 1;
    case WM_LBUTTONDBLCLK: return 2;
    default: return -1;  // moves and presses would flood the loop
  }
}

// Click types of the controls we make; 0 left click, 2 double click, -1 for the logic's proc.
int gadgetEventType(HWND control, int code) {
  char cls[32] = "";
  GetClassNameA(control, cls, sizeof cls);
  if (lstrcmpiA(cls, "Button") == 0) {
    if (code == BN_CLICKED) return 0;
    if (code == BN_DOUBLECLICKED) return 2;
  } else if (lstrcmpiA(cls, "Edit") == 0) {
    // A read-only box changes only when the program sets it.
    if (code == EN_CHANGE && (GetWindowLongA(control, GWL_STYLE) & ES_READONLY) == 0) return GADGET_TEXT_CHANGE;
  } else if (lstrcmpiA(cls, "Static") == 0) {
    if (code == STN_CLICKED) return 0;
    if (code == STN_DBLCLK) return 2;
  }
  return -1;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  const int number = numberOfWindow(window);
  LRESULT answered = 0;
  if (controlMessage(window, message, wParam, lParam, answered)) return answered;
  switch (message) {
    case WM_CLOSE:
      pushEvent({EVENT_CLOSE, number, 0, 0, 0});
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (lParam == 0) {  // 0 from a menu, 1 from an accelerator: both are commands
        pushEvent({EVENT_MENU, number, id, 0, 0});
        return 0;
      }
      const int type = gadgetEventType(reinterpret_cast<HWND>(lParam), code);
      if (type >= 0) {
        pushEvent({EVENT_GADGET, number, id, type, 0});
        return 0;
      }
      break;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE && popups.count(window) != 0) pushEvent({EVENT_DEACTIVATE, number, 0, 0, 0});
      break;
    case WM_CTLCOLORSTATIC:
      if (HBRUSH brush = labelColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
        return reinterpret_cast<LRESULT>(brush);
      break;
    case trayCallbackMessage: {
      const int type = trayEventType(lParam);
      if (type >= 0) pushEvent({EVENT_TRAY, number, static_cast<int>(wParam), type, 0});
      return 0;
    }
    case WM_NCDESTROY: {
      // A tray icon outliving its window stays on the task bar until the mouse passes over it.
      removeTrayIcon(fromHwnd(window));
      forgetGadgetsOf(window);
      procs.erase(window);
      popups.erase(window);
      auto found = windowsByNumber.find(number);
      if (found != windowsByNumber.end() && found->second == window) windowsByNumber.erase(found);
      break;
    }
    default:
      break;
  }
  auto found = procs.find(window);
  if (found != procs.end()) {
    std::shared_ptr<WindowProc> proc = found->second;
    if (std::optional<LResult> answer = (*proc)(fromHwnd(window), message, wParam, lParam))
      return static_cast<LRESULT>(*answer);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

namespace win32 {

bool registerWindowClass() {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = windowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = trayIcon(TrayImage::Waiting);
  wc.hIconSm = trayIcon(TrayImage::Waiting);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = windowClassName;
  return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int numberOfWindow(HWND window) {
  char cls[32] = "";
  if (!window || !GetClassNameA(window, cls, sizeof cls) || lstrcmpA(cls, windowClassName) != 0) return 0;
  return static_cast<int>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace win32

bool initToolkit() {
  const HRESULT ole = OleInitialize(nullptr);
  if (FAILED(ole)) return false;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS |
                                                        ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
  if (!InitCommonControlsEx(&controls)) return false;
  return registerWindowClass();
}

int windowsVersion() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return 0;
  return static_cast<int>(info.dwMajorVersion * 100 + info.dwMinorVersion);
}

Hwnd openWindow(int number, int x, int y, int clientWidth, int clientHeight, const std::string& title,
                bool visible) {
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  RECT frame = {0, 0, clientWidth, clientHeight};
  AdjustWindowRect(&frame, style, FALSE);
  HWND window = CreateWindowExA(0, windowClassName, title.c_str(), style, x, y, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr),
                                reinterpret_cast<LPVOID>(static_cast<INT_PTR>(number)));
  if (!window) return 0;
  windowsByNumber[number] = window;
  if (visible) ShowWindow(window, SW_SHOWNORMAL);
  return fromHwnd(window);
}

Hwnd openDialogWindow(int number, Hwnd owner, int clientWidth, int clientHeight, const std::string& title) {
  // WS_CAPTION without WS_SYSMENU: a title bar with no close box and no window menu.
  const DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
  RECT frame = {0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT over = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (IsWindow(toHwnd(owner)) && !IsIconic(toHwnd(owner))) GetWindowRect(toHwnd(owner), &over);
  const Rect area = workArea();
  // Centred on the owner, but never with its title bar out of reach.
  int x = over.left + (over.right - over.left - width) / 2;
  int y = over.top + (over.bottom - over.top - height) / 2;
  x = std::max<int>(area.left, std::min<int>(x, area.right - width));
  y = std::max<int>(area.top, std::min<int>(y, area.bottom - height));
  HWND window = CreateWindowExA(0, windowClassName, title.c_str(), style, x, y, width, height, toHwnd(owner), nullptr,
                                GetModuleHandleA(nullptr), reinterpret_cast<LPVOID>(static_cast<INT_PTR>(number)));
  if (!window) return 0;
  windowsByNumber[number] = window;
  return fromHwnd(window);
}

Hwnd openPopupWindow(int number, int x, int y, int clientWidth, int clientHeight, const std::string& title) {
  const DWORD style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  RECT frame = {0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  HWND window = CreateWindowExA(exStyle, windowClassName, title.c_str(), style, x, y, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr),
                                reinterpret_cast<LPVOID>(static_cast<INT_PTR>(number)));
  if (!window) return 0;
  windowsByNumber[number] = window;
  popups.insert(window);
  return fromHwnd(window);
}

bool showInFront(Hwnd shown, int gadget) {
  HWND window = toHwnd(shown);
  if (!IsWindow(window)) return false;
  ShowWindow(window, SW_SHOW);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  if (!SetForegroundWindow(window)) {
    // The system gives the foreground only to the program of the latest input; joined to that
    // program's input for a moment, we are that program.
    const DWORD front = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD own = GetCurrentThreadId();
    const bool joined = front != 0 && front != own && AttachThreadInput(own, front, TRUE);
    BringWindowToTop(window);
    SetForegroundWindow(window);
    if (joined) AttachThreadInput(own, front, FALSE);
  }
  if (HWND focus = gadgetWindow(gadget)) SetFocus(focus);
  return GetForegroundWindow() == window;
}

Point cursorPosition() {
  POINT at = {0, 0};
  GetCursorPos(&at);
  return Point{at.x, at.y};
}

void setWindowProc(Hwnd window, WindowProc proc) {
  procs[toHwnd(window)] = std::make_shared<WindowProc>(std::move(proc));
}

bool closeWindow(Hwnd window) {
  return IsWindow(toHwnd(window)) && DestroyWindow(toHwnd(window));
}

Hwnd windowOfNumber(int number) {
  auto found = windowsByNumber.find(number);
  return found == windowsByNumber.end() ? 0 : fromHwnd(found->second);
}

LResult sendMessage(Hwnd window, unsigned message, WParam wParam, LParam lParam) {
  if (!IsWindow(toHwnd(window))) return 0;
  return SendMessageA(toHwnd(window), message, wParam, lParam);
}

bool sendMessageTimeout(Hwnd window, unsigned message, WParam wParam, LParam lParam, unsigned timeoutMs) {
  if (!IsWindow(toHwnd(window))) return true;
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(toHwnd(window), message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_NORMAL, timeoutMs,
                             &result) != 0;
}

bool broadcastMessage(unsigned message, WParam wParam, LParam lParam, unsigned timeoutMs) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(HWND_BROADCAST, message, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}

unsigned registerWindowMessage(const std::string& name) { return RegisterWindowMessageA(name.c_str()); }

Hwnd getForegroundWindow() { return fromHwnd(GetForegroundWindow()); }
Hwnd getActiveWindow() { return fromHwnd(GetActiveWindow()); }
bool setForegroundWindow(Hwnd window) { return SetForegroundWindow(toHwnd(window)) != 0; }

std::string getWindowText(Hwnd window, int maxChars) {
  if (maxChars <= 0) return {};
  std::string text(static_cast<size_t>(maxChars) + 1, '\0');
  const int length = GetWindowTextA(toHwnd(window), &text[0], maxChars + 1);
  text.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return text;
}

std::string getWindowTextExact(Hwnd window, int maxChars) {
  if (maxChars <= 0) return {};
  std::wstring wide(static_cast<size_t>(maxChars) + 1, L'\0');
  const int length = GetWindowTextW(toHwnd(window), &wide[0], maxChars + 1);
  return length > 0 ? toUtf8(wide.data(), length) : std::string();
}

bool isIconic(Hwnd window) { return IsIconic(toHwnd(window)) != 0; }
bool isWindowVisible(Hwnd window) { return IsWindowVisible(toHwnd(window)) != 0; }

bool showWindow(Hwnd window, int command) {
  if (!IsWindow(toHwnd(window))) return false;
  ShowWindow(toHwnd(window), command);  // answers the old visibility, not success
  return true;
}

void showWaitCursor(bool waiting) { SetCursor(LoadCursor(nullptr, waiting ? IDC_WAIT : IDC_ARROW)); }

void updateWindow(Hwnd window) {
  // Paints what is already invalid, children included; no input is taken from the queue.
  RedrawWindow(toHwnd(window), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void enableWindow(Hwnd window, bool enabled) {
  if (IsWindow(toHwnd(window))) EnableWindow(toHwnd(window), enabled ? TRUE : FALSE);
}

bool isWindowEnabled(Hwnd window) { return IsWindow(toHwnd(window)) && IsWindowEnabled(toHwnd(window)); }

void setTopmost(Hwnd window, bool topmost) {
  SetWindowPos(toHwnd(window), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

std::optional<Point> windowPosition(Hwnd window) {
  RECT r;
  if (!IsWindow(toHwnd(window)) || !GetWindowRect(toHwnd(window), &r)) return std::nullopt;
  return Point{r.left, r.top};
}

Rect workArea() {
  RECT r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return Rect{r.left, r.top, r.right, r.bottom};
}

Rect nearestMonitorWorkArea(const Rect& r, bool& onAMonitor) {
  const RECT at = {r.left, r.top, r.right, r.bottom};
  onAMonitor = MonitorFromRect(&at, MONITOR_DEFAULTTONULL) != nullptr;
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(MonitorFromRect(&at, MONITOR_DEFAULTTONEAREST), &info)) return workArea();
  return Rect{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

int doubleClickTime() { return static_cast<int>(GetDoubleClickTime()); }

}  // namespace platform
