// Text capture: a copied text becomes a clip of the active set.
#pragma once

namespace app {
struct Program;
}

namespace capture {

// True when the text just read repeats the previous one and must be dropped.
bool isFlood(app::Program& p);
// Reads the "Rich Text Format" data of the open clipboard; true when there was some.
bool readRichText(app::Program& p);
// Stores the text just read as a clip and lists it; nonzero when it was handled.
int captureText(app::Program& p);

}  // namespace capture
