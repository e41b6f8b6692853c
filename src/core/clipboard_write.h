// The program's own clipboard writes. The caller opens and empties the clipboard and raises
// ownWrite, so the watcher passes the change on without capturing it.
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
// Puts a device-independent bitmap on the open clipboard as CF_DIB; false on failure.
bool putBitmapOnClipboard(const std::string& dib);

}  // namespace core
