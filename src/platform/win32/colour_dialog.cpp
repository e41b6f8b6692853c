// The standard colour dialog.
#include "platform/dialogs.h"
#include "platform/win32/win32.h"

#include <commdlg.h>

namespace platform {

std::optional<Colour> chooseColour(Hwnd owner, Colour initial, const Colour (&custom)[16]) {
  COLORREF customColours[16];
  for (int i = 0; i < 16; ++i) customColours[i] = custom[i];
  CHOOSECOLORA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = win32::toHwnd(owner);
  dialog.rgbResult = initial;
  dialog.lpCustColors = customColours;
  dialog.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
  if (!ChooseColorA(&dialog)) return std::nullopt;
  return static_cast<Colour>(dialog.rgbResult);
}

}  // namespace platform
