// The set commands and the flows that ask, tell and redraw around the set table.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace ops {

// Opens the clip store at start-up: tables and standard sets, the welcome clip on a fresh
// start, the set list and the active set's clips. Without `insertActiveSet` the active set is
// looked up only, and the main set loaded when it has no row (a file that replaced the one before).
void InitClipStore(core::Program& p, bool insertActiveSet = true);
// Loads the active set's clips into the list (the main set when the active set has no row).
void LoadActiveSet(core::Program& p);
// Makes every set's folder and lists the sets in the set list.
void RefreshSetFolders(core::Program& p);
// Asks for a name and creates the set.
void NewSet(core::Program& p);
// Deletes the set selected in the set list, unless it is protected.
void DeleteSetCommand(core::Program& p);
void DeleteSet(core::Program& p);
// 1 when a set is selected and exists (its name becomes pickedSet), else 0 with a message.
int ValidateSelectedSet(core::Program& p);
// The name of the set selected in the set list; empty when none is.
std::string selectedSetName(core::Program& p);

}  // namespace ops
