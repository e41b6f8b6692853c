// Storing a copied text as a clip.
#include "capture/text_capture.h"

#include "app/log.h"
#include "app/program.h"
#include "platform/clipboard.h"
#include "store/clip_store.h"
#include "ui/status.h"

namespace capture {

bool isFlood(app::Program& p) {
  app::CaptureState& c = p.capture;
  if (p.settings.suppressDuplicates != "Y" || !c.hasLastText) return false;
  return c.clipText == c.lastText;
}

bool readRichText(app::Program& p) {
  app::CaptureState& c = p.capture;
  const unsigned format = platform::registerClipboardFormat("Rich Text Format");
  if (format == 0 || !platform::isClipboardFormatAvailable(format)) return false;
  auto bytes = platform::getClipboardBytes(format);
  if (!bytes || bytes->empty()) return false;
  // The rich text ends at its terminating zero like any clipboard text.
  const auto zero = bytes->find('\0');
  if (zero != std::string::npos) bytes->resize(zero);
  c.richText = std::move(*bytes);
  c.richTextFlag = 1;
  c.richTextRead = 1;
  return true;
}

int captureText(app::Program& p) {
  app::CaptureState& c = p.capture;
  c.lastText = c.clipText;
  c.hasLastText = true;
  app::ClipRecord& r = p.clip;
  r = app::ClipRecord{};
  r.cDate = p.captureTime;
  r.cSet = p.settings.activeSetName;
  r.cSource = c.sourceTitle;
  r.cText = c.clipText;
  r.cRTF = c.richText;
  if (store::WriteClipDB(p) == 0) return 0;
  store::appendClipRow(p, p.lastKey);
  ui::showActiveSetStatus(p);
  return 1;
}

}  // namespace capture
