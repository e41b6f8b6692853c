// The simulated clipboard and viewer chain. As on Windows, joining the chain sends WM_DRAWCLIPBOARD
// to the joining window before it returns, and a write notifies the chain when the writer closes the
// clipboard, synchronously. A program that puts only one of CF_TEXT and CF_UNICODETEXT offers both:
// the other is made from it when it is read, through the code page, as the system does.
#include "platform/clipboard.h"

#include <vector>

#include "platform/sim/code_page.h"
#include "platform/sim/desktop.h"

namespace platform {

using sim::desktop;

namespace {

// The format the clipboard makes `format` from when it is read, 0 when it holds `format` itself or
// cannot make it.
unsigned madeFrom(const sim::Desktop& d, unsigned format) {
  if (d.clipboard.count(format) != 0) return 0;
  if (format == CF_UNICODETEXT && d.clipboard.count(CF_TEXT) != 0) return CF_TEXT;
  if (format == CF_TEXT && d.clipboard.count(CF_UNICODETEXT) != 0) return CF_UNICODETEXT;
  return 0;
}

bool offers(const sim::Desktop& d, unsigned format) { return d.clipboard.count(format) != 0 || madeFrom(d, format) != 0; }

// The formats put, in order, and then those made from them.
std::vector<unsigned> offeredFormats(const sim::Desktop& d) {
  std::vector<unsigned> formats;
  for (const auto& entry : d.clipboard) formats.push_back(entry.first);
  for (unsigned made : {CF_TEXT, CF_UNICODETEXT})
    if (madeFrom(d, made) != 0) formats.push_back(made);
  return formats;
}

std::optional<std::string> dataOf(const sim::Desktop& d, unsigned format) {
  if (const auto it = d.clipboard.find(format); it != d.clipboard.end()) return it->second;
  const unsigned from = madeFrom(d, format);
  if (from == 0) return std::nullopt;
  const std::string& source = d.clipboard.at(from);
  return format == CF_UNICODETEXT ? sim::utf16FromAnsi(source) : sim::ansiFromUtf16(source);
}

}  // namespace

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
  const std::vector<unsigned> formats = offeredFormats(d);
  if (format == 0) return formats.empty() ? 0 : formats.front();
  for (std::size_t i = 0; i + 1 < formats.size(); ++i)
    if (formats[i] == format) return formats[i + 1];
  return 0;
}

int getPriorityClipboardFormat(const unsigned* formats, int count) {
  auto& d = desktop();
  if (d.clipboard.empty()) return 0;
  for (int i = 0; i < count; ++i)
    if (offers(d, formats[i])) return static_cast<int>(formats[i]);
  return -1;
}

bool isClipboardFormatAvailable(unsigned format) { return offers(desktop(), format); }

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
  return dataOf(d, format);
}

std::size_t clipboardDataSize(unsigned format) {
  auto& d = desktop();
  if (!d.clipboardOpen) return 0;
  const auto it = d.clipboard.find(format);
  if (it != d.clipboard.end()) return it->second.size();
  // A made block is measured without being made: a huge text is not converted only to be refused.
  switch (madeFrom(d, format)) {
    case CF_TEXT: {
      const std::string& ansi = d.clipboard.at(CF_TEXT);
      const std::size_t zero = ansi.find('\0');
      return ((zero == std::string::npos ? ansi.size() : zero) + 1) * 2;
    }
    case CF_UNICODETEXT: {
      const std::string& wide = d.clipboard.at(CF_UNICODETEXT);
      std::size_t characters = 0;
      for (std::size_t i = 0; i + 1 < wide.size(); i += 2) {
        const unsigned unit = static_cast<unsigned char>(wide[i]) | (static_cast<unsigned char>(wide[i + 1]) << 8);
        if (unit == 0) break;
        if (unit < 0xDC00 || unit >= 0xE000) ++characters;  // a pair's second half adds no character
      }
      return characters + 1;
    }
    default:
      return 0;
  }
}

std::optional<std::string> getClipboardText() {
  auto bytes = getClipboardBytes(CF_TEXT);
  if (!bytes) return std::nullopt;
  const auto zero = bytes->find('\0');
  if (zero != std::string::npos) bytes->resize(zero);
  return bytes;
}

std::optional<std::string> getClipboardUnicodeText() {
  const auto bytes = getClipboardBytes(CF_UNICODETEXT);
  if (!bytes) return std::nullopt;
  return sim::utf8FromUtf16(*bytes);
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

bool setClipboardUnicodeText(const std::string& utf8) { return setClipboardBytes(CF_UNICODETEXT, sim::utf16FromUtf8(utf8)); }

}  // namespace platform
