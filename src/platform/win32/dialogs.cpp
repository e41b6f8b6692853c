// Message boxes over USER32.
#include "platform/dialogs.h"

#include "platform/win32/win32.h"

namespace platform {
using namespace win32;

int messageBox(Hwnd owner, const std::string& text, const std::string& title, unsigned style) {
  return MessageBoxA(toHwnd(owner), text.c_str(), title.c_str(), style);
}

}  // namespace platform
