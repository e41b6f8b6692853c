// The keyboard over USER32: GetAsyncKeyState as it is.
#include "platform/keyboard.h"

#include "platform/win32/win32.h"

namespace platform {

std::int16_t getAsyncKeyState(int virtualKey) { return static_cast<std::int16_t>(GetAsyncKeyState(virtualKey)); }

}  // namespace platform
