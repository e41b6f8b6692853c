// Windows, messages and the event loop.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

// The logic's message callback for a window. nullopt asks for the system's default processing.
using WindowProc = std::function<std::optional<LResult>(Hwnd, unsigned, WParam, LParam)>;

// One event of the event loop (kind 0: none arrived in time).
struct WindowEvent {
  int kind = 0;       // gadget 13100, menu 13101, tray 13102, drop 13106, close 16, right button 516
  int window = 0;     // window number (main window 500)
  int gadget = 0;     // gadget or menu number
  int type = 0;       // gadget event type
  std::intptr_t data = 0;
};

constexpr int EVENT_GADGET = 13100;
constexpr int EVENT_MENU = 13101;
constexpr int EVENT_TRAY = 13102;
constexpr int EVENT_DROP = 13106;
constexpr int EVENT_CLOSE = 16;
constexpr int EVENT_RBUTTON = 516;
// A pop-up window of ours lost the activation to another window (a click elsewhere).
constexpr int EVENT_DEACTIVATE = 6;

// Initialises the window toolkit, COM and the common controls. False on failure.
bool initToolkit();
// Answers the Windows version as major * 100 + minor (e.g. 501), 0 when unknown.
int windowsVersion();
// True on Windows 95, 98 and Me.
bool runsOnWindows9x();

// Creates a top-level window known by `number`, hidden unless `visible`; 0 on failure.
// `clientWidth`/`clientHeight` give the client area.
Hwnd openWindow(int number, int x, int y, int clientWidth, int clientHeight, const std::string& title, bool visible);
// Creates a top-level window known by `number` with a title bar but no system menu (so no close
// box), owned by `owner` and centred on it, kept inside the work area; hidden. 0 on failure.
Hwnd openDialogWindow(int number, Hwnd owner, int clientWidth, int clientHeight, const std::string& title);
// Creates a borderless-looking pop-up known by `number` (a thin frame, no title bar, no task bar
// button), topmost, at screen `x`, `y`, hidden; it reports EVENT_DEACTIVATE when another window is
// activated. 0 on failure.
Hwnd openPopupWindow(int number, int x, int y, int clientWidth, int clientHeight, const std::string& title);
// Shows a window and makes it the foreground window with the keyboard focus in `gadget`, even when
// another program was in front. False when the system kept another window in front.
bool showInFront(Hwnd window, int gadget);
// Installs the message callback of a window opened above.
void setWindowProc(Hwnd window, WindowProc proc);
// Destroys a window. False when it does not exist.
bool closeWindow(Hwnd window);
// Answers the window of a number, 0 when none is open.
Hwnd windowOfNumber(int number);

// Sends a message and answers the receiver's result (0 for a window that does not exist).
LResult sendMessage(Hwnd window, unsigned message, WParam wParam, LParam lParam);
// Sends a message and waits at most `timeoutMs` for it to be handled, giving up at once when the
// receiver's program is hung. False when it was not handled (true for a window that does not exist).
bool sendMessageTimeout(Hwnd window, unsigned message, WParam wParam, LParam lParam, unsigned timeoutMs);
// Sends a message to every top-level window, not waiting on a hung one. False when it timed out.
bool broadcastMessage(unsigned message, WParam wParam, LParam lParam, unsigned timeoutMs);
// Answers the number of a registered window message, 0 on failure.
unsigned registerWindowMessage(const std::string& name);
// Waits at most `milliseconds` for the next event of the program's windows. With waitForever it
// waits without a timeout, but answers no event (kind 0) as soon as any message was handled, such
// as a clipboard change sent to a window or a timer.
WindowEvent waitWindowEvent(int milliseconds);
constexpr int waitForever = -1;

Hwnd getForegroundWindow();  // 0 when none
Hwnd getActiveWindow();      // this thread's active window, 0 when none
bool setForegroundWindow(Hwnd window);
// The title of a window, at most `maxChars` characters; empty when it has none.
std::string getWindowText(Hwnd window, int maxChars);
// The same as UTF-8, read wide: the title exactly, whatever the ANSI code page holds.
std::string getWindowTextExact(Hwnd window, int maxChars);
// The full path of the program that owns a window; empty when it cannot be found.
std::string windowProgramPath(Hwnd window);
// The first top-level window of a class, 0 when there is none.
Hwnd findWindow(const std::string& className);
// The child windows of a window, at every depth, in the system's order; empty for none.
std::vector<Hwnd> childWindows(Hwnd parent);
// The class name of a window, at most `maxChars` characters; empty when it has none.
std::string getClassName(Hwnd window, int maxChars);
// A control's text as WM_GETTEXT answers it, at most `maxChars` characters; nullopt when the
// owner does not answer within `timeoutMs` or is hung.
std::optional<std::string> controlText(Hwnd control, int maxChars, unsigned timeoutMs);
bool isIconic(Hwnd window);
bool isWindowVisible(Hwnd window);
bool showWindow(Hwnd window, int command);
// Repaints a window and its children at once, without dispatching input.
void updateWindow(Hwnd window);
// Lets a window take the user's input (true) or refuses it all (false).
void enableWindow(Hwnd window, bool enabled);
// False for a disabled window and for no window.
bool isWindowEnabled(Hwnd window);
// Makes a window topmost (true) or not (false), leaving its size and place.
void setTopmost(Hwnd window, bool topmost);
// Shows the wait cursor while the program is busy (true), the arrow again afterwards (false).
void showWaitCursor(bool waiting);

struct Point {
  int x = 0;
  int y = 0;
};
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};
// The outer top-left corner of a window in screen pixels; nullopt for no window.
std::optional<Point> windowPosition(Hwnd window);
// The desktop work area (the screen less the task bar).
Rect workArea();
// The work area of the monitor that `r` overlaps most, or of the nearest one when it overlaps
// none; `onAMonitor` tells whether it overlaps any.
Rect nearestMonitorWorkArea(const Rect& r, bool& onAMonitor);
// The mouse pointer in screen pixels.
Point cursorPosition();
// The system double-click time in milliseconds.
int doubleClickTime();

// Tray icon pictures.
enum class TrayImage { Waiting = 1, NewClip = 2, NotActive = 3, Combining = 4 };
// Adds or changes the tray icon of a window (tooltip cut to 63 characters). False on failure.
bool setTrayIcon(Hwnd window, TrayImage image, const std::string& tooltip);
bool removeTrayIcon(Hwnd window);

// Gadgets of a window, known by number.
// Creates a single-line label. False on failure.
bool createLabel(Hwnd window, int gadget, int x, int y, int width, int height, const std::string& text);
void setGadgetText(int gadget, const std::string& text);
std::string gadgetText(int gadget);
// Text and background colour of a label.
void setGadgetColours(int gadget, Colour text, Colour background);

// The notice window shown on the shutdown thread: a small topmost pop-up with a label and a bar.
struct NoticeLayout {
  std::string title;
  std::string label;
  int x = 0, y = 0, width = 0, height = 0;
  Colour labelText = 0, background = 0, barColour = 0;
};
// Opens the notice on the calling thread; 0 on failure.
Hwnd openNotice(const NoticeLayout& layout);
void setNoticeLabel(Hwnd notice, const std::string& label);
// Moves the bar (0..100) and handles the notice's pending paint messages.
void setNoticeProgress(Hwnd notice, int percent);
void closeNotice(Hwnd notice);

// Takes the events that have already arrived, without waiting for more, so that a long piece of
// work can hold them for later; the windows repaint and answer the system meanwhile.
std::vector<WindowEvent> pendingWindowEvents();

}  // namespace platform
