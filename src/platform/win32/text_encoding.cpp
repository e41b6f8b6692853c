// The system's ANSI code page to UTF-8 and back, through UTF-16 as the system converts.
#include "platform/text_encoding.h"

#include <climits>

#include "platform/win32/win32.h"

namespace platform {

namespace {

// ASCII reads the same in both: most texts need neither the wide copy nor the calls.
bool isAscii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// The text in code page `from` converted to code page `to`; a byte gives at most `growth` bytes.
// Empty when the system refuses.
std::string convert(const std::string& text, UINT from, UINT to, int growth) {
  if (isAscii(text)) return text;
  if (text.size() > static_cast<std::size_t>(INT_MAX / growth)) return std::string();
  const int count = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(from, 0, text.data(), count, nullptr, 0);
  if (units <= 0) return std::string();
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  if (MultiByteToWideChar(from, 0, text.data(), count, &wide[0], units) != units) return std::string();
  const int bytes = WideCharToMultiByte(to, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string out(static_cast<std::size_t>(bytes), '\0');
  if (WideCharToMultiByte(to, 0, wide.data(), units, &out[0], bytes, nullptr, nullptr) != bytes) return std::string();
  return out;
}

}  // namespace

// One ANSI byte gives at most one UTF-16 unit, and that at most three UTF-8 bytes.
std::string ansiToUtf8(const std::string& ansi) { return convert(ansi, CP_ACP, CP_UTF8, 3); }

// One UTF-8 byte gives at most one UTF-16 unit, and that at most two ANSI bytes (DBCS).
std::string utf8ToAnsi(const std::string& utf8) { return convert(utf8, CP_UTF8, CP_ACP, 2); }

}  // namespace platform
