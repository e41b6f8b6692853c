// The simulated desktop's own state and its control interface.
#include "platform/sim/desktop.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace sim {

namespace fs = std::filesystem;

Desktop& desktop() {
  static Desktop instance;
  return instance;
}

void Desktop::reset() {
  tearDown();
  char pattern[] = "/tmp/tandrel-sim-XXXXXX";
  const char* made = mkdtemp(pattern);
  root = made != nullptr ? made : "/tmp/tandrel-sim";
  for (const char* folder : {"C:\\Users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
                             "C:\\Users\\tester\\AppData\\Local\\Temp", "C:\\Program Files\\Tandrel"})
    fs::create_directories(hostPath(folder));

  script_.clear();
  events_.clear();
  answers_.clear();
  answerer = nullptr;
  messageBoxes.clear();
  inputAnswers.clear();
  inputs.clear();
  promptAnswers.clear();
  prompts.clear();
  colourAnswers.clear();
  colourDialogStarts.clear();
  fileDialogAnswers.clear();
  fileDialogs.clear();
  shellOperations.clear();
  shellCopiesNothing = false;
  clipboard.clear();
  chainHead = 0;
  lateForwards.clear();
  clipboardOpenAttempts = 0;
  windows.clear();
  foreground = active = 0;
  keys.clear();
  keysWatched = false;
  keyFilter = platform::KeyFilter{};
  keyEvents.clear();
  gadgets.clear();
  tooltips.clear();
  menus.clear();
  menusShown.clear();
  menuBars.clear();
  shellExecutions.clear();
  shellResult = 42;
  keyCommands.clear();
  sentKeys.clear();
  gadgetUnderPointer = 0;
  findDialog = FindDialog{};
  findReport = platform::FindReport{};
  dragGadget = 0;
  dragDuring = nullptr;
  saveDialogAnswers.clear();
  saveDialogs.clear();
  windows9x = false;
  menuPicks.clear();
  browserAvailable = true;
  focusGadget = 0;
  waitCursors.clear();
  measurePixelsPerChar = 7;
  tray.clear();
  shortcuts.clear();
  journal.clear();
  copiesWhileBusy.clear();
  afterCopiesWhileBusy = nullptr;
  librariesLoaded.clear();
  soundsPlayed = 0;
  {
    std::lock_guard<std::mutex> lock(noticeMutex);
    notices.clear();
  }
  soundDevice = true;
  mouse = true;
  doubleClickMs = 500;
  uncreatableFolders.clear();
  missingLibraries.clear();
  diskFull = false;
  ticks = 0;
  lastWait = 0;
  duringSleep = nullptr;
  startTime = {2026, 12, 8, 14, 3, 59};
  mainThread = std::this_thread::get_id();
  clipboardOpen = clipboardChanged = false;
  foreignHoldAttempts = 0;
  foreignHolder = 0;
  registeredFormats.clear();
  registeredMessages.clear();
  mutexCounts.clear();
  mutexHandles.clear();
  exceptionHandlers.clear();
  processes_.clear();
  nextProcess_ = 1;
}

void Desktop::tearDown() {
  for (auto& [handle, open] : openFiles) std::fclose(open.file);
  openFiles.clear();
  if (!root.empty()) {
    std::error_code ignored;
    fs::remove_all(root, ignored);
    root.clear();
  }
}

std::string Desktop::hostPath(const std::string& windowsPath) const {
  if (!windowsPath.empty() && windowsPath[0] == '/') return windowsPath;
  std::string path = windowsPath;
  std::string out = root + "/";
  if (path.size() >= 2 && path[1] == ':') {
    out += static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    path = path.substr(2);
  }
  for (char c : path) {
    const char s = c == '\\' ? '/' : c;
    if (s == '/' && !out.empty() && out.back() == '/') continue;
    out += s;
  }
  if (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

bool Desktop::pathIsLocked(const std::string& host) const {
  for (const auto& [handle, open] : openFiles)
    if (open.hostPath == host) return true;
  return false;
}

int Desktop::runProgram(const std::function<void()>& entry) {
  const int process = nextProcess_++;
  processes_.push_back(process);
  int exitCode = -1;
  try {
    entry();
  } catch (const ProcessEnded& ended) {
    exitCode = ended.exitCode;
  } catch (const ScriptExhausted&) {
    exitCode = endedByExhaustedScript;
  }
  releaseProcess(process);
  processes_.pop_back();
  return exitCode;
}

void Desktop::releaseProcess(int process) {
  for (auto it = openFiles.begin(); it != openFiles.end();) {
    if (it->second.process == process) {
      std::fclose(it->second.file);
      it = openFiles.erase(it);
    } else {
      ++it;
    }
  }
  for (auto it = mutexHandles.begin(); it != mutexHandles.end();) {
    if (it->second.process == process) {
      --mutexCounts[it->second.name];
      it = mutexHandles.erase(it);
    } else {
      ++it;
    }
  }
  // Windows destroys an ended program's windows (a dead viewer still breaks the chain, as there).
  // Its tray icons stay, as the shell keeps showing them until the pointer passes over them.
  for (auto it = windows.begin(); it != windows.end();) {
    if (it->second.process == process) {
      it = windows.erase(it);
    } else {
      ++it;
    }
  }
  exceptionHandlers.erase(process);
  if (clipboardOpen && foreignHoldAttempts == 0) clipboardOpen = false;
}

Window* Desktop::window(Hwnd hwnd) {
  const auto it = windows.find(hwnd);
  return it == windows.end() ? nullptr : &it->second;
}

Window* Desktop::windowOfNumber(int number) {
  for (auto it = windows.rbegin(); it != windows.rend(); ++it)
    if (it->second.number == number && it->second.process != 0) return &it->second;
  return nullptr;
}

Hwnd Desktop::newWindow(Window w) {
  w.hwnd = nextHwnd_ += 0x10;
  windows[w.hwnd] = std::move(w);
  return nextHwnd_;
}

Hwnd Desktop::addForeignWindow(const std::string& title, const std::string& programPath, const std::string& className) {
  Window w;
  w.title = title;
  w.programPath = programPath;
  w.className = className;
  w.visible = true;
  return newWindow(std::move(w));
}

Hwnd Desktop::addForeignChild(Hwnd parent, const std::string& className, const std::string& text) {
  Window w;
  w.title = text;
  w.className = className;
  w.parent = parent;
  w.visible = true;
  if (const Window* owner = window(parent)) w.programPath = owner->programPath;
  return newWindow(std::move(w));
}

Hwnd Desktop::addForeignViewer(bool forwardsLate) {
  Window w;
  w.title = "Other Viewer";
  w.programPath = "C:\\Tools\\viewer.exe";
  const Hwnd hwnd = newWindow(std::move(w));
  windows[hwnd].proc = [this, hwnd, forwardsLate](Hwnd, unsigned message, platform::WParam wParam,
                                                  platform::LParam lParam) -> std::optional<platform::LResult> {
    Window* self = window(hwnd);
    if (self == nullptr) return 0;
    self->received.push_back({message, wParam, lParam});
    if (message == platform::WM_DRAWCLIPBOARD && self->nextViewer != 0) {
      if (forwardsLate) lateForwards.push_back({hwnd, {message, wParam, lParam}});
      else send(self->nextViewer, message, wParam, lParam);
    }
    if (message == platform::WM_CHANGECBCHAIN) {
      if (wParam == self->nextViewer) self->nextViewer = static_cast<Hwnd>(lParam);
      else if (self->nextViewer != 0) send(self->nextViewer, message, wParam, lParam);
    }
    return 0;
  };
  const Hwnd previous = chainHead;
  chainHead = hwnd;
  windows[hwnd].nextViewer = previous;
  return hwnd;
}

void Desktop::forwardLateChanges() {
  while (!lateForwards.empty()) {
    const auto [viewer, m] = lateForwards.front();
    lateForwards.pop_front();
    if (const Window* w = window(viewer); w != nullptr && w->nextViewer != 0)
      send(w->nextViewer, m.message, m.wParam, m.lParam);
  }
}

void Desktop::copyFormats(const std::map<unsigned, std::string>& formats, Hwnd from) {
  if (from != 0) foreground = active = from;
  clipboard = formats;
  notifyClipboardChange();
}

void Desktop::copyText(const std::string& text, Hwnd from) { copyFormats({{platform::CF_TEXT, text + '\0'}}, from); }

void Desktop::holdClipboard(int attempts, Hwnd holder) {
  foreignHoldAttempts = attempts;
  foreignHolder = holder;
}

void Desktop::releaseClipboard() {
  foreignHoldAttempts = 0;
  foreignHolder = 0;
}

void Desktop::notifyClipboardChange() {
  ++clipboardSequence;
  if (chainHead != 0) send(chainHead, platform::WM_DRAWCLIPBOARD, 0, 0);
}

void Desktop::clickCheckBox(int gadget) {
  const auto it = gadgets.find(gadget);
  if (it == gadgets.end() || it->second.kind != "checkbox") return;
  Window* w = window(it->second.place.window);
  if (w == nullptr || !w->enabled || !it->second.enabled) return;  // a disabled box takes no click
  it->second.checked = !it->second.checked;
  postEvent({platform::EVENT_GADGET, w->number, gadget, platform::GADGET_LEFT_CLICK, 0});
}

platform::LResult Desktop::send(Hwnd hwnd, unsigned message, platform::WParam wParam, platform::LParam lParam) {
  Window* w = window(hwnd);
  if (w == nullptr || !w->proc) return 0;
  auto proc = w->proc;  // the callback may destroy its window
  return proc(hwnd, message, wParam, lParam).value_or(0);
}

void Desktop::raiseProcessorException(std::uint32_t code) {
  const auto it = exceptionHandlers.find(currentProcess());
  if (it == exceptionHandlers.end()) std::abort();  // as Windows would end a program without a handler
  auto handler = it->second;
  handler(code);
}

std::vector<std::vector<std::string>> Desktop::listRows(int gadget) {
  std::vector<std::vector<std::string>> rows;
  const auto it = gadgets.find(gadget);
  if (it == gadgets.end() || !it->second.rowText) return rows;
  const Gadget& g = it->second;
  const int columns = g.columnTitles.empty() ? 1 : static_cast<int>(g.columnTitles.size());
  for (int r = 0; r < g.rowCount; ++r) {
    std::vector<std::string> row;
    for (int c = 0; c < columns; ++c) row.push_back(g.rowText(r, c));
    rows.push_back(row);
  }
  return rows;
}

void Desktop::typeInEditor(int gadget, const std::string& text) {
  Gadget& g = gadgets[gadget];
  const int length = static_cast<int>(g.text.size());
  const int start = std::clamp(std::min(g.selStart, g.selEnd), 0, length);
  const int end = std::clamp(std::max(g.selStart, g.selEnd), 0, length);
  g.text.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start), text);
  g.richText.clear();
  g.selStart = g.selEnd = g.caret = start + static_cast<int>(text.size());
  g.modified = true;
}

void Desktop::clickLink(int gadget, int start, int end) {
  gadgets[gadget].link = {start, end};
  postEvent({platform::EVENT_GADGET, 500, gadget, platform::GADGET_LINK_CLICK, 0});
}

void Desktop::pressFindButton(unsigned flags, const std::string& findWhat, const std::string& replaceWith) {
  if (!findDialog.open) return;
  findReport = {flags, findWhat, replaceWith};
  if (flags & platform::FIND_DIALOGTERM) findDialog.open = false;
  const auto message = registeredMessages.find("commdlg_FindReplace");
  if (message == registeredMessages.end()) return;
  send(findDialog.owner, message->second, 0, reinterpret_cast<platform::LParam>(&findReport));
}

std::optional<platform::WindowEvent> Desktop::nextEvent() {
  if (events_.empty() && !script_.empty()) {
    auto step = std::move(script_.front());
    script_.pop_front();
    step();
  } else if (events_.empty()) {
    throw ScriptExhausted{};
  }
  if (events_.empty()) return std::nullopt;
  const platform::WindowEvent event = events_.front();
  events_.pop_front();
  return event;
}

std::vector<platform::WindowEvent> Desktop::takePostedEvents() {
  std::vector<platform::WindowEvent> taken(events_.begin(), events_.end());
  events_.clear();
  return taken;
}

int Desktop::answer(MessageBoxRecord record) {
  if (!answers_.empty()) {
    record.answer = answers_.front();
    answers_.pop_front();
  } else if (answerer) {
    // Recorded before the answer: a script may end the program from inside the box.
    const std::size_t at = messageBoxes.size();
    messageBoxes.push_back(record);
    const int answer = answerer(record);
    messageBoxes[at].answer = answer;
    return answer;
  } else {
    record.scripted = false;
    record.answer = (record.style & 0x0F) == platform::MB_YESNO ? platform::IDNO : platform::IDOK;
  }
  messageBoxes.push_back(record);
  return record.answer;
}

std::vector<MessageBoxRecord> Desktop::unscriptedMessageBoxes() const {
  std::vector<MessageBoxRecord> out;
  for (const auto& box : messageBoxes)
    if (!box.scripted) out.push_back(box);
  return out;
}

}  // namespace sim
