// Clips the commands make themselves (the text cut out of a clip, the combined text of several):
// stored as they are, past the repeat rules of capture and whatever combine mode is gathering.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace capture {

// Stores `text` as a new clip of the active set, dated now, with no rich text, and lists it in the
// top row (selected). The Text tab is left as it is. 1 stored; 0 when the write failed (the row is
// not added; the store told the user of the reason).
int storeCommandClip(core::Program& p, const std::string& text, const std::string& source, const std::string& note);

}  // namespace capture
