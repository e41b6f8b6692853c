// Text capture: whether a copied text becomes a clip (flood, repeat, hijack and race rules),
// combine mode, and the clip's row in the list.
#pragma once

#include <cstddef>
#include <string>

namespace core {
struct Program;
}

namespace capture {

// 1 when the text just read repeats the previous one and must be dropped (raising the hijack
// alert at every 30th repeat when duplicates are suppressed), else 0.
int isFlood(core::Program& p);
// Two clipboard tools feeding each other: capture goes off (with a log line) until the user
// switches it on again, and the window comes up.
void raiseRaceAlarm(core::Program& p);
// Reads the "Rich Text Format" data of the open clipboard; 1 when it was read.
int readRichText(core::Program& p);
// Handles the text just read (or fed in by the Text tab): stores it, or gathers it in combine mode.
// 1 when it was stored, 0 when it was dropped or could not be stored.
int captureText(core::Program& p);
// Renews captureTime and counts consecutive clips with the same signature.
int repeatCounter(core::Program& p);
// True (with a log line naming `what`, and "Clip Too Large" on the status line) when a text of
// `bytes` bytes is more than a clip may hold.
bool refuseOversizedText(core::Program& p, std::size_t bytes, const std::string& what);

}  // namespace capture
