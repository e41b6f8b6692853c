// Image capture: a copied picture becomes a clip, and the Image tab shows it.
#pragma once

namespace core {
struct Program;
}

namespace capture {

// Reads the clipboard's CF_DIB into the image slot when it is a sound bitmap; a refused one is logged.
void readClipboardImage(core::Program& p);
// Stores the picture in the slot as a clip (when pictures are kept) and shows it; nonzero when the
// picture was processed, 0 when it was dropped or failed (with a log line).
int captureImage(core::Program& p);
// The same for the picture the Image tab shows, added by the user: a failure is told.
int captureShownImage(core::Program& p);

}  // namespace capture
