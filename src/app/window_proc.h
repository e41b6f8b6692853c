// The main window's message callback: clipboard messages, instance activation, Explorer restarts,
// the end of the Windows session and activation of the program.
#pragma once

#include <optional>

#include "platform/types.h"

namespace core {
struct Program;
}

namespace app {

// Answers the message's result, or nullopt for the system's default processing.
std::optional<platform::LResult> mainWindowProc(core::Program& p, platform::Hwnd window, unsigned message,
                                                platform::WParam wParam, platform::LParam lParam);

}  // namespace app
