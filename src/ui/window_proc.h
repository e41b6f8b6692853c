// The main window's message callback: clipboard messages, instance activation, Explorer restarts,
// the end of the Windows session and activation of the program.
#pragma once

#include <optional>

#include "platform/types.h"

namespace app {
struct Program;
}

namespace ui {

// Answers the message's result, or nullopt for the system's default processing.
std::optional<platform::LResult> mainWindowProc(app::Program& p, platform::Hwnd window, unsigned message,
                                                platform::WParam wParam, platform::LParam lParam);

}  // namespace ui
