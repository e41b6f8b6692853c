// tdhelper's commands for other programs on the clipboard that make Tandrel's life harder:
//
//   lateviewer <seconds> <delay ms>          join the clipboard viewer chain (after Tandrel) for that long,
//                                            passing each change on to the next viewer only after the delay,
//                                            as a viewer that posts itself the forward does; prints "joined"
//   holdclipboard <ms>                       open the clipboard and keep it open that long; prints "held"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT_PTR forwardTimer = 1;

HWND nextViewer = nullptr;
UINT delayMs = 0;
int changesWaiting = 0;

LRESULT CALLBACK lateViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DRAWCLIPBOARD:
      ++changesWaiting;
      SetTimer(window, forwardTimer, delayMs, nullptr);
      return 0;
    case WM_TIMER:
      if (wParam != forwardTimer) break;
      KillTimer(window, forwardTimer);
      for (; changesWaiting > 0; --changesWaiting)
        if (nextViewer) SendMessageA(nextViewer, WM_DRAWCLIPBOARD, 0, 0);
      return 0;
    case WM_CHANGECBCHAIN:
      if (reinterpret_cast<HWND>(wParam) == nextViewer) nextViewer = reinterpret_cast<HWND>(lParam);
      else if (nextViewer) SendMessageA(nextViewer, message, wParam, lParam);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int lateViewer(DWORD seconds, UINT delay) {
  delayMs = delay;
  WNDCLASSA cls = {};
  cls.lpfnWndProc = lateViewerProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = "TdLateViewer";
  if (!RegisterClassA(&cls)) return 2;
  HWND window = CreateWindowA("TdLateViewer", "Late Viewer", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              cls.hInstance, nullptr);
  if (!window) return 2;
  // Joining sends this window the current change; it is not passed on.
  nextViewer = SetClipboardViewer(window);
  changesWaiting = 0;
  KillTimer(window, forwardTimer);
  std::printf("joined\n");
  std::fflush(stdout);
  const DWORD end = GetTickCount() + seconds * 1000;
  for (DWORD now = GetTickCount(); static_cast<LONG>(end - now) > 0; now = GetTickCount()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  ChangeClipboardChain(window, nextViewer);
  DestroyWindow(window);
  return 0;
}

int holdClipboard(DWORD ms) {
  // Held by a window: Wine lets a second program open a clipboard that was opened without one.
  HWND window = CreateWindowA("STATIC", "Clipboard Holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  if (!window) return 2;
  for (int tries = 0; !OpenClipboard(window); ++tries) {
    if (tries > 200) return 1;
    Sleep(10);
  }
  std::printf("held\n");
  std::fflush(stdout);
  Sleep(ms);
  CloseClipboard();
  DestroyWindow(window);
  return 0;
}

}  // namespace

// Answers the exit code of a command of this file, -1 for a command that is not one of them.
int chainCommand(const std::string& command, int argc, char** argv) {
  if (command == "lateviewer" && argc >= 4)
    return lateViewer(std::strtoul(argv[2], nullptr, 10), static_cast<UINT>(std::strtoul(argv[3], nullptr, 10)));
  if (command == "holdclipboard" && argc >= 3) return holdClipboard(std::strtoul(argv[2], nullptr, 10));
  return -1;
}
