// Reading a picture from the clipboard.
#include "capture/image_capture.h"

#include "core/dib.h"
#include "core/log.h"
#include "core/program.h"
#include "platform/clipboard.h"

namespace capture {

void readClipboardImage(core::Program& p) {
  p.capture.dibBytes.clear();
  if (!platform::openClipboard(0)) return;
  auto bytes = platform::getClipboardBytes(platform::CF_DIB);
  platform::closeClipboard();
  if (!bytes) return;
  const core::DibInfo info = core::inspectDib(*bytes);
  if (!info.ok) {
    core::writeLog(p, p.captureTime + " Clipboard image refused: " + info.refusal);
    return;
  }
  p.capture.dibBytes = std::move(*bytes);
}

int captureImage(core::Program& p) {
  // Encoding and storing pictures comes with the image clips; the checked bitmap is let go here.
  core::writeLog(p, p.captureTime + " Image clips are not stored by this release");
  p.capture.dibBytes.clear();
  return 0;
}

}  // namespace capture
