// The one-line caption of a clip in the clip list.
#pragma once

#include <string>

namespace ui {

// The caption of a UTF-8 text: its first non-empty line, from within its first 81 characters,
// formatted.
std::string buildCaption(const std::string& text, int fillWidth, int captionWidth);
// Pads a caption with blanks and cuts it to the list's column.
std::string formatCaption(std::string caption, int fillWidth, int captionWidth);

}  // namespace ui
