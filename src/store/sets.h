// Clip sets: creating, checking, deleting and loading them, and their folders.
#pragma once

#include <string>

namespace app {
struct Program;
}

namespace store {

// Loads the active set's clips into the list (the main set when the active set has no row).
void LoadActiveSet(app::Program& p);
// Asks for a name and creates the set.
void NewSet(app::Program& p);
// Deletes the set selected in the set list, unless it is protected.
void DeleteSetCommand(app::Program& p);
void DeleteSet(app::Program& p);
// 1 when a set is selected and exists (its name becomes pickedSet), else 0 with a message.
int ValidateSelectedSet(app::Program& p);
// 1 when the set has a row, else 0 with a message.
int SetExists(app::Program& p, const std::string& name);
// Makes every set's folder and lists the sets in the set list.
void RefreshSetFolders(app::Program& p);
// The name of the set selected in the set list; empty when none is.
std::string selectedSetName(app::Program& p);

}  // namespace store
