// Moving, duplicating, trashing and combining the clips selected in the clip list.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace ops {

// The modes of transferSelectedClips (view.transferMode).
enum TransferMode { transferDuplicate = 0, transferMove = 1, transferTrash = 2, transferCombine = 3 };

// Transfers the selected rows by view.transferMode: duplicates or moves them into `destination`
// (which must be a set other than the active one), moves them to the trash (deletes them when the
// trash is the active set), or combines their texts top-down into a new clip "Tandrel Combined".
void transferSelectedClips(core::Program& p, const std::string& destination);
// Applies the marks of a move or trash transfer to the in-memory list and lists what is left.
void finishMoves(core::Program& p);
// "Combine Selected" and "Move To Trash" (each first asks for a selection).
void combineSelectedClips(core::Program& p);
void trashSelectedClips(core::Program& p);
// Where "Move To Target"/"Dup In Target" send clips while a target is open: the open target.
std::string openTargetDestination(const core::Program& p);
// Rows of the clip list dropped on the set list: moved there, or duplicated with Ctrl held.
void dropOnSetList(core::Program& p);
// Runs while rows are dragged: a list under the pointer near its top or bottom scrolls by a row.
void dragAutoScroll(core::Program& p);

}  // namespace ops
