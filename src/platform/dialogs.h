// Modal message boxes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

// Shows a modal message box (MB_* style) and answers the button pressed (IDOK, IDYES, IDNO).
int messageBox(Hwnd owner, const std::string& text, const std::string& title, unsigned style);
// Asks for one line of text in a modal dialog; nullopt when the user cancels.
std::optional<std::string> inputBox(Hwnd owner, const std::string& title, const std::string& prompt,
                                    const std::string& initial);

// The standard colour dialog with its custom-colour part shown; nullopt when the user cancels.
std::optional<Colour> chooseColour(Hwnd owner, Colour initial, const Colour (&custom)[16]);

// Three buttons, and the answer of the third.
constexpr unsigned MB_YESNOCANCEL = 0x03;
constexpr int IDCANCEL = 2;

// The open-file dialog, starting in `folder`, with one filter "description|pattern" and, when
// `multiSelect`, room for several files. Answers the full path of each chosen file, none when the
// user cancels. The process's current folder is left as it was.
std::vector<std::string> openFileDialog(Hwnd owner, const std::string& title, const std::string& folder,
                                        const std::string& filter, bool multiSelect);

}  // namespace platform
