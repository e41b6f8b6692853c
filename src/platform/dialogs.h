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

// Flags of the find dialog's reports (the values of the system's find dialog).
constexpr unsigned FIND_DOWN = 0x1;
constexpr unsigned FIND_WHOLEWORD = 0x2;
constexpr unsigned FIND_MATCHCASE = 0x4;
constexpr unsigned FIND_FINDNEXT = 0x8;
constexpr unsigned FIND_REPLACE = 0x10;
constexpr unsigned FIND_REPLACEALL = 0x20;
constexpr unsigned FIND_DIALOGTERM = 0x40;
// Opens the modeless Find dialog (with `replace`, Find and Replace) owned by a window, searching
// down, with the texts given (UTF-8, up to 79 UTF-16 units each); each press reaches the owner as
// the registered message "commdlg_FindReplace". One dialog at a time: false when one is open or it
// cannot be made.
bool openFindDialog(Hwnd owner, bool replace, const std::string& findWhat, const std::string& replaceWith);
struct FindReport {
  unsigned flags = 0;
  std::string findWhat, replaceWith;  // UTF-8
};
// What a "commdlg_FindReplace" message reports; its lParam is the dialog's record.
FindReport readFindReport(LParam lParam);

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
