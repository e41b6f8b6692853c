// The quick paste window's commands: opening it for the chord or a menu entry, filtering every
// clip as the user types, and putting the chosen clip on the clipboard and into the window that
// was in front.
#pragma once

namespace core {
struct Program;
}
namespace platform {
struct WindowEvent;
}

namespace ops {

// Opens the window for the request in p.quickPasteAsk, if one is up, and takes it down.
void serveQuickPasteAsk(core::Program& p);
// Opens the window from a menu entry: no program was in front, so a choice is only copied.
void openQuickPasteFromMenu(core::Program& p);
void handleQuickPasteEvent(core::Program& p, const platform::WindowEvent& event);
void closeQuickPaste(core::Program& p);

}  // namespace ops
