// Choosing the active set from the Clip Sets tab.
#pragma once

namespace core {
struct Program;
}

namespace ops {

// "Change Active Set": opens the selected set, or asks for a click on one.
void chooseActiveSet(core::Program& p);
// Makes pickedSet (or the selected set) the active set and lists its clips.
void openActiveSet(core::Program& p);
// Clears the check marks of the set list.
void uncheckSetRows(core::Program& p);

}  // namespace ops
