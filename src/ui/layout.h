// The main window's controls: where each one is, what it says, its colours and tooltips.
#pragma once

#include <string>

namespace app {
struct Program;
}

namespace ui {

// Creates the main window and every control, hidden; false when the window cannot be made.
bool buildMainWindow(app::Program& p);
// Chooses wide or narrow captions by measuring "Combine Captures", and the caption widths.
void chooseButtonWidths(app::Program& p);
// The caption a button shows now (wide or narrow).
std::string buttonCaption(const app::Program& p, int gadget);
// The clip list's first column title.
std::string listTitle(const app::Program& p);
void createTooltips(app::Program& p);
void removeTooltips(app::Program& p);
// Lets the user pick the tooltips' background colour, then makes the tooltips again.
void chooseTooltipColour(app::Program& p);
// The resize rule: controls registered to grow follow the new client size, never below the first.
void resizeMainWindow(app::Program& p, int clientWidth, int clientHeight);
// The splitter bar was let go with its top at `barTop`: the list and the panel share the height anew.
void moveSplitter(app::Program& p, int barTop);

}  // namespace ui
