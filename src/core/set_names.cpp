// Set name checks shared by the settings loader and the set commands.
#include "core/set_names.h"

#include <cstring>

namespace core {

bool isUsableSetName(const std::string& name) {
  if (name.empty() || name.size() > maxSetNameLength) return false;
  if (name == "." || name == "..") return false;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) return false;
    if (std::strchr("\\/:*?\"<>|", c) != nullptr) return false;
  }
  const char first = name.front(), last = name.back();
  if (first == ' ' || first == '.' || last == ' ' || last == '.') return false;
  return true;
}

}  // namespace core
