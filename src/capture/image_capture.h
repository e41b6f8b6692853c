// Image capture: a copied picture becomes a clip.
#pragma once

namespace core {
struct Program;
}

namespace capture {

// Reads the clipboard's CF_DIB into the image slot when it is a sound bitmap; a refused one is logged.
void readClipboardImage(core::Program& p);
// Stores the image in the slot as a clip; nonzero when the image was processed.
int captureImage(core::Program& p);

}  // namespace capture
