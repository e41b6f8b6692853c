// The shortcut poll. A modifier is held while bit 0x8000 of its state is set. A trigger key fires
// when it is down now and was pressed since the previous query, or was seen up at the previous
// poll: another program polling the same key may have taken the pressed-since bit.
#include "capture/shortcut_keys.h"

#include <cstdint>

#include "capture/list_paste.h"
#include "core/program.h"
#include "platform/keyboard.h"

namespace capture {
namespace {

bool isDown(std::int16_t state) { return (static_cast<std::uint16_t>(state) & 0x8000u) != 0; }

bool listPasteKeysOn(const core::Program& p) {
  return p.settings.listPasteShortcut == 1 || p.capture.listPasteMode == 1;
}

void watchKey(core::ShortcutKeys::Key& key, int virtualKey, bool canFire) {
  if (!canFire) {
    key.watched = false;
    return;
  }
  if (key.watched) return;
  key.wasUp = !isDown(platform::getAsyncKeyState(virtualKey));
  key.watched = true;
}

struct KeyRead {
  bool down = false;
  bool fired = false;
};

KeyRead readKey(core::ShortcutKeys::Key& key, int virtualKey) {
  const std::int16_t state = platform::getAsyncKeyState(virtualKey);
  KeyRead read;
  read.down = isDown(state);
  read.fired = read.down && ((state & 1) != 0 || key.wasUp);
  key.wasUp = !read.down;
  return read;
}

bool held(int virtualKey) { return isDown(platform::getAsyncKeyState(virtualKey)); }

}  // namespace

bool shortcutsCanFire(const core::Program& p) {
  return p.settings.topListShortcut == 1 || p.settings.reverseCaseShortcut == 1 || listPasteKeysOn(p);
}

void watchShortcutKeys(core::Program& p) {
  core::ShortcutKeys& keys = p.shortcuts;
  watchKey(keys.t, platform::VK_T, p.settings.topListShortcut == 1);
  watchKey(keys.r, platform::VK_R, p.settings.reverseCaseShortcut == 1);
  watchKey(keys.v, platform::VK_V, listPasteKeysOn(p));
  if (!keys.v.watched) keys.stepOnRelease = false;
}

void pollShortcuts(core::Program& p) {
  watchShortcutKeys(p);
  if (!shortcutsCanFire(p)) return;
  core::ShortcutKeys& keys = p.shortcuts;
  // The modifiers are read only once a trigger fired: most polls then cost one read per key.
  const auto ctrlAlt = [] { return held(platform::VK_CONTROL) && held(platform::VK_MENU); };

  if (keys.t.watched && readKey(keys.t, platform::VK_T).fired && ctrlAlt()) startFromTop(p);
  if (keys.r.watched && readKey(keys.r, platform::VK_R).fired && ctrlAlt()) {
    p.capture.combineCount = 0;
    reverseCaseCopy(p);
  }
  if (!keys.v.watched) return;
  const KeyRead v = readKey(keys.v, platform::VK_V);
  // The other program pastes while Ctrl+V is down; the next clip goes on the clipboard only once
  // V is up again, so it never replaces the clip being pasted.
  if (keys.stepOnRelease && !v.down) {
    keys.stepOnRelease = false;
    if (p.capture.listPasteMode == 1) listPasteStep(p);
  }
  if (!v.fired || !held(platform::VK_CONTROL)) return;
  if (held(platform::VK_MENU)) {
    p.capture.combineCount = 0;
    keys.stepOnRelease = false;
    toggleListPaste(p);
  } else if (p.capture.listPasteMode == 1) {
    keys.stepOnRelease = true;
  }
}

}  // namespace capture
