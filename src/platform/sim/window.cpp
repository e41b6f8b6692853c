// Simulated windows, messages, the event loop, tray icon, labels and the shutdown notice.
#include "platform/window.h"

#include <algorithm>

#include "platform/sim/code_page.h"
#include "platform/sim/desktop.h"
#include "platform/text_encoding.h"

#include <algorithm>

namespace platform {

using sim::desktop;

bool initToolkit() { return true; }
int windowsVersion() { return 501; }

Hwnd openWindow(int number, int x, int y, int clientWidth, int clientHeight, const std::string& title, bool visible) {
  auto& d = desktop();
  sim::Window w;
  w.number = number;
  w.process = d.currentProcess();
  w.title = title;
  w.programPath = "C:\\Program Files\\Tandrel\\Tandrel.exe";
  w.visible = visible;
  w.x = x;
  w.y = y;
  w.width = clientWidth;
  w.height = clientHeight;
  return d.newWindow(std::move(w));
}

Hwnd openPopupWindow(int number, int x, int y, int clientWidth, int clientHeight, const std::string& title) {
  const Hwnd popup = openWindow(number, x, y, clientWidth, clientHeight, title, false);
  if (auto* w = desktop().window(popup)) w->topmost = true;
  return popup;
}

bool showInFront(Hwnd window, int gadget) {
  auto& d = desktop();
  auto* w = d.window(window);
  if (w == nullptr) return false;
  w->visible = true;
  if (!d.foregroundGranted) return false;
  d.foreground = d.active = window;
  d.focusGadget = gadget;
  return true;
}

Point cursorPosition() { return desktop().cursor; }

Hwnd openDialogWindow(int number, Hwnd owner, int clientWidth, int clientHeight, const std::string& title) {
  auto& d = desktop();
  const sim::Window* over = d.window(owner);
  const Rect area = workArea();
  int x = over != nullptr ? over->x + (over->width - clientWidth) / 2 : (area.right - clientWidth) / 2;
  int y = over != nullptr ? over->y + (over->height - clientHeight) / 2 : (area.bottom - clientHeight) / 2;
  x = std::max(area.left, std::min(x, area.right - clientWidth));
  y = std::max(area.top, std::min(y, area.bottom - clientHeight));
  const Hwnd dialog = openWindow(number, x, y, clientWidth, clientHeight, title, false);
  if (auto* w = d.window(dialog)) w->owner = owner;
  return dialog;
}

void setWindowProc(Hwnd window, WindowProc proc) {
  if (auto* w = desktop().window(window)) w->proc = std::move(proc);
}

bool closeWindow(Hwnd window) {
  auto& d = desktop();
  const sim::Window* w = d.window(window);
  if (w == nullptr) return false;
  d.journal.push_back("close " + std::to_string(w->number));
  d.windows.erase(window);
  d.tray.erase(window);
  if (d.foreground == window) d.foreground = 0;
  if (d.active == window) d.active = 0;
  return true;
}

Hwnd windowOfNumber(int number) {
  auto* w = desktop().windowOfNumber(number);
  return w == nullptr ? 0 : w->hwnd;
}

LResult sendMessage(Hwnd window, unsigned message, WParam wParam, LParam lParam) {
  return desktop().send(window, message, wParam, lParam);
}

bool sendMessageTimeout(Hwnd window, unsigned message, WParam wParam, LParam lParam, unsigned) {
  auto& d = desktop();
  if (const sim::Window* w = d.window(window); w != nullptr && w->hung) return false;
  d.send(window, message, wParam, lParam);
  return true;
}

bool broadcastMessage(unsigned message, WParam wParam, LParam lParam, unsigned) {
  auto& d = desktop();
  std::vector<Hwnd> all;
  for (const auto& [hwnd, w] : d.windows) all.push_back(hwnd);
  for (Hwnd hwnd : all) d.send(hwnd, message, wParam, lParam);
  return true;
}

unsigned registerWindowMessage(const std::string& name) {
  auto& messages = desktop().registeredMessages;
  const auto it = messages.find(name);
  if (it != messages.end()) return it->second;
  const unsigned number = 0xC100 + static_cast<unsigned>(messages.size());
  messages[name] = number;
  return number;
}

std::vector<WindowEvent> pendingWindowEvents() { return desktop().takePostedEvents(); }

WindowEvent waitWindowEvent(int milliseconds) {
  auto& d = desktop();
  d.lastWait = milliseconds;
  if (milliseconds > 0) d.ticks += static_cast<std::uint64_t>(milliseconds);
  return d.nextEvent().value_or(WindowEvent{});
}

Hwnd getForegroundWindow() { return desktop().foreground; }
Hwnd getActiveWindow() { return desktop().active; }

bool setForegroundWindow(Hwnd window) {
  auto& d = desktop();
  if (d.window(window) == nullptr) return false;
  d.foreground = d.active = window;
  return true;
}

std::string getWindowText(Hwnd window, int maxChars) {
  auto* w = desktop().window(window);
  if (w == nullptr || maxChars <= 1) return "";
  return w->title.substr(0, static_cast<std::size_t>(maxChars - 1));
}

// A simulated title is UTF-8 where it is valid UTF-8 beyond ASCII, and ANSI otherwise.
std::string getWindowTextExact(Hwnd window, int maxChars) {
  auto* w = desktop().window(window);
  if (w == nullptr || maxChars <= 1) return "";
  const std::string& title = w->title;
  const bool utf8 = !sim::utf16FromUtf8(title).empty() && sim::utf8FromUtf16(sim::utf16FromUtf8(title)) == title;
  const std::string exact = utf8 ? title : platform::ansiToUtf8(title);
  std::size_t end = 0;
  for (int seen = 0; end < exact.size(); ++end) {
    if ((static_cast<unsigned char>(exact[end]) & 0xC0) == 0x80) continue;
    if (seen++ == maxChars - 1) break;
  }
  return exact.substr(0, end);
}

std::string windowProgramPath(Hwnd window) {
  auto* w = desktop().window(window);
  return w == nullptr ? "" : w->programPath;
}

Hwnd findWindow(const std::string& className) {
  for (const auto& [hwnd, w] : desktop().windows)
    if (w.parent == 0 && w.className == className) return hwnd;
  return 0;
}

namespace {
void collectChildren(Hwnd parent, std::vector<Hwnd>& out) {
  for (const auto& [hwnd, w] : desktop().windows) {
    if (w.parent != parent) continue;
    out.push_back(hwnd);
    collectChildren(hwnd, out);
  }
}
}  // namespace

std::vector<Hwnd> childWindows(Hwnd parent) {
  std::vector<Hwnd> out;
  if (parent != 0) collectChildren(parent, out);
  return out;
}

std::string getClassName(Hwnd window, int maxChars) {
  auto* w = desktop().window(window);
  if (w == nullptr || maxChars <= 1) return "";
  return w->className.substr(0, static_cast<std::size_t>(maxChars - 1));
}

std::optional<std::string> controlText(Hwnd control, int maxChars, unsigned timeoutMs) {
  auto& d = desktop();
  auto* w = d.window(control);
  if (w == nullptr) return std::nullopt;
  if (w->hung) {
    d.ticks += timeoutMs;
    return std::nullopt;
  }
  if (maxChars <= 1) return std::string();
  return w->title.substr(0, static_cast<std::size_t>(maxChars - 1));
}

bool isIconic(Hwnd window) {
  auto* w = desktop().window(window);
  return w != nullptr && w->iconic;
}

bool isWindowVisible(Hwnd window) {
  auto* w = desktop().window(window);
  return w != nullptr && w->visible;
}

bool showWindow(Hwnd window, int command) {
  auto* w = desktop().window(window);
  if (w == nullptr) return false;
  const bool wasVisible = w->visible;
  switch (command) {
    case SW_HIDE: w->visible = false; break;
    case SW_SHOW: w->visible = true; break;
    case SW_MINIMIZE: w->iconic = true; break;
    case SW_MAXIMIZE:
      w->iconic = false;
      w->maximized = true;
      w->visible = true;
      break;
    case SW_RESTORE:
      // A minimised window comes back as it was; a maximised one goes back to its normal size.
      if (!w->iconic) w->maximized = false;
      w->iconic = false;
      w->visible = true;
      break;
    case SW_SHOWNORMAL:
      w->iconic = false;
      w->maximized = false;
      w->visible = true;
      break;
    default: break;
  }
  return wasVisible;
}

void updateWindow(Hwnd window) {
  auto& d = desktop();
  auto* w = d.window(window);
  if (w == nullptr) return;
  ++w->repaints;
  // The lists of the window paint the rows in view, asking each one's texts.
  constexpr int rowsInView = 30;
  for (auto& [number, g] : d.gadgets) {
    if ((!g.invalid && g.invalidRows.empty()) || g.place.window != window || !g.rowText) continue;
    const int top = g.visibleRow < rowsInView ? 0 : g.visibleRow - rowsInView + 1;
    const int columns = std::max<int>(1, static_cast<int>(g.columnTitles.size()));
    for (int row = top; row < std::min(g.rowCount, top + rowsInView); ++row) {
      if (!g.invalid && g.invalidRows.count(row) == 0) continue;
      for (int column = 0; column < columns; ++column) {
        g.rowText(row, column);
        ++g.textsAsked;
      }
    }
    g.invalid = false;
    g.invalidRows.clear();
  }
}

void enableWindow(Hwnd window, bool enabled) {
  auto& d = desktop();
  if (auto* w = d.window(window)) {
    w->enabled = enabled;
    d.journal.push_back("enable " + std::to_string(w->number) + (enabled ? " 1" : " 0"));
  }
}

bool isWindowEnabled(Hwnd window) {
  auto* w = desktop().window(window);
  return w != nullptr && w->enabled;
}

void setTopmost(Hwnd window, bool topmost) {
  if (auto* w = desktop().window(window)) {
    w->topmost = topmost;
    w->topmostHistory.push_back(topmost);
  }
}

std::optional<Point> windowPosition(Hwnd window) {
  auto* w = desktop().window(window);
  if (w == nullptr) return std::nullopt;
  return Point{w->x, w->y};
}

void showWaitCursor(bool waiting) { desktop().waitCursors.push_back(waiting); }

Rect workArea() { return Rect{0, 0, 1024, 738}; }

Rect nearestMonitorWorkArea(const Rect& r, bool& onAMonitor) {
  const auto& monitors = desktop().monitors;
  onAMonitor = false;
  if (monitors.empty()) return workArea();
  // Overlap as a positive area; otherwise the negative of the gap, so the nearest scores highest.
  const auto score = [&r](const Rect& m) -> long long {
    const long long w = std::min(r.right, m.right) - std::max(r.left, m.left);
    const long long h = std::min(r.bottom, m.bottom) - std::max(r.top, m.top);
    if (w > 0 && h > 0) return w * h;
    return -(std::max(0LL, -w) + std::max(0LL, -h));
  };
  const sim::Desktop::Monitor* best = &monitors.front();
  for (const auto& m : monitors)
    if (score(m.screen) > score(best->screen)) best = &m;
  onAMonitor = score(best->screen) > 0;
  return best->work;
}

int doubleClickTime() { return desktop().doubleClickMs; }

bool setTrayIcon(Hwnd window, TrayImage image, const std::string& tooltip) {
  auto& d = desktop();
  if (d.window(window) == nullptr) return false;
  d.tray[window] = {image, tooltip.substr(0, 63)};
  return true;
}

bool removeTrayIcon(Hwnd window) { return desktop().tray.erase(window) != 0; }

bool createLabel(Hwnd window, int gadget, int, int, int, int, const std::string& text) {
  auto& d = desktop();
  if (d.window(window) == nullptr) return false;
  d.gadgets[gadget].text = text;
  return true;
}

void setGadgetText(int gadget, const std::string& text) {
  auto& g = desktop().gadgets[gadget];
  if (g.text != text) ++g.looks;
  g.text = text;
}
std::string gadgetText(int gadget) { return desktop().gadgets[gadget].text; }

void setGadgetColours(int gadget, Colour text, Colour background) {
  auto& g = desktop().gadgets[gadget];
  if (g.textColour != text || g.background != background) ++g.looks;
  g.textColour = text;
  g.background = background;
}

Hwnd openNotice(const NoticeLayout& layout) {
  auto& d = desktop();
  std::lock_guard<std::mutex> lock(d.noticeMutex);
  sim::NoticeRecord record;
  record.layout = layout;
  record.labels.push_back(layout.label);
  record.thread = std::this_thread::get_id();
  d.notices.push_back(record);
  return d.notices.size();
}

void setNoticeLabel(Hwnd notice, const std::string& label) {
  auto& d = desktop();
  std::lock_guard<std::mutex> lock(d.noticeMutex);
  if (notice >= 1 && notice <= d.notices.size()) d.notices[notice - 1].labels.push_back(label);
}

void setNoticeProgress(Hwnd notice, int) {
  auto& d = desktop();
  std::lock_guard<std::mutex> lock(d.noticeMutex);
  if (notice >= 1 && notice <= d.notices.size()) ++d.notices[notice - 1].progressSteps;
}

void closeNotice(Hwnd notice) {
  auto& d = desktop();
  std::lock_guard<std::mutex> lock(d.noticeMutex);
  if (notice >= 1 && notice <= d.notices.size()) d.notices[notice - 1].closed = true;
}

}  // namespace platform
