// Web addresses: the shell opens whatever it is handed, so only plain http and https addresses go.
#include "core/web_address.h"

#include <cctype>

namespace core {

const char* const notAWebAddressMessage = "Sorry, but that source does not appear to be a valid URL";

namespace {

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

}  // namespace

bool isWebAddress(const std::string& text) {
  std::size_t scheme = 0;
  if (startsWithNoCase(text, "http://")) scheme = 7;
  else if (startsWithNoCase(text, "https://")) scheme = 8;
  else return false;
  if (text.size() == scheme) return false;
  for (unsigned char c : text)
    if (c < 0x20 || c == 0x7F || c == ' ' || c == '"' || c == '\'') return false;
  return true;
}

}  // namespace core
