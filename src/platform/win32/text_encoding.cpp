// The system's ANSI code page to UTF-8, through UTF-16 as the system converts.
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

}  // namespace

std::string ansiToUtf8(const std::string& ansi) {
  if (isAscii(ansi)) return ansi;
  // One ANSI byte gives at most one UTF-16 unit, and that at most three UTF-8 bytes.
  if (ansi.size() > static_cast<std::size_t>(INT_MAX / 3)) return std::string();
  const int count = static_cast<int>(ansi.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, ansi.data(), count, nullptr, 0);
  if (units <= 0) return std::string();
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, ansi.data(), count, &wide[0], units) != units) return std::string();
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  if (WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, &utf8[0], bytes, nullptr, nullptr) != bytes)
    return std::string();
  return utf8;
}

std::string utf8ToAnsi(const std::string& utf8) {
  if (isAscii(utf8)) return utf8;
  // One UTF-8 byte gives at most one UTF-16 unit, and that at most two ANSI bytes (DBCS).
  if (utf8.size() > static_cast<std::size_t>(INT_MAX / 2)) return std::string();
  const int count = static_cast<int>(utf8.size());
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), count, nullptr, 0);
  if (units <= 0) return std::string();
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  if (MultiByteToWideChar(CP_UTF8, 0, utf8.data(), count, &wide[0], units) != units) return std::string();
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string ansi(static_cast<std::size_t>(bytes), '\0');
  if (WideCharToMultiByte(CP_ACP, 0, wide.data(), units, &ansi[0], bytes, nullptr, nullptr) != bytes)
    return std::string();
  return ansi;
}

}  // namespace platform
