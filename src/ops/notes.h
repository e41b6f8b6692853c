// Notes: one clip's note through the text prompt, and the sequence numbers that make the notes
// of a whole set sort and paste in list order.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace ops {

// Asks for the note of row currentRow and stores it; a note of blanks only clears it.
void editNote(core::Program& p);
// "Edit Clip 'Note'": the list's current row's note; "Open URL" in the prompt opens its source.
void editNoteCommand(core::Program& p);
// Gives every note of the list a prefix "(>)" and a number, 100 for the top row and 10 more for
// each row below, or (with view.removeSequence) takes such prefixes off. 1 done; 0 when the list
// is empty or a clip could not be read (the list is then read again from the store).
int sequenceNotes(core::Program& p);
// A note's own text as row `row` holds it: without that row's own prefix when the note starts with
// it, else without "(>)" and five digits; a note starting with "(>)" and fewer digits is kept whole.
std::string withoutSequence(const std::string& note, int row);

}  // namespace ops
