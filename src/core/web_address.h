// The one test of a text as a web address that the program opens with the shell.
#pragma once

#include <string>

namespace core {

// The text of every refusal to open an address.
extern const char* const notAWebAddressMessage;

// True for "http://" or "https://" (any case) followed by at least one character, with no control
// character, blank or quote anywhere: such a text cannot widen a shell command.
bool isWebAddress(const std::string& text);

}  // namespace core
