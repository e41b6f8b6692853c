// The shortcuts served from the queued key events. T, R and H fire on their press with Ctrl and Alt
// held (H only with the left Alt: the right one is AltGr, which types characters); V with Ctrl and
// Alt toggles List Paste, and a Ctrl+V while List Paste is on steps it once V is up again.
#include "capture/shortcut_keys.h"

#include <vector>

#include "capture/list_paste.h"
#include "core/program.h"
#include "platform/keyboard.h"

namespace capture {
namespace {

bool listPasteKeysOn(const core::Program& p) {
  return p.settings.listPasteShortcut == 1 || p.capture.listPasteMode == 1;
}

// The other program pastes while Ctrl+V is down; the next clip goes on the clipboard only once V
// is up again, so it never replaces the clip being pasted. Presses served together were made while
// the program was busy and pasted the same clip each time: they step once.
void stepIfReleased(core::Program& p) {
  core::ShortcutKeys& keys = p.shortcuts;
  if (!keys.stepOnRelease || keys.vDown) return;
  keys.stepOnRelease = false;
  if (p.capture.listPasteMode == 1) listPasteStep(p);
}

void serve(core::Program& p, const platform::KeyEvent& e) {
  core::ShortcutKeys& keys = p.shortcuts;
  const bool ctrlAlt = e.ctrl && (e.leftAlt || e.rightAlt);
  if (e.virtualKey == platform::VK_V) {
    keys.vDown = e.down;
    if (!e.down || !e.ctrl || !listPasteKeysOn(p)) return;
    if (ctrlAlt) {
      stepIfReleased(p);
      p.capture.combineCount = 0;
      keys.stepOnRelease = false;
      toggleListPaste(p);
    } else if (p.capture.listPasteMode == 1) {
      keys.stepOnRelease = true;
    }
    return;
  }
  if (!e.down || !ctrlAlt) return;
  stepIfReleased(p);
  if (e.virtualKey == platform::VK_T && p.settings.topListShortcut == 1) {
    startFromTop(p);
  } else if (e.virtualKey == platform::VK_R && p.settings.reverseCaseShortcut == 1) {
    p.capture.combineCount = 0;
    reverseCaseCopy(p);
  } else if (e.virtualKey == platform::VK_H && p.settings.quickPasteShortcut == 1 && e.leftAlt && !e.rightAlt) {
    p.quickPasteAsk.asked = true;
    p.quickPasteAsk.target = e.foreground;
    p.quickPasteAsk.fromBridge = e.fromBridge;
  }
}

}  // namespace

bool shortcutsCanFire(const core::Program& p) {
  return p.settings.topListShortcut == 1 || p.settings.reverseCaseShortcut == 1 || listPasteKeysOn(p) ||
         p.settings.quickPasteShortcut == 1;
}

void serveShortcutKeys(core::Program& p) {
  if (p.databaseHandle == nullptr) return;
  const std::vector<platform::KeyEvent> events = platform::takeKeyEvents();
  for (const platform::KeyEvent& e : events) serve(p, e);
  stepIfReleased(p);
}

}  // namespace capture
