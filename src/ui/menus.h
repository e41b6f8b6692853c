// The menu bar and the popup menus of the main window, built from the program's state.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace ui {

// The menu bar; rebuilt only when an entry that depends on the state would change.
void buildMainMenu(core::Program& p);
// Up, Down and Delete typed in the main window (or one of its controls) as commands.
void setWindowKeys(core::Program& p);
// The clip list's popup, for the clip the list points at.
void buildClipPopup(core::Program& p);
// The Clip Sets popup.
void buildSetPopup(core::Program& p);
// The Image tab's popup.
void buildImagePopup(core::Program& p);
// The caption of the capture entry (560) for the capture state.
const char* captureCaption(const core::Program& p);
// The current row's note, or its source when it has no note: what "Open Clip Source" opens.
std::string currentRowAddress(core::Program& p);  // UTF-8

}  // namespace ui
