// Small text helpers shared across the program; texts are 8-bit bytes in the ANSI code page.
#pragma once

#include <string>

namespace core {

// The most bytes a clip's text may hold. A text is copied several times on its way to the database,
// in an address space of 2 GB: a text of a few hundred megabytes would exhaust it.
constexpr std::size_t clipTextLimit = 80u << 20;

// The text without the given characters at either end.
inline std::string trimBlanks(const std::string& text, const char* blanks = " ") {
  const auto first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The text with A-Z made lower case; other bytes stay, as the settings keys need.
inline std::string lowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace core
