// Where a clip came from: the source window's title, else the name of the program that owns it,
// and the address shown by a web browser window.
#pragma once

#include <string>

#include "platform/types.h"

namespace core {
struct Program;
}

namespace capture {

// The title of `window` trimmed, or when that is blank the program's name (the file part of its
// path without ".exe"), as UTF-8; at most 256 characters. Empty when neither can be found.
std::string sourceTitleOf(platform::Hwnd window);
// The file part of the program's path with every ".exe" removed (case-sensitive); empty when the
// program cannot be found.
std::string sourceProgramName(platform::Hwnd window);
// Replaces the source title by the browser's address when the source window is the browser
// window and shows a web address; answers 1 then, else 0 (the title stays).
int lookUpBrowserAddress(core::Program& p);

}  // namespace capture
