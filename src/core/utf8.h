// Texts as UTF-8, the exact form of a clip's text: counting and cutting by character, and the one
// case-insensitive match that every search of clip text uses.
#pragma once

#include <string>

namespace core {

// The number of characters (code points) of a UTF-8 text.
std::size_t characterCount(const std::string& utf8);
// The first `count` characters of a UTF-8 text, never cutting one.
std::string firstCharacters(const std::string& utf8, std::size_t count);
// True when every byte is ASCII: such a text reads the same in UTF-8 and in any ANSI code page.
bool isAscii(const std::string& text);
// The text as UTF-16LE bytes, without a byte order mark or a terminating zero; an invalid byte
// becomes U+FFFD.
std::string utf16le(const std::string& utf8);
// The text with every character replaced by its simple case folding (Unicode 14), so that two
// texts that differ only in case fold alike; accents count. Invalid bytes stay as they are.
std::string foldCase(const std::string& utf8);
// Where `what` first appears in `text` from byte `from` on, ignoring case as foldCase does;
// std::string::npos when nowhere. Both are UTF-8.
std::size_t findIgnoringCase(const std::string& text, const std::string& what, std::size_t from = 0);

}  // namespace core
