// The main window's title (the layout is in layout.h).
#pragma once

namespace ui {

// The main window's title.
extern const char* const mainWindowTitle;

}  // namespace ui
