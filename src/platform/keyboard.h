// The keyboard as the shortcuts see it: the presses and releases of their keys, as events queued by
// the system's side and taken by the main loop, with the modifiers held at each. Also the state of
// one key at the moment of asking, for the commands that look at a modifier.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/types.h"

namespace platform {

// Virtual-key codes of the shortcut keys.
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;  // Alt
constexpr int VK_R = 0x52;
constexpr int VK_T = 0x54;
constexpr int VK_V = 0x56;
constexpr int VK_H = 0x48;
constexpr int VK_LCONTROL = 0xA2;
constexpr int VK_RCONTROL = 0xA3;
constexpr int VK_LMENU = 0xA4;
constexpr int VK_RMENU = 0xA5;  // the right Alt, AltGr on many layouts

// The dwExtraInfo of the keys Tandrel itself sends: the shortcuts never see them.
constexpr std::uintptr_t ownInputMark = 0x54445256;

// A press or release of T, R, V or H, with what was held and in front when it happened.
struct KeyEvent {
  int virtualKey = 0;
  bool down = false;       // a press; a key held down and repeated gives one
  bool ctrl = false;       // either Ctrl
  bool leftAlt = false;
  bool rightAlt = false;
  Hwnd foreground = 0;     // the window in front at the event
  bool fromBridge = false; // typed in a program that only the key bridge sees (under Wine)
};

// The state of a key as Windows answers it: bit 0x8000 while it is down, bit 0x0001 when it was
// pressed since the previous query (each query takes that bit), as a signed 16-bit value, so a key
// just pressed and still down answers -32767 and one held since before the last query -32768.
// An unknown key answers 0.
std::int16_t getAsyncKeyState(int virtualKey);

// Whether the shortcut keys are watched; the event loop says so before each pass. While they are,
// a keyboard hook (and under Wine the key bridge's port) queues their events, and each queued
// event wakes the loop; while they are not, nothing is hooked or opened and nothing is queued.
void setKeysWatched(bool watched);
// The key events queued since the previous call, oldest first; empty when none.
std::vector<KeyEvent> takeKeyEvents();

// The rule every backend applies to the raw keys it sees, in their order: Tandrel's own keys are
// invisible, the modifiers are followed, a repeat of a key already down is dropped, and of the
// letters only those that can make a shortcut go on: V with Ctrl held, T, R and H with Ctrl and an
// Alt; a letter's release goes on when its press did. Pure, so the native tests run the real rule.
class KeyFilter {
 public:
  // Starts afresh with the modifiers as the system holds them now.
  void reset(bool leftCtrl, bool rightCtrl, bool leftAlt, bool rightAlt) {
    *this = KeyFilter{};
    held_ = (leftCtrl ? lctrl : 0u) | (rightCtrl ? rctrl : 0u) | (leftAlt ? lalt : 0u) | (rightAlt ? ralt : 0u);
  }
  // The event a raw key gives, nullopt when it gives none.
  std::optional<KeyEvent> onKey(int virtualKey, bool down, std::uintptr_t extraInfo) {
    if (extraInfo == ownInputMark) return std::nullopt;
    if (const unsigned modifier = modifierBit(virtualKey)) {
      held_ = down ? held_ | modifier : held_ & ~modifier;
      return std::nullopt;
    }
    const unsigned letter = letterBit(virtualKey);
    if (letter == 0) return std::nullopt;
    if (down) {
      if ((down_ & letter) != 0) return std::nullopt;
      down_ |= letter;
      const bool ctrl = (held_ & (lctrl | rctrl)) != 0, alt = (held_ & (lalt | ralt)) != 0;
      if (!ctrl || (virtualKey != VK_V && !alt)) return std::nullopt;
      passed_ |= letter;
    } else {
      down_ &= ~letter;
      if ((passed_ & letter) == 0) return std::nullopt;
      passed_ &= ~letter;
    }
    KeyEvent event;
    event.virtualKey = virtualKey;
    event.down = down;
    event.ctrl = (held_ & (lctrl | rctrl)) != 0;
    event.leftAlt = (held_ & lalt) != 0;
    event.rightAlt = (held_ & ralt) != 0;
    return event;
  }

 private:
  static constexpr unsigned lctrl = 1, rctrl = 2, lalt = 4, ralt = 8;
  // The generic codes come from programs that type keys themselves; they count as the left keys.
  static unsigned modifierBit(int virtualKey) {
    switch (virtualKey) {
      case VK_CONTROL: case VK_LCONTROL: return lctrl;
      case VK_RCONTROL: return rctrl;
      case VK_MENU: case VK_LMENU: return lalt;
      case VK_RMENU: return ralt;
      default: return 0;
    }
  }
  static unsigned letterBit(int virtualKey) {
    switch (virtualKey) {
      case VK_T: return 1;
      case VK_R: return 2;
      case VK_V: return 4;
      case VK_H: return 8;
      default: return 0;
    }
  }
  unsigned held_ = 0;    // modifiers down
  unsigned down_ = 0;    // letters down
  unsigned passed_ = 0;  // letters whose press went on
};

}  // namespace platform
