// The clipboard watcher: membership in the viewer chain and the handling of each clipboard change.
#pragma once

#include "platform/types.h"

namespace core {
struct Program;
}

namespace capture {

// One WM_DRAWCLIPBOARD: guards, source, text or image branch, then passed on down the chain.
platform::LResult onDrawClipboard(core::Program& p, platform::WParam wParam, platform::LParam lParam);
// WM_CHANGECBCHAIN: `leaving` leaves the chain and `successor` takes its place.
platform::LResult onChangeClipboardChain(core::Program& p, platform::WParam leaving, platform::LParam successor);
// Joins the viewer chain; answers the next viewer, never this window itself.
platform::Hwnd joinChain(core::Program& p);
// Switches capture on or off; answers 0.
int toggleCapture(core::Program& p);
// Leaves and joins the viewer chain again while capture is on (off, it is out of the chain); answers 0.
int rejoinChain(core::Program& p);
// Opens the clipboard (51 tries, 5 ms apart) and answers 1 when it holds a format, else 0.
int clipboardHasFormats(core::Program& p);
// Stores the changes read but not yet stored and commits what a burst has written so far: a
// shutdown can be taken from inside the reading of a burst's next change.
void storeReadChangesAtExit(core::Program& p);

}  // namespace capture
