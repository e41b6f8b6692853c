// The main window's controls: where each one is, what it says, its colours and tooltips.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace ui {

// Creates the main window and every control, hidden; false when the window cannot be made.
bool buildMainWindow(core::Program& p);
// Chooses wide or narrow captions by measuring "Combine Captures", and the caption widths.
void chooseButtonWidths(core::Program& p);
// The caption a button shows now (wide or narrow).
std::string buttonCaption(const core::Program& p, int gadget);
// The clip list's first column title.
std::string listTitle(const core::Program& p);
void createTooltips(core::Program& p);
void removeTooltips(core::Program& p);
// Lets the user pick the tooltips' background colour, then makes the tooltips again.
void chooseTooltipColour(core::Program& p);
// The resize rule: controls registered to grow follow the new client size, never below the first.
void resizeMainWindow(core::Program& p, int clientWidth, int clientHeight);
// The splitter bar was let go with its top at `barTop`: the list and the panel share the height anew.
void moveSplitter(core::Program& p, int barTop);

}  // namespace ui
