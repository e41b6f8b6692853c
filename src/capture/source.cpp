// Source identification. Every lookup that fails leaves the title (or an empty program name) as
// the source; nothing is reported.
#include "capture/source.h"

#include "core/program.h"
#include "core/text.h"
#include "core/utf8.h"
#include "platform/text_encoding.h"
#include "platform/window.h"

namespace capture {
namespace {

constexpr std::size_t sourceLimit = 256;
constexpr int addressLimit = 500;
constexpr int classLimit = 50;
// A hung browser must not hold up the viewer chain behind us.
constexpr unsigned addressTimeoutMs = 500;

std::string removeAll(std::string text, const std::string& part) {
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at)) text.erase(at, part.size());
  return text;
}

bool beginsWithAddress(const std::string& text) {
  return text.compare(0, 7, "http://") == 0 || text.compare(0, 7, "https:/") == 0;
}

}  // namespace

std::string sourceProgramName(platform::Hwnd window) {
  std::string path = core::trimBlanks(platform::windowProgramPath(window));
  const auto slash = path.find_last_of("\\/");
  if (slash != std::string::npos) path = path.substr(slash + 1);
  return platform::ansiToUtf8(removeAll(path, ".exe"));
}

std::string sourceTitleOf(platform::Hwnd window) {
  std::string source = core::trimBlanks(platform::getWindowTextExact(window, 256));
  if (source.empty()) source = sourceProgramName(window);
  return core::firstCharacters(source, sourceLimit);
}

int lookUpBrowserAddress(core::Program& p) {
  core::CaptureState& c = p.capture;
  const platform::Hwnd browser = platform::findWindow("IEFrame");
  if (browser == 0 || browser != c.sourceWindow) return 0;
  // Cleared for every lookup: an address read for an earlier clip never becomes this one's source.
  std::string address;
  for (platform::Hwnd child : platform::childWindows(browser)) {
    if (platform::getClassName(child, classLimit) != "Edit") continue;
    address = platform::controlText(child, addressLimit, addressTimeoutMs).value_or("");
    if (beginsWithAddress(address)) break;
  }
  if (!beginsWithAddress(address)) return 0;
  c.sourceTitle = platform::ansiToUtf8(address.substr(0, sourceLimit));
  return 1;
}

}  // namespace capture
