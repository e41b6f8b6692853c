// The shutdown notice: a small topmost pop-up with a coloured label and a
// smooth progress bar, living on the thread that opens it. That thread has no
// event loop of its own, so setNoticeProgress drains its messages. The bar is
// drawn here: a themed progress control ignores the colours it is given, and
// Wine themes them by default.
#include "platform/win32/win32.h"

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
  COLORREF text = 0, background = 0, bar = 0;
  HBRUSH brush = nullptr;
  int percent = 0;
};

void drawBar(const Notice& notice, const DRAWITEMSTRUCT& item) {
  RECT r = item.rcItem;
  FillRect(item.hDC, &r, notice.brush);
  FrameRect(item.hDC, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  InflateRect(&r, -1, -1);
  r.right = r.left + (r.right - r.left) * notice.percent / 100;
  HBRUSH bar = CreateSolidBrush(notice.bar);
  FillRect(item.hDC, &r, bar);
  DeleteObject(bar);
}

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
    case WM_DRAWITEM:
      if (notice && wParam == barId) {
        drawBar(*notice, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      }
      break;
    case WM_ERASEBKGND:
      if (notice) {
        RECT all;
        GetClientRect(window, &all);
        FillRect(reinterpret_cast<HDC>(wParam), &all, notice->brush);
        return 1;
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

Hwnd openNotice(const NoticeLayout& layout) {
  if (!registerNoticeClass()) return 0;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  auto* notice = new Notice{layout.labelText, layout.background, layout.barColour, CreateSolidBrush(layout.background), 0};
  HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, noticeClassName, layout.title.c_str(),
                                WS_POPUP | WS_BORDER, layout.x, layout.y, layout.width, layout.height, nullptr, nullptr,
                                instance, notice);
  if (!window) {
    DeleteObject(notice->brush);
    delete notice;
    return 0;
  }
  RECT client;
  GetClientRect(window, &client);
  const int width = client.right - client.left;
  HWND label = CreateWindowExA(0, "STATIC", layout.label.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 0,
                               0, width, labelHeight, window, reinterpret_cast<HMENU>(labelId), instance, nullptr);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, barTop, width, barHeight, window,
                  reinterpret_cast<HMENU>(barId), instance, nullptr);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  drainMessages(window);
  return fromHwnd(window);
}

void setNoticeLabel(Hwnd notice, const std::string& label) {
  SetDlgItemTextA(toHwnd(notice), labelId, label.c_str());
}

void setNoticeProgress(Hwnd notice, int percent) {
  HWND window = toHwnd(notice);
  auto* state = reinterpret_cast<Notice*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!state) return;
  state->percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  InvalidateRect(GetDlgItem(window, barId), nullptr, FALSE);
  drainMessages(window);
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
