// The simulated system's code page, Windows-1252, and the conversions its clipboard and
// platform::ansiToUtf8 make through it.
#include "platform/text_encoding.h"

#include "platform/sim/code_page.h"
#include "platform/utf8_codec.h"

namespace sim {
namespace {

// 0x80 to 0x9F; the unassigned bytes keep their own number.
const char16_t high1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char ansiOf(char32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<char>(codePoint);
  for (int i = 0; i < 32; ++i)
    if (high1252[i] == codePoint) return static_cast<char>(0x80 + i);
  return '?';
}

void appendUnit(std::string& out, char32_t unit) {
  out += static_cast<char>(unit & 0xFF);
  out += static_cast<char>(unit >> 8);
}

// Calls `take` with each code point of UTF-16LE bytes up to a zero character.
template <class Take>
void eachCodePoint(const std::string& utf16, Take take) {
  const std::size_t units = utf16.size() / 2;
  const auto unitAt = [&utf16](std::size_t i) {
    return static_cast<char32_t>(static_cast<unsigned char>(utf16[2 * i]) |
                                 (static_cast<unsigned char>(utf16[2 * i + 1]) << 8));
  };
  for (std::size_t i = 0; i < units; ++i) {
    const char32_t unit = unitAt(i);
    if (unit == 0) return;
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units && unitAt(i + 1) >= 0xDC00 && unitAt(i + 1) < 0xE000) {
      take(0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00));
      ++i;
    } else {
      take(unit >= 0xD800 && unit < 0xE000 ? char32_t{0xFFFD} : unit);
    }
  }
}

}  // namespace

char32_t codePointOf1252(unsigned char byte) { return byte >= 0x80 && byte < 0xA0 ? high1252[byte - 0x80] : byte; }

std::string utf16FromAnsi(const std::string& ansi) {
  std::string out;
  out.reserve(ansi.size() * 2 + 2);
  for (char c : ansi) {
    if (c == '\0') break;
    appendUnit(out, codePointOf1252(static_cast<unsigned char>(c)));
  }
  appendUnit(out, 0);
  return out;
}

std::string ansiFromUtf16(const std::string& utf16) {
  std::string out;
  out.reserve(utf16.size() / 2 + 1);
  eachCodePoint(utf16, [&out](char32_t c) { out += ansiOf(c); });
  out += '\0';
  return out;
}

std::string utf8FromUtf16(const std::string& utf16) {
  std::string out;
  out.reserve(utf16.size());
  eachCodePoint(utf16, [&out](char32_t c) { platform::appendUtf8(out, c); });
  return out;
}

std::string utf16FromUtf8(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size() * 2 + 2);
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int extra = lead < 0x80 ? 0 : lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : -1;
    char32_t c = extra == 3 ? lead & 0x07 : extra == 2 ? lead & 0x0F : extra == 1 ? lead & 0x1F : lead;
    bool valid = extra >= 0 && i + extra < utf8.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    const char32_t least = extra == 3 ? 0x10000 : extra == 2 ? 0x800 : extra == 1 ? 0x80 : 0;
    if (!valid || c < least || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) {
      appendUnit(out, 0xFFFD);
      ++i;
      continue;
    }
    i += static_cast<std::size_t>(extra) + 1;
    if (c >= 0x10000) {
      appendUnit(out, 0xD800 + ((c - 0x10000) >> 10));
      appendUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      appendUnit(out, c);
    }
  }
  appendUnit(out, 0);
  return out;
}

}  // namespace sim

namespace platform {

std::string ansiToUtf8(const std::string& ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (char c : ansi) platform::appendUtf8(out, sim::codePointOf1252(static_cast<unsigned char>(c)));
  return out;
}

std::string utf8ToAnsi(const std::string& utf8) {
  std::string ansi = sim::ansiFromUtf16(sim::utf16FromUtf8(utf8));
  ansi.pop_back();  // the terminating zero
  return ansi;
}

}  // namespace platform
