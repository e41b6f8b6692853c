// Source identification.
#include "capture/source.h"

#include "core/program.h"
#include "platform/window.h"

namespace capture {

std::string sourceProgramName(core::Program&, platform::Hwnd window) {
  std::string path = platform::windowProgramPath(window);
  const auto slash = path.find_last_of("\\/");
  if (slash != std::string::npos) path = path.substr(slash + 1);
  return path.empty() ? " " : path;
}

void lookUpBrowserAddress(core::Program&) {
  // Browser windows are recognised by a later release of the source rules; until then the
  // window's title stands as the source.
}

}  // namespace capture
