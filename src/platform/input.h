// Keys that Tandrel itself types into another program, and the physical keys it waits for first.
#pragma once

namespace platform {

constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_UP = 0x26;
constexpr int VK_DOWN = 0x28;

// True while the key is physically down (as the system's input state has it now).
bool keyIsDown(int virtualKey);
// True when a key press or mouse click of the user waits in the program's queue: a long piece of
// work for the previous keystroke gives way to it.
bool inputWaiting();
// Types Ctrl+V into the foreground window, each key marked with ownInputMark so that the shortcuts
// never take it for the user's. False when the system refused the keys.
bool sendPasteKeys();

}  // namespace platform
