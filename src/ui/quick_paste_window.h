// The quick paste window: a filter box, the clips that match it newest first, and a line that
// counts them or says what happened. What a choice does is in ops/quick_paste.
#pragma once

#include <cstdint>
#include <string>

namespace core {
struct Program;
}

namespace ui {

constexpr int quickPasteWindowNumber = 1200;
enum QuickPasteGadget { gadgetQuickFilter = 1201, gadgetQuickList = 1202, gadgetQuickStatus = 1203 };

// The count shown while matches are listed: exact up to this many, "1,000+" beyond.
constexpr std::size_t quickPasteListed = 1000;

// Opens the window near the mouse pointer, inside the work area of its monitor, hidden; false
// when it could not be made.
bool openQuickPasteWindow(core::Program& p);
// Brings the window in front with the focus in its filter box; false when another window stays in front.
bool showQuickPasteWindow(core::Program& p);
void closeQuickPasteWindow(core::Program& p);
// Lists p.quickPaste.keys with the first row selected, and counts them on the status line.
void showQuickMatches(core::Program& p);
void setQuickStatus(core::Program& p, const std::string& text);
// The row selected, -1 when none.
int quickSelectedRow();
// Moves the selection for a list key (Up, Down, PgUp, PgDn, Ctrl+Home, Ctrl+End).
void moveQuickSelection(core::Program& p, int virtualKey, bool ctrl);

}  // namespace ui
