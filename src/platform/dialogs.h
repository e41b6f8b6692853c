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

// The text prompt: a label, an entry line and the buttons "OK", "Open URL" (when asked for) and
// "Cancel", in client pixels from the window's top-left corner at (x, y) on the screen.
struct PromptLayout {
  Hwnd owner = 0;
  std::string title, prompt, text;
  int x = 0, y = 0;
  int width = 0, height = 0;  // the label's size; the client area is width + 13 by height + 75
  bool openUrlButton = false;
  unsigned entryStyle = 0;    // extra edit styles of the entry line
};
enum class PromptButton { Cancel = 0, Ok = 1, OpenUrl = 2 };
struct PromptAnswer {
  PromptButton button = PromptButton::Cancel;
  std::string text;           // the entry line as it was left
};
// Shows the prompt modally: topmost, in front, the entry's text selected and focused, with the
// question sound; it takes the foreground back while it is open. Enter means "OK" and Escape
// "Cancel" only while the prompt has the keyboard focus; the close box is "Cancel".
PromptAnswer promptDialog(const PromptLayout& layout);
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

// Three buttons, and the answer of the third.
constexpr unsigned MB_YESNOCANCEL = 0x03;
constexpr int IDCANCEL = 2;

// The open-file dialog, starting in `folder`, with one filter "description|pattern" and, when
// `multiSelect`, room for several files. Answers the full path of each chosen file, none when the
// user cancels. The process's current folder is left as it was.
std::vector<std::string> openFileDialog(Hwnd owner, const std::string& title, const std::string& folder,
                                        const std::string& filter, bool multiSelect);

}  // namespace platform
