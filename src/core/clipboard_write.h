// The program's own clipboard writes. For the two puts the caller opens and empties the clipboard
// and raises ownWrite, so the watcher passes the change on without capturing it.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace core {

// Puts text on the open clipboard as CF_TEXT; false on failure.
bool putTextOnClipboard(core::Program& p, const std::string& text);
// Puts rich text on the open clipboard as "Rich Text Format"; false on failure.
bool putRichTextOnClipboard(core::Program& p, const std::string& rtf);
// Replaces the clipboard by a text: opens it (50 tries, 5 ms apart, while another program still
// reads it), empties it, puts the text, closes it. With `own`, ownWrite is raised for the write and
// cleared after it, so the watcher is never left deaf. False when the clipboard could not be had.
bool replaceClipboardText(core::Program& p, const std::string& text, bool own);
// Puts a device-independent bitmap on the open clipboard as CF_DIB; false on failure.
bool putBitmapOnClipboard(const std::string& dib);

}  // namespace core
