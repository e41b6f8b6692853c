// The text prompt: one line of text asked for in a small window that stays in front until it is
// answered. Notes and backups ask through it.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace ui {

// Asks for a text under `prompt` in a window titled `title`, the entry holding `defaultText`
// selected; `width` x `height` is the prompt label's size (at least 128 x 20) and `entryFlags` are
// extra styles of the entry line. "Open URL" is offered when `defaultText` is a web address.
// Answers the entry's text after "OK", "Open URL" or Enter, "" after "Cancel", Escape or the close
// box; edit.openUrlChosen tells whether "Open URL" ended it.
std::string promptText(core::Program& p, int width, int height, const std::string& title, const std::string& prompt,
                       const std::string& defaultText, unsigned entryFlags);

}  // namespace ui
