// Captions: the list shows one line per clip, padded so that short captions fill the column.
#include "ui/caption.h"

#include <cmath>

#include "core/utf8.h"

namespace ui {

std::string formatCaption(std::string caption, int fillWidth, int captionWidth) {
  while (!caption.empty() && (caption.back() == '\n' || caption.back() == '\r')) caption.pop_back();
  // Counted in characters: a caption is UTF-8.
  const std::size_t characters = core::characterCount(caption);
  float f = 1.0f;
  const auto length = static_cast<float>(characters);
  if (characters < 15) f = static_cast<float>(fillWidth) - 1.5f * length;
  if (f < 1.0f) f = 0.0f;
  const auto padded = [&caption](float blanks, int width) {
    caption.append(static_cast<std::size_t>(std::lround(blanks)), ' ');
    return core::firstCharacters(caption, static_cast<std::size_t>(width));
  };
  return characters < 30 ? padded(f + 20.0f, captionWidth + 15) : padded(f, captionWidth);
}

std::string buildCaption(const std::string& text, int fillWidth, int captionWidth) {
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) start = text.size();
  while (start < text.size() && text[start] == '\n') ++start;
  // Only the first 81 characters are looked at, so a huge clip costs no more than a short one.
  std::string head = core::firstCharacters(text.substr(start, 81 * 4), 81);
  const std::size_t n = head.size();
  const auto blanks = head.find_first_not_of(' ');
  head = blanks == std::string::npos ? "" : head.substr(blanks);
  std::string caption = head;
  for (std::size_t i = 0; i < head.size() && i < n; ++i) {
    if (static_cast<unsigned char>(head[i]) >= '!') {
      caption = head.substr(i, n - i);
      break;
    }
  }
  if (head.empty()) caption = core::firstCharacters(text.substr(start, 81 * 4), 81);  // blanks only: the whole text stands
  const auto lineFeed = caption.find('\n');
  if (lineFeed != std::string::npos) caption.resize(lineFeed);
  return formatCaption(caption, fillWidth, captionWidth);
}

}  // namespace ui
