// Web addresses: the shell opens whatever it is handed, so only plain addresses of a few schemes go.
#include "core/web_address.h"

#include <cctype>
#include <string>

namespace core {

const char* const notAWebAddressMessage = "Sorry, but that source does not appear to be a valid URL";

namespace {

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

// Something after the scheme, and nothing that could widen a shell command.
bool plainAfter(const std::string& text, std::size_t scheme) {
  if (text.size() == scheme) return false;
  for (unsigned char c : text)
    if (c < 0x20 || c == 0x7F || c == ' ' || c == '"' || c == '\'') return false;
  return true;
}

bool hasScheme(const std::string& text, std::initializer_list<const char*> schemes) {
  for (const char* scheme : schemes)
    if (startsWithNoCase(text, scheme)) return plainAfter(text, std::char_traits<char>::length(scheme));
  return false;
}

}  // namespace

bool isWebAddress(const std::string& text) { return hasScheme(text, {"http://", "https://"}); }

bool isLinkAddress(const std::string& text) { return hasScheme(text, {"http://", "https://", "ftp://", "mailto:"}); }

}  // namespace core
