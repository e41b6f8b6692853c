// The clipboard and the clipboard viewer chain.
#pragma once

#include <optional>
#include <string>

#include "platform/types.h"

namespace platform {

// Joins the viewer chain; the system sends WM_DRAWCLIPBOARD to `window` before this returns.
// Answers the next viewer of the chain (0 when the window is the last one).
Hwnd setClipboardViewer(Hwnd window);
// Removes `window` from the chain, telling the chain that `next` follows it. False on failure.
bool changeClipboardChain(Hwnd window, Hwnd next);
// Opens the clipboard for this program; false while another program holds it open.
bool openClipboard(Hwnd owner);
// Closes the clipboard; a write between open and close notifies the viewer chain here.
bool closeClipboard();
// Answers the format after `format` on the open clipboard (0 starts), 0 when there is none.
unsigned enumClipboardFormats(unsigned format);
// Answers the first of `formats` on the clipboard, 0 when the clipboard is empty, -1 when it holds only others.
int getPriorityClipboardFormat(const unsigned* formats, int count);
// True when the clipboard holds `format`.
bool isClipboardFormatAvailable(unsigned format);
// Answers the window that holds the clipboard open, 0 when none does.
Hwnd getOpenClipboardWindow();
// The CF_TEXT bytes of the open clipboard up to their terminating zero, never past the end of
// their memory block; nullopt when the clipboard has no text handle.
std::optional<std::string> getClipboardText();
// The CF_UNICODETEXT of the open clipboard as UTF-8, up to its terminating zero and never past the
// end of its memory block (a lone surrogate becomes U+FFFD); nullopt when it has no such handle.
std::optional<std::string> getClipboardUnicodeText();
// The size in bytes of the memory block of `format` on the open clipboard, 0 when absent. Read before
// the data is copied, so that a block too large to take is never copied.
std::size_t clipboardDataSize(unsigned format);
// The raw bytes of `format` on the open clipboard; nullopt when absent.
std::optional<std::string> getClipboardBytes(unsigned format);
// Handles the clipboard changes that have reached the program since (and any message sent to its
// windows meanwhile), without taking input or painting; answers at once when there are none.
void takeClipboardChanges();
// Answers the clipboard's change count: it grows with every change, so a notification handled
// late can tell that the clipboard moved on since.
unsigned clipboardSequenceNumber();
// Answers the number of a registered clipboard format, 0 on failure.
unsigned registerClipboardFormat(const std::string& name);
// Empties the open clipboard and takes ownership of it. False on failure.
bool emptyClipboard();
// Puts `bytes` on the open clipboard as `format` (CF_TEXT gets a terminating zero). False on failure.
bool setClipboardBytes(unsigned format, const std::string& bytes);
// Puts a UTF-8 text on the open clipboard as CF_UNICODETEXT (with its terminating zero); false on
// failure.
bool setClipboardUnicodeText(const std::string& utf8);

}  // namespace platform
