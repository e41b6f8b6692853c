// The private marks on the clipboard, looked at before any of the clip's data is read.
#include "capture/private_data.h"

#include <cstring>
#include <optional>
#include <string>

#include "core/program.h"
#include "platform/clipboard.h"

namespace capture {
namespace {

// Marks whose presence alone makes a change private.
const char* const presenceMarks[] = {"Clipboard Viewer Ignore", "ExcludeClipboardContentFromMonitorProcessing"};

// Marks that make a change private by their value.
struct ValueMark {
  const char* name;
  bool (*isPrivate)(const std::string& bytes);
};

bool zeroDword(const std::string& bytes) { return bytes.size() >= 4 && std::memcmp(bytes.data(), "\0\0\0\0", 4) == 0; }

// X11 targets carry no terminating zero; Wine may add one.
bool secretHint(const std::string& bytes) { return bytes.compare(0, 6, "secret") == 0 && bytes.find_first_not_of('\0', 6) == std::string::npos; }

const ValueMark valueMarks[] = {
    {"CanIncludeInClipboardHistory", zeroDword},
    {"CanUploadToCloudClipboard", zeroDword},
    {"x-kde-passwordManagerHint", secretHint},
};

unsigned formatNumber(core::Program& p, const std::string& name) {
  unsigned& number = p.capture.privateFormats[name];
  // Registration may fail once; it is tried again on the next change.
  if (number == 0) number = platform::registerClipboardFormat(name);
  return number;
}

}  // namespace

bool isMarkedPrivate(core::Program& p) {
  for (const char* name : presenceMarks) {
    const unsigned format = formatNumber(p, name);
    if (format != 0 && platform::isClipboardFormatAvailable(format)) return true;
  }
  bool opened = false;
  bool marked = false;
  for (const ValueMark& mark : valueMarks) {
    const unsigned format = formatNumber(p, mark.name);
    if (format == 0 || !platform::isClipboardFormatAvailable(format)) continue;
    if (!opened && !(opened = platform::openClipboard(0))) return true;
    const std::optional<std::string> bytes = platform::getClipboardBytes(format);
    if (!bytes || mark.isPrivate(*bytes)) {
      marked = true;
      break;
    }
  }
  if (opened) platform::closeClipboard();
  return marked;
}

}  // namespace capture
