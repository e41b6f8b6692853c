// Writing text and rich text to the clipboard.
#include "core/clipboard_write.h"

#include "core/clip_text.h"
#include "core/program.h"
#include "platform/clipboard.h"
#include "platform/system.h"
#include "platform/text_encoding.h"

namespace core {

bool putTextOnClipboard(core::Program& p, const std::string& text) {
  if (p.capture.textGateFormat == 0) p.capture.textGateFormat = platform::registerClipboardFormat("CF_Text");
  if (p.capture.textGateFormat == 0) return false;
  // CF_TEXT ends at its first zero byte; what follows it could never be read back.
  const auto zero = text.find('\0');
  const std::string exact = zero == std::string::npos ? text : text.substr(0, zero);
  const std::string ansi = platform::utf8ToAnsi(exact);
  if (!platform::setClipboardBytes(platform::CF_TEXT, ansi)) return false;
  // Otherwise the system makes the wide text from the ANSI one.
  if (!exactBeside(exact, ansi).empty() && !platform::setClipboardUnicodeText(exact)) return false;
  return true;
}

bool putRichTextOnClipboard(core::Program& p, const std::string& rtf) {
  if (p.capture.richTextFormat == 0) p.capture.richTextFormat = platform::registerClipboardFormat("Rich Text Format");
  if (p.capture.richTextFormat == 0) return false;
  return platform::setClipboardBytes(p.capture.richTextFormat, rtf + '\0');
}

bool putBitmapOnClipboard(const std::string& dib) { return platform::setClipboardBytes(platform::CF_DIB, dib); }

bool openClipboardPatiently() {
  constexpr int openTries = 50;
  bool opened = platform::openClipboard(0);
  for (int tries = 1; !opened && tries < openTries; ++tries) {
    platform::sleep(5);
    opened = platform::openClipboard(0);
  }
  return opened;
}

void noteOwnWrite(core::Program& p) { p.capture.ownSequence = platform::clipboardSequenceNumber(); }

bool clipboardIsOwnWrite(core::Program& p) {
  return p.capture.ownSequence != 0 && platform::clipboardSequenceNumber() == p.capture.ownSequence;
}

bool replaceClipboardText(core::Program& p, const std::string& text, bool own) {
  if (own) p.capture.ownWrite = 1;
  const bool opened = openClipboardPatiently();
  bool written = false;
  if (opened) {
    written = platform::emptyClipboard() && putTextOnClipboard(p, text);
    platform::closeClipboard();
    if (own) noteOwnWrite(p);
  }
  if (own) p.capture.ownWrite = 0;
  return written;
}

}  // namespace core
