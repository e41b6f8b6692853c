// Modal message boxes.
#pragma once

#include <optional>
#include <string>

#include "platform/types.h"

namespace platform {

// Shows a modal message box (MB_* style) and answers the button pressed (IDOK, IDYES, IDNO).
int messageBox(Hwnd owner, const std::string& text, const std::string& title, unsigned style);
// Asks for one line of text in a modal dialog; nullopt when the user cancels.
std::optional<std::string> inputBox(Hwnd owner, const std::string& title, const std::string& prompt,
                                    const std::string& initial);

// The standard save-file dialog titled `title`, its name box starting with `startName`; `filter`
// is "description|pattern|description|pattern...". Answers the name typed and the filter chosen
// (1 for the first); nullopt when the user cancels. It asks nothing about existing files.
struct SaveFileAnswer {
  std::string path;
  int filterIndex = 1;
};
std::optional<SaveFileAnswer> saveFileDialog(Hwnd owner, const std::string& title, const std::string& startName,
                                             const std::string& filter);

// The standard colour dialog with its custom-colour part shown; nullopt when the user cancels.
std::optional<Colour> chooseColour(Hwnd owner, Colour initial, const Colour (&custom)[16]);

}  // namespace platform
