// The options dialog: the settings that have check boxes. A click stores its box at once; OK
// saves the settings file and hands the main window back, which stays disabled meanwhile.
#pragma once

#include "platform/window.h"

namespace core {
struct Program;
}

namespace ui {

enum OptionsGadget {
  optionStartWithWindows = 1004,
  optionMinimized = 1005,
  optionSuppressDuplicates = 1006,
  optionSaveImages = 1007,
  optionUsePng = 1008,
  optionSaveRichText = 1009,
  optionTooltips = 1010,
  optionListPaste = 1011,
  optionTopList = 1012,
  optionReverseCase = 1013,
  optionSound = 1014,
  optionSkipPrivate = 1015,
  optionQuickPaste = 1016,
  optionOk = 1025,
};

inline constexpr const char* optionsTitle = "Tandrel Options";

// Opens the dialog from the current settings and disables the main window; when it is open
// already, brings it forward instead.
void openOptionsDialog(core::Program& p);
// An event of the dialog's window: its boxes and OK answer, anything else (its close box) is ignored.
void handleOptionsEvent(core::Program& p, const platform::WindowEvent& event);

}  // namespace ui
