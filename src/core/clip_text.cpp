#include "core/clip_text.h"

#include "core/program.h"
#include "platform/text_encoding.h"

namespace core {

std::string exactOf(const std::string& ansi, const std::string& exact) {
  return exact.empty() ? platform::ansiToUtf8(ansi) : exact;
}

std::string exactBeside(const std::string& utf8, const std::string& ansi) {
  return platform::ansiToUtf8(ansi) == utf8 ? std::string() : utf8;
}

std::string clipText(const ClipRecord& r) { return exactOf(r.cText, r.exactText); }
std::string clipSource(const ClipRecord& r) { return exactOf(r.cSource, r.exactSource); }

void setClipText(ClipRecord& r, const std::string& utf8) {
  r.cText = platform::utf8ToAnsi(utf8);
  r.exactText = exactBeside(utf8, r.cText);
}

void setClipSource(ClipRecord& r, const std::string& utf8) {
  r.cSource = platform::utf8ToAnsi(utf8);
  r.exactSource = exactBeside(utf8, r.cSource);
}

std::string rowText(const ClipRow& row) { return exactOf(row.preview, row.exactPreview); }
std::string rowSource(const ClipRow& row) { return exactOf(row.source, row.exactSource); }

void setRowText(ClipRow& row, const std::string& utf8) {
  row.preview = platform::utf8ToAnsi(utf8);
  row.exactPreview = exactBeside(utf8, row.preview);
}

void setRowSource(ClipRow& row, const std::string& utf8) {
  row.source = platform::utf8ToAnsi(utf8);
  row.exactSource = exactBeside(utf8, row.source);
}

}  // namespace core
