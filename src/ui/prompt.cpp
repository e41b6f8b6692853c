// The text prompt: its size and place come from here, the modal window from the platform.
#include "ui/prompt.h"

#include <algorithm>

#include "core/program.h"
#include "core/settings.h"
#include "platform/dialogs.h"

namespace ui {
namespace {

// Down and to the right of the main window's corner, over its list, where the user is looking.
constexpr int offsetX = 60;
constexpr int offsetY = 120;

}  // namespace

std::string promptText(core::Program& p, int width, int height, const std::string& title, const std::string& prompt,
                       const std::string& defaultText, unsigned entryFlags) {
  core::rememberWindowPosition(p);
  platform::PromptLayout layout;
  layout.title = title;
  layout.prompt = prompt;
  layout.text = defaultText;
  layout.width = std::max(width, 128);
  layout.height = std::max(height, 20);
  layout.x = p.settings.windowX + offsetX;
  layout.y = p.settings.windowY + offsetY;
  layout.entryStyle = entryFlags;
  layout.openUrlButton = defaultText.compare(0, 4, "http") == 0;
  const platform::PromptAnswer answer = platform::runPrompt(p.mainWindow, layout);
  p.view.openUrlChosen = answer.button == platform::PromptButton::OpenUrl ? 1 : 0;
  return answer.button == platform::PromptButton::Cancel ? std::string() : answer.text;
}

}  // namespace ui
