// The simulated system's ANSI code page, Windows-1252, and the UTF-16 of its clipboard: what the
// simulated clipboard converts through, and what tests use to put a Unicode text on it.
#pragma once

#include <string>

namespace sim {

// The code point of a Windows-1252 byte; the five unassigned bytes stand for the C1 controls of
// the same number, as the system maps them.
char32_t codePointOf1252(unsigned char byte);
// Windows-1252 bytes (up to a zero, if any) as UTF-16LE bytes with a terminating zero character.
std::string utf16FromAnsi(const std::string& ansi);
// UTF-16LE bytes (up to a zero character; an odd last byte is ignored) as Windows-1252 bytes with a
// terminating zero: a character without a Windows-1252 form becomes '?', one per character.
std::string ansiFromUtf16(const std::string& utf16);
// UTF-16LE bytes (up to a zero character) as UTF-8; a lone surrogate becomes U+FFFD.
std::string utf8FromUtf16(const std::string& utf16);
// UTF-8 as UTF-16LE bytes with a terminating zero character; an invalid byte becomes U+FFFD.
std::string utf16FromUtf8(const std::string& utf8);

}  // namespace sim
