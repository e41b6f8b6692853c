// The program's small text prompt: one line of text asked for with a question, used for the notes
// of clips and the number of a backup.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace ui {

// Asks for a line of text. `width` and `height` are the question's size (at least 128 by 20); the
// entry opens holding `defaultText` (all selected) styled with `entryFlags` (ES_* styles); an
// "Open URL" button is offered when that text starts with "http". Answers the entry's text after
// "OK", "Open URL" or Enter, and "" after "Cancel", Escape or the close box; openUrlChosen tells
// whether "Open URL" ended it.
std::string promptText(core::Program& p, int width, int height, const std::string& title, const std::string& prompt,
                       const std::string& defaultText, unsigned entryFlags);

}  // namespace ui
