// The text prompt over the platform's prompt window, placed over the main window's clip list.
#include "ui/prompt.h"

#include <algorithm>

#include "core/program.h"
#include "core/settings.h"
#include "core/web_address.h"
#include "platform/dialogs.h"
#include "platform/window.h"

namespace ui {

namespace {

// Over the clip list: the button column stays visible beside it.
constexpr int offsetX = 120;
constexpr int offsetY = 80;

}  // namespace

std::string promptText(core::Program& p, int width, int height, const std::string& title, const std::string& prompt,
                       const std::string& defaultText, unsigned entryFlags) {
  platform::PromptLayout layout;
  layout.owner = p.mainWindow;
  layout.title = title;
  layout.prompt = prompt;
  layout.text = defaultText;
  layout.width = std::max(width, 128);
  layout.height = std::max(height, 20);
  layout.openUrlButton = core::isWebAddress(defaultText);
  layout.entryStyle = entryFlags;

  core::rememberWindowPosition(p);
  // Never off the screen, whatever position a settings file brought.
  const platform::Rect area = platform::workArea();
  const int outerWidth = layout.width + 13 + 16, outerHeight = layout.height + 75 + 40;
  layout.x = std::clamp(p.settings.windowX + offsetX, area.left, std::max(area.left, area.right - outerWidth));
  layout.y = std::clamp(p.settings.windowY + offsetY, area.top, std::max(area.top, area.bottom - outerHeight));

  const platform::PromptAnswer answer = platform::promptDialog(layout);
  p.edit.openUrlChosen = answer.button == platform::PromptButton::OpenUrl ? 1 : 0;
  return answer.button == platform::PromptButton::Cancel ? std::string() : answer.text;
}

}  // namespace ui
