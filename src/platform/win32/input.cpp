// The keys Tandrel types itself: the paste of the quick paste window.
#include "platform/input.h"

#include "platform/keyboard.h"
#include "platform/win32/win32.h"

namespace platform {

bool keyIsDown(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

bool inputWaiting() { return HIWORD(GetQueueStatus(QS_KEY | QS_MOUSEBUTTON)) != 0; }

bool sendPasteKeys() {
  INPUT keys[4] = {};
  const WORD order[4] = {VK_CONTROL, 'V', 'V', VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = order[i];
    keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    keys[i].ki.dwExtraInfo = static_cast<ULONG_PTR>(ownInputMark);
  }
  return SendInput(4, keys, sizeof(INPUT)) == 4;
}

}  // namespace platform
