// The program's own clipboard writes. For the puts the caller opens and empties the clipboard and
// raises ownWrite, so the watcher passes the change on without capturing it; once the clipboard is
// closed, noteOwnWrite keeps its change count, so a notification of the write that another viewer
// forwards late is known as ours too.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace core {

// Puts a UTF-8 text on the open clipboard: as CF_TEXT in the ANSI code page, and as CF_UNICODETEXT
// too where that cannot hold it; false on failure.
bool putTextOnClipboard(core::Program& p, const std::string& text);
// Puts rich text on the open clipboard as "Rich Text Format"; false on failure.
bool putRichTextOnClipboard(core::Program& p, const std::string& rtf);
// Opens the clipboard, trying 50 times 5 ms apart while another program still holds it; false
// when it could not be had.
bool openClipboardPatiently();
// Notes the clipboard's change count right after one of our own writes (the clipboard closed).
void noteOwnWrite(core::Program& p);
// True when the clipboard is as our latest own write left it.
bool clipboardIsOwnWrite(core::Program& p);
// Replaces the clipboard by a text: opens it patiently, empties it, puts the text, closes it. With
// `own`, ownWrite is raised for the write and cleared after it, so the watcher is never left deaf,
// and the write is noted as ours. False when the clipboard could not be had or written.
bool replaceClipboardText(core::Program& p, const std::string& text, bool own);
// Puts a device-independent bitmap on the open clipboard as CF_DIB; false on failure.
bool putBitmapOnClipboard(const std::string& dib);

}  // namespace core
