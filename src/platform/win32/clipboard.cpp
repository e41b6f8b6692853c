// The clipboard and the viewer chain over USER32. Data from other programs is
// never trusted to be what it claims: every read stops at the end of the memory
// block it came in.
#include "platform/clipboard.h"

#include <climits>
#include <cstring>
#include <vector>

#include "platform/win32/win32.h"

namespace platform {
using namespace win32;

namespace {

// The bytes of a clipboard block, never past its size; a zero-sized block is empty, and
// nullopt means a block that cannot be locked.
std::optional<std::string> blockBytes(HANDLE data, bool stopAtZero) {
  const SIZE_T size = GlobalSize(data);
  const void* locked = GlobalLock(data);
  if (!locked) return size == 0 ? std::optional<std::string>(std::string()) : std::nullopt;
  const char* bytes = static_cast<const char*>(locked);
  SIZE_T length = size;
  if (stopAtZero) {
    const void* zero = std::memchr(bytes, 0, size);
    if (zero) length = static_cast<SIZE_T>(static_cast<const char*>(zero) - bytes);
  }
  std::string copy(bytes, length);
  GlobalUnlock(data);
  return copy;
}

}  // namespace

Hwnd setClipboardViewer(Hwnd window) { return fromHwnd(SetClipboardViewer(toHwnd(window))); }

bool changeClipboardChain(Hwnd window, Hwnd next) {
  return ChangeClipboardChain(toHwnd(window), toHwnd(next)) != 0;
}

bool openClipboard(Hwnd owner) { return OpenClipboard(toHwnd(owner)) != 0; }
bool closeClipboard() { return CloseClipboard() != 0; }
unsigned enumClipboardFormats(unsigned format) { return EnumClipboardFormats(format); }

int getPriorityClipboardFormat(const unsigned* formats, int count) {
  if (count <= 0) return 0;
  std::vector<UINT> list(formats, formats + count);
  return GetPriorityClipboardFormat(list.data(), count);
}

bool isClipboardFormatAvailable(unsigned format) { return IsClipboardFormatAvailable(format) != 0; }
Hwnd getOpenClipboardWindow() { return fromHwnd(GetOpenClipboardWindow()); }

unsigned clipboardSequenceNumber() { return static_cast<unsigned>(GetClipboardSequenceNumber()); }

void takeClipboardChanges() {
  // A peek runs every message sent to the thread; the range lets through only a change that
  // arrived posted, so neither input nor a paint is taken here.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_DRAWCLIPBOARD, WM_DRAWCLIPBOARD, PM_REMOVE)) DispatchMessageA(&msg);
}

std::optional<std::string> getClipboardText() {
  HANDLE data = GetClipboardData(CF_TEXT);
  if (!data) return std::nullopt;
  return blockBytes(data, true);
}

std::optional<std::string> getClipboardUnicodeText() {
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return std::nullopt;
  const SIZE_T size = GlobalSize(data);
  const WCHAR* wide = static_cast<const WCHAR*>(GlobalLock(data));
  if (!wide) return size == 0 ? std::optional<std::string>(std::string()) : std::nullopt;
  const SIZE_T units = size / sizeof(WCHAR);
  SIZE_T length = 0;
  while (length < units && wide[length] != 0) ++length;
  std::optional<std::string> text = std::string();
  if (length > static_cast<SIZE_T>(INT_MAX / 3)) {
    text = std::nullopt;  // beyond what one conversion can answer; far beyond what a clip may hold
  } else if (length > 0) {
    text = toUtf8(wide, static_cast<int>(length));
    if (text->empty()) text = std::nullopt;  // the system refused the conversion
  }
  GlobalUnlock(data);
  return text;
}

std::size_t clipboardDataSize(unsigned format) {
  HANDLE data = GetClipboardData(format);
  return data ? static_cast<std::size_t>(GlobalSize(data)) : 0;
}

std::optional<std::string> getClipboardBytes(unsigned format) {
  HANDLE data = GetClipboardData(format);
  if (!data) return std::nullopt;
  return blockBytes(data, false);
}

unsigned registerClipboardFormat(const std::string& name) { return RegisterClipboardFormatA(name.c_str()); }

bool emptyClipboard() { return EmptyClipboard() != 0; }

bool setClipboardBytes(unsigned format, const std::string& bytes) {
  const bool text = format == CF_TEXT;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + (text ? 1 : 0));
  if (!block) return false;
  char* target = static_cast<char*>(GlobalLock(block));
  if (!target) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(target, bytes.data(), bytes.size());
  if (text) target[bytes.size()] = '\0';
  GlobalUnlock(block);
  if (!SetClipboardData(format, block)) {
    GlobalFree(block);  // still ours: the clipboard took nothing
    return false;
  }
  return true;
}

bool setClipboardUnicodeText(const std::string& utf8) {
  const std::wstring wide = toWide(utf8);
  if (wide.empty() && !utf8.empty()) return false;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(WCHAR));
  if (!block) return false;
  WCHAR* target = static_cast<WCHAR*>(GlobalLock(block));
  if (!target) {
    GlobalFree(block);
    return false;
  }
  wide.copy(target, wide.size());
  target[wide.size()] = 0;
  GlobalUnlock(block);
  if (!SetClipboardData(CF_UNICODETEXT, block)) {
    GlobalFree(block);
    return false;
  }
  return true;
}

}  // namespace platform
