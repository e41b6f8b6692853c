// The shutdown notice: a small topmost pop-up with a coloured label and a
// smooth progress bar, living on the thread that opens it. That thread has no
// event loop of its own, so setNoticeProgress drains its messages.
#include "platform/win32/win32.h"

#include <commctrl.h>

namespace platform {
using namespace win32;

namespace {

constexpr const char* noticeClassName = "TandrelNotice";
constexpr int labelId = 1;
constexpr int barId = 2;
constexpr int labelHeight = 32;
constexpr int barTop = 35;
constexpr int barHeight = 15;
// Asks the notice's own thread to destroy it: a window dies only on the thread that made it.
constexpr UINT closeRequest = WM_APP + 2;

struct Notice {
  COLORREF text = 0, background = 0;
  HBRUSH brush = nullptr;
};

LRESULT CALLBACK noticeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* notice = reinterpret_cast<Notice*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrA(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
      break;
    case WM_CTLCOLORSTATIC:
      if (notice) {
        SetTextColor(reinterpret_cast<HDC>(wParam), notice->text);
        SetBkColor(reinterpret_cast<HDC>(wParam), notice->background);
        return reinterpret_cast<LRESULT>(notice->brush);
      }
      break;
    case WM_CLOSE:
      return 0;  // only closeNotice ends it
    case closeRequest:
      DestroyWindow(window);
      return 0;
    case WM_NCDESTROY:
      if (notice) {
        DeleteObject(notice->brush);
        delete notice;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool registerNoticeClass() {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = noticeProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = noticeClassName;
  return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void drainMessages(HWND notice) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  UpdateWindow(notice);
}

}  // namespace

Hwnd openNotice(const NoticeSpec& spec) {
  if (!registerNoticeClass()) return 0;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  auto* notice = new Notice{spec.labelText, spec.background, CreateSolidBrush(spec.background)};
  HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, noticeClassName, spec.title.c_str(),
                                WS_POPUP | WS_BORDER, spec.x, spec.y, spec.width, spec.height, nullptr, nullptr,
                                instance, notice);
  if (!window) {
    DeleteObject(notice->brush);
    delete notice;
    return 0;
  }
  RECT client;
  GetClientRect(window, &client);
  const int width = client.right - client.left;
  HWND label = CreateWindowExA(0, "STATIC", spec.label.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 0,
                               0, width, labelHeight, window, reinterpret_cast<HMENU>(labelId), instance, nullptr);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 0, barTop, width, barHeight,
                             window, reinterpret_cast<HMENU>(barId), instance, nullptr);
  SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  SendMessageA(bar, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(spec.barColour));
  SendMessageA(bar, PBM_SETBKCOLOR, 0, static_cast<LPARAM>(spec.background));
  ShowWindow(window, SW_SHOWNOACTIVATE);
  drainMessages(window);
  return fromHwnd(window);
}

void setNoticeLabel(Hwnd notice, const std::string& label) {
  SetDlgItemTextA(toHwnd(notice), labelId, label.c_str());
}

void setNoticeProgress(Hwnd notice, int percent) {
  SendDlgItemMessageA(toHwnd(notice), barId, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
  drainMessages(toHwnd(notice));
}

void closeNotice(Hwnd notice) {
  HWND window = toHwnd(notice);
  if (!IsWindow(window)) return;
  // From another thread: the notice goes at its thread's next drain, or with the thread itself.
  if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
    DestroyWindow(window);
  else
    PostMessageA(window, closeRequest, 0, 0);
}

}  // namespace platform
