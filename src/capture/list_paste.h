// List Paste: the clips of the list pasted one after another into any program, each Ctrl+V
// followed by the next text row's clip on the clipboard; and the copy of the top clip with its
// letter case reversed.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace capture {

// Switches List Paste on (when the list is ready for it, else "Action Failed") or off, with capture
// the other way round; answers 0.
int toggleListPaste(core::Program& p);
// Puts the clip of the next text row after the selected one (wrapping, pictures skipped) on the
// clipboard and selects that row; 1 when it did. Nothing moves when the clipboard cannot be had.
int listPasteStep(core::Program& p);
// List Paste on, from the first text row of the list.
void startFromTop(core::Program& p);
// Copies the top clip's text with its letter case reversed, as another program's copy would be.
void reverseCaseCopy(core::Program& p);

// A-Z to lower case and a-z to upper case; every other byte stays.
std::string reverseCase(std::string text);

}  // namespace capture
