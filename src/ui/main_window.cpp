// The main window's title.
#include "ui/main_window.h"

namespace ui {

const char* const mainWindowTitle = "Tandrel\x99 Clipboard Assistant";

}  // namespace ui
