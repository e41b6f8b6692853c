// Where a clip came from: the source program's name when its window has no title, and the address
// shown by a web browser window.
#pragma once

#include <string>

#include "platform/types.h"

namespace core {
struct Program;
}

namespace capture {

// The name of the program that owns `window` (its file name), or one blank when unknown.
std::string sourceProgramName(core::Program& p, platform::Hwnd window);
// Replaces the source title by the browser's address when the source is a web browser window.
void lookUpBrowserAddress(core::Program& p);

}  // namespace capture
