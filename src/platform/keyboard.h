// The keyboard as the shortcut poll sees it: the state of one key at the moment of asking.
#pragma once

#include <cstdint>

namespace platform {

// Virtual-key codes of the shortcut keys.
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;  // Alt
constexpr int VK_R = 0x52;
constexpr int VK_T = 0x54;
constexpr int VK_V = 0x56;
constexpr int VK_H = 0x48;

// The dwExtraInfo of the keys Tandrel itself sends: the shortcuts never see them.
constexpr std::uintptr_t ownInputMark = 0x54445256;

// The state of a key as Windows answers it: bit 0x8000 while it is down, bit 0x0001 when it was
// pressed since the previous query (each query takes that bit), as a signed 16-bit value, so a key
// just pressed and still down answers -32767 and one held since before the last query -32768.
// An unknown key answers 0.
std::int16_t getAsyncKeyState(int virtualKey);

// Whether the shortcut poll watches the keys; the event loop says so before each pass. Under Wine
// the key bridge's port is open only while they are watched, so that otherwise its datagrams wake
// nothing; elsewhere it changes nothing.
void setKeysWatched(bool watched);

}  // namespace platform
