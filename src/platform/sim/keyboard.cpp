// The simulated keyboard: a table of keys that tests press and release, read as Windows answers
// GetAsyncKeyState.
#include "platform/keyboard.h"

#include "platform/sim/desktop.h"

namespace sim {

void Desktop::pressKey(int virtualKey) {
  KeyState& key = keys[virtualKey];
  if (!key.down) key.pressed = true;  // holding a key down is one press
  key.down = true;
}

void Desktop::releaseKey(int virtualKey) { keys[virtualKey].down = false; }

void Desktop::tapKey(int virtualKey) {
  pressKey(virtualKey);
  releaseKey(virtualKey);
}

}  // namespace sim

namespace platform {

void setKeysWatched(bool watched) { sim::desktop().keysWatched = watched; }

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
