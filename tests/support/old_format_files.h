// Files of the previous generation's format, made by the tests from the layout of a record:
// 437 bytes, fields at fixed 1-based positions, blank-padded.
#pragma once

#include <cstdio>
#include <string>

namespace testing_support {

struct OldClip {
  std::string source;
  std::string date = "2009-03-14 15:09:26";  // 19 characters: one blank
  int blob = 0;          // below 0: a blank number field
  std::string text;      // the index file's first 250 characters
  char type = 'T';
  std::string caption = "caption";
};

// Puts `text` at 1-based `position`, cut to `length`.
inline void putField(std::string& record, std::size_t position, std::size_t length, const std::string& text) {
  record.replace(position - 1, std::min(length, text.size()), text.substr(0, length));
}

inline std::string oldRecord(const OldClip& clip) {
  std::string record(437, ' ');
  putField(record, 1, 4, "0001");
  putField(record, 5, 64, clip.caption);
  putField(record, 69, 56, clip.source);
  putField(record, 125, 19, clip.date);
  putField(record, 160, 1, "N");
  putField(record, 161, 6, "000007");
  if (clip.blob >= 0) {
    char number[8];
    std::snprintf(number, sizeof number, "%06d", clip.blob);
    putField(record, 167, 6, number);
  }
  putField(record, 173, 12, "000000000042");
  putField(record, 185, 250, clip.text);
  record[434] = clip.type;
  return record;
}

}  // namespace testing_support
