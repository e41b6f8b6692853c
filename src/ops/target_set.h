// The Move/Duplicate target: the set that "Move To Target" and "Dup In Target" send clips to
// while it is open, shown beside the active set's label.
#pragma once

namespace core {
struct Program;
}

namespace ops {

// "Open Target Set": closes an open target; otherwise opens the set selected in the set list, or
// asks for a click on one.
void chooseTargetSet(core::Program& p);
// Opens the selected set (or targetSet) as the target; 1 when it was opened, 0 after telling why not.
int openTargetSet(core::Program& p);
void closeTargetSet(core::Program& p);
// Redraws the buttons of the set commands ("Close Target Set" while a target is open).
void refreshSetButtons(core::Program& p);

}  // namespace ops
