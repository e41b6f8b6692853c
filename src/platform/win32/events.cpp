// The event loop's side of the platform: a FIFO of the events our window
// procedure makes out of real messages, and the wait that pumps the thread's
// message queue until one arrives.
#include <deque>
#include <vector>

#include "platform/win32/win32.h"

namespace platform {
using namespace win32;

namespace {

std::deque<WindowEvent> pending;

// A picture that asks for notifications (SS_NOTIFY) takes its own clicks.
bool notifyingPicture(HWND control) {
  char cls[16] = "";
  GetClassNameA(control, cls, sizeof cls);
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  return lstrcmpiA(cls, "Static") == 0 && (style & SS_NOTIFY) != 0 && (style & SS_TYPEMASK) == SS_BITMAP;
}

// A right-button press anywhere in one of our windows reaches the dispatcher as a raw event,
// whichever child took it (the editor's popup menu depends on that); on a picture it is that
// picture's right click, as a list's is.
void noteRightButton(const MSG& msg) {
  if (msg.message != WM_RBUTTONDOWN || !msg.hwnd) return;
  const int number = numberOfWindow(GetAncestor(msg.hwnd, GA_ROOT));
  if (number == 0) return;
  if (const int gadget = gadgetOfWindow(msg.hwnd); gadget != 0 && notifyingPicture(msg.hwnd))
    pushEvent({EVENT_GADGET, number, gadget, GADGET_RIGHT_CLICK, 0});
  else
    pushEvent({EVENT_RBUTTON, number, 0, 0, 0});
}

// Taken wide: the find dialog is a wide window, and a character typed into it must reach it as
// typed; our ANSI windows get their messages converted as before.
void pumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;  // the loop ends through the logic, never through WM_QUIT
    noteRightButton(msg);
    relayToTooltip(msg);
    if (findDialogMessage(msg)) continue;
    if (translateKeyCommand(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool popEvent(WindowEvent& event) {
  if (pending.empty()) return false;
  event = pending.front();
  pending.pop_front();
  return true;
}

}  // namespace

namespace win32 {
void pushEvent(const WindowEvent& event) { pending.push_back(event); }
}  // namespace win32

std::vector<WindowEvent> pendingWindowEvents() {
  pumpMessages();
  std::vector<WindowEvent> taken(pending.begin(), pending.end());
  pending.clear();
  return taken;
}

WindowEvent waitWindowEvent(int milliseconds) {
  WindowEvent event;
  if (popEvent(event)) return event;
  pumpMessages();
  if (popEvent(event)) return event;
  // QS_ALLINPUT wakes for posted and sent messages (a clipboard change reaches the viewer as a sent
  // WM_DRAWCLIPBOARD) and for timers; MWMO_INPUTAVAILABLE also for input already in the queue.
  const DWORD timeout = milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds);
  MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  pumpMessages();
  if (popEvent(event)) return event;
  return WindowEvent{};
}

}  // namespace platform
