// The guards commands run before they act on the selected clip. Each shows why it stopped.
#pragma once

namespace core {
struct Program;
}

namespace ui {

// The list holds a clip; otherwise "Empty Set" in blue on the list colour.
bool requireClips(core::Program& p);
// The list holds a clip, the current clip is text and List Paste is off; otherwise "Action Failed".
bool requireTextClip(core::Program& p);
// The list holds a clip and the current clip is an image; otherwise "Action Failed".
bool requireImageClip(core::Program& p);
// Some row of the clip list is selected; otherwise a message box says so.
bool requireSelection(core::Program& p);
// The current clip is an image (false for an empty list).
bool currentClipIsImage(core::Program& p);

}  // namespace ui
