// Modal message boxes.
#pragma once

#include <string>

#include "platform/types.h"

namespace platform {

// Shows a modal message box (MB_* style) and answers the button pressed (IDOK, IDYES, IDNO).
int messageBox(Hwnd owner, const std::string& text, const std::string& title, unsigned style);

}  // namespace platform
