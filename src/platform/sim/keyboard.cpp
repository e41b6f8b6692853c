// The simulated keyboard: a table of keys that tests press and release, read as Windows answers
// GetAsyncKeyState, and while the program watches the keys, the events the real hook's filter
// makes of them.
#include "platform/keyboard.h"

#include "platform/sim/desktop.h"

namespace sim {

namespace {
void hookSees(Desktop& d, int virtualKey, bool down, std::uintptr_t extraInfo) {
  if (!d.keysWatched) return;
  if (auto event = d.keyFilter.onKey(virtualKey, down, extraInfo)) {
    event->foreground = d.foreground;
    d.keyEvents.push_back(*event);
  }
}
}  // namespace

void Desktop::pressKey(int virtualKey, std::uintptr_t extraInfo) {
  KeyState& key = keys[virtualKey];
  if (!key.down) key.pressed = true;  // holding a key down is one press
  key.down = true;
  hookSees(*this, virtualKey, true, extraInfo);
}

void Desktop::releaseKey(int virtualKey, std::uintptr_t extraInfo) {
  keys[virtualKey].down = false;
  hookSees(*this, virtualKey, false, extraInfo);
}

void Desktop::tapKey(int virtualKey) {
  pressKey(virtualKey);
  releaseKey(virtualKey);
}

}  // namespace sim

namespace platform {

void setKeysWatched(bool watched) {
  sim::Desktop& d = sim::desktop();
  if (watched && !d.keysWatched) {
    const auto down = [&d](int key) { return d.keys.count(key) != 0 && d.keys[key].down; };
    d.keyFilter.reset(down(VK_CONTROL) || down(VK_LCONTROL), down(VK_RCONTROL), down(VK_MENU) || down(VK_LMENU),
                      down(VK_RMENU));
  }
  if (!watched) d.keyEvents.clear();
  d.keysWatched = watched;
}

std::vector<KeyEvent> takeKeyEvents() {
  std::vector<KeyEvent> taken;
  taken.swap(sim::desktop().keyEvents);
  return taken;
}

std::int16_t getAsyncKeyState(int virtualKey) {
  auto& keys = sim::desktop().keys;
  const auto found = keys.find(virtualKey);
  if (found == keys.end()) return 0;
  sim::Desktop::KeyState& key = found->second;
  const int answer = (key.down ? 0x8000 : 0) | (key.pressed ? 1 : 0);
  key.pressed = false;
  return static_cast<std::int16_t>(answer);
}

}  // namespace platform
