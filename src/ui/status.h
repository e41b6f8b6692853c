// The status line under the button column.
#pragma once

#include <string>

#include "platform/types.h"

namespace core {
struct Program;
}

namespace ui {

// Shows a message with a background and text colour, painted at once.
void showStatus(core::Program& p, const std::string& message, platform::Colour background, platform::Colour text);
// The active set's name in the confirmation colours.
void showActiveSetStatus(core::Program& p);
// "Action Failed", white on blue; answers 0 so that a command can return it.
int showActionFailed(core::Program& p);
// Redraws the button captions, the indicators and the status line from the program's state.
void refreshStatus(core::Program& p);

// While a hold lives, a status shown again unchanged leaves its painting to the end of the hold,
// so that work which refreshes the window several times (a capture) paints it once. A status that
// differs from the one on screen is still painted at once.
class RepaintHold {
 public:
  explicit RepaintHold(core::Program& p);
  ~RepaintHold();
  RepaintHold(const RepaintHold&) = delete;
  RepaintHold& operator=(const RepaintHold&) = delete;

 private:
  core::Program& p_;
};

}  // namespace ui
