// The simulated clipboard and viewer chain. As on Windows, joining the chain sends WM_DRAWCLIPBOARD
// to the joining window before it returns, and a write notifies the chain when the writer closes the
// clipboard, synchronously.
#include "platform/clipboard.h"

#include "platform/sim/desktop.h"

namespace platform {

using sim::desktop;

Hwnd setClipboardViewer(Hwnd window) {
  auto& d = desktop();
  const Hwnd previous = d.chainHead;
  d.chainHead = window;
  d.send(window, WM_DRAWCLIPBOARD, 0, 0);
  return previous;
}

bool changeClipboardChain(Hwnd window, Hwnd next) {
  auto& d = desktop();
  if (d.chainHead == window) {
    d.chainHead = next;
    return true;
  }
  if (d.chainHead != 0) d.send(d.chainHead, WM_CHANGECBCHAIN, window, static_cast<LParam>(next));
  return true;
}

bool openClipboard(Hwnd) {
  auto& d = desktop();
  ++d.clipboardOpenAttempts;
  if (d.foreignHoldAttempts != 0) {
    if (d.foreignHoldAttempts > 0) --d.foreignHoldAttempts;
    return false;
  }
  d.clipboardOpen = true;
  return true;
}

bool closeClipboard() {
  auto& d = desktop();
  if (!d.clipboardOpen) return false;
  d.clipboardOpen = false;
  if (d.clipboardChanged) {
    d.clipboardChanged = false;
    d.notifyClipboardChange();
  }
  return true;
}

unsigned enumClipboardFormats(unsigned format) {
  auto& d = desktop();
  if (!d.clipboardOpen) return 0;
  auto it = format == 0 ? d.clipboard.begin() : d.clipboard.upper_bound(format);
  return it == d.clipboard.end() ? 0 : it->first;
}

int getPriorityClipboardFormat(const unsigned* formats, int count) {
  auto& d = desktop();
  if (d.clipboard.empty()) return 0;
  for (int i = 0; i < count; ++i)
    if (d.clipboard.count(formats[i]) != 0) return static_cast<int>(formats[i]);
  return -1;
}

bool isClipboardFormatAvailable(unsigned format) { return desktop().clipboard.count(format) != 0; }

// The simulated desktop hands every change over at once; the copies scripted to come while the
// program is busy all arrive here, one after the other.
unsigned clipboardSequenceNumber() { return desktop().clipboardSequence; }

void takeClipboardChanges() {
  auto& d = desktop();
  if (d.callsBeforeCopiesWhileBusy > 0 && !d.copiesWhileBusy.empty()) {
    --d.callsBeforeCopiesWhileBusy;
    return;
  }
  std::deque<std::string> copies;
  copies.swap(d.copiesWhileBusy);
  if (copies.empty() && d.afterCopiesWhileBusy) {
    const std::function<void()> action = std::move(d.afterCopiesWhileBusy);
    d.afterCopiesWhileBusy = nullptr;
    action();
  }
  for (const std::string& text : copies) d.copyText(text);
}

Hwnd getOpenClipboardWindow() {
  auto& d = desktop();
  return d.foreignHoldAttempts != 0 ? d.foreignHolder : 0;
}

std::optional<std::string> getClipboardBytes(unsigned format) {
  auto& d = desktop();
  if (!d.clipboardOpen) return std::nullopt;
  const auto it = d.clipboard.find(format);
  if (it == d.clipboard.end()) return std::nullopt;
  return it->second;
}

std::size_t clipboardDataSize(unsigned format) {
  auto& d = desktop();
  if (!d.clipboardOpen) return 0;
  const auto it = d.clipboard.find(format);
  return it == d.clipboard.end() ? 0 : it->second.size();
}

std::optional<std::string> getClipboardText() {
  auto bytes = getClipboardBytes(CF_TEXT);
  if (!bytes) return std::nullopt;
  const auto zero = bytes->find('\0');
  if (zero != std::string::npos) bytes->resize(zero);
  return bytes;
}

unsigned registerClipboardFormat(const std::string& name) {
  auto& formats = desktop().registeredFormats;
  const auto it = formats.find(name);
  if (it != formats.end()) return it->second;
  const unsigned number = 0xC000 + static_cast<unsigned>(formats.size());
  formats[name] = number;
  return number;
}

bool emptyClipboard() {
  auto& d = desktop();
  if (!d.clipboardOpen) return false;
  d.clipboard.clear();
  d.clipboardChanged = true;
  return true;
}

bool setClipboardBytes(unsigned format, const std::string& bytes) {
  auto& d = desktop();
  if (!d.clipboardOpen) return false;
  d.clipboard[format] = format == CF_TEXT ? bytes + '\0' : bytes;
  d.clipboardChanged = true;
  return true;
}

}  // namespace platform
