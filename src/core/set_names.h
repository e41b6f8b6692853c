// The rule for set names: a set name becomes a folder name under the sets folder, so it must
// be a plain, harmless file name of 1 to 32 characters.
#pragma once

#include <string>

namespace core {

constexpr std::size_t maxSetNameLength = 32;

// True for a name that may name a set: 1 to 32 bytes; not "." or ".."; no \ / : * ? " < > |
// and no control character; not beginning or ending with a blank or a dot.
bool isUsableSetName(const std::string& name);

}  // namespace core
