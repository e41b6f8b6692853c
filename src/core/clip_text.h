// A clip's text and source in the one form the logic uses, UTF-8. The record keeps them as the file
// does: cText and cSource in the ANSI code page, and the exact form beside them where that cannot
// hold it.
#pragma once

#include <string>

namespace core {

struct ClipRecord;
struct ClipRow;

// The exact text of ANSI bytes and the exact form kept beside them (empty when they hold it).
std::string exactOf(const std::string& ansi, const std::string& exact);
// The exact form to keep beside `ansi` for the UTF-8 text: empty when the ANSI bytes give it back.
std::string exactBeside(const std::string& utf8, const std::string& ansi);

std::string clipText(const ClipRecord& r);
std::string clipSource(const ClipRecord& r);
// Sets the text from UTF-8: cText gets its ANSI form, exactText what that cannot hold.
void setClipText(ClipRecord& r, const std::string& utf8);
void setClipSource(ClipRecord& r, const std::string& utf8);

// A listed clip's preview and source as UTF-8, and setting them from UTF-8.
std::string rowText(const ClipRow& row);
std::string rowSource(const ClipRow& row);
void setRowText(ClipRow& row, const std::string& utf8);
void setRowSource(ClipRow& row, const std::string& utf8);

}  // namespace core
