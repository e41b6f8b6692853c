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

namespace {

// The ANSI form of the UTF-8 text, and beside it what that form cannot hold.
void setBoth(std::string& ansi, std::string& exact, const std::string& utf8) {
  ansi = platform::utf8ToAnsi(utf8);
  exact = exactBeside(utf8, ansi);
}

}  // namespace

std::string clipText(const ClipRecord& r) { return exactOf(r.cText, r.exactText); }
std::string clipSource(const ClipRecord& r) { return exactOf(r.cSource, r.exactSource); }

void setClipText(ClipRecord& r, const std::string& utf8) { setBoth(r.cText, r.exactText, utf8); }
void setClipSource(ClipRecord& r, const std::string& utf8) { setBoth(r.cSource, r.exactSource, utf8); }

std::string rowText(const ClipRow& row) { return exactOf(row.preview, row.exactPreview); }
std::string rowSource(const ClipRow& row) { return exactOf(row.source, row.exactSource); }

void setRowText(ClipRow& row, const std::string& utf8) { setBoth(row.preview, row.exactPreview, utf8); }
void setRowSource(ClipRow& row, const std::string& utf8) { setBoth(row.source, row.exactSource, utf8); }

}  // namespace core
