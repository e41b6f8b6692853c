// Captions: the list shows one line per clip, padded so that short captions fill the column.
#include "ui/caption.h"

#include <cmath>

namespace ui {

std::string formatCaption(std::string caption, int fillWidth, int captionWidth) {
  while (!caption.empty() && (caption.back() == '\n' || caption.back() == '\r')) caption.pop_back();
  float f = 1.0f;
  const auto length = static_cast<float>(caption.size());
  if (caption.size() < 15) f = static_cast<float>(fillWidth) - 1.5f * length;
  if (f < 1.0f) f = 0.0f;
  if (caption.size() < 30) {
    caption.append(static_cast<std::size_t>(std::lround(f + 20.0f)), ' ');
    if (caption.size() > static_cast<std::size_t>(captionWidth + 15)) caption.resize(static_cast<std::size_t>(captionWidth + 15));
  } else {
    caption.append(static_cast<std::size_t>(std::lround(f)), ' ');
    if (caption.size() > static_cast<std::size_t>(captionWidth)) caption.resize(static_cast<std::size_t>(captionWidth));
  }
  return caption;
}

std::string buildCaption(const std::string& text, int fillWidth, int captionWidth) {
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) start = text.size();
  while (start < text.size() && text[start] == '\n') ++start;
  // Only the first 81 characters are looked at, so a huge clip costs no more than a short one.
  std::string head = text.substr(start, 81);
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
  if (head.empty()) caption = text.substr(start, 81);  // blanks only: the whole text stands
  const auto lineFeed = caption.find('\n');
  if (lineFeed != std::string::npos) caption.resize(lineFeed);
  return formatCaption(caption, fillWidth, captionWidth);
}

}  // namespace ui
