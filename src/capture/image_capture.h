// Image capture: a copied picture becomes a clip.
#pragma once

namespace app {
struct Program;
}

namespace capture {

// Reads the clipboard's CF_DIB into the image slot when it is a sound bitmap; a refused one is logged.
void readClipboardImage(app::Program& p);
// Stores the image in the slot as a clip; nonzero when the image was processed.
int captureImage(app::Program& p);

}  // namespace capture
