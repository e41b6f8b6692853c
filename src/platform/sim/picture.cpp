// Pictures on the simulated desktop: a picture box keeps the pixels it was given for the tests to
// look at, the save-file dialog answers from the test's script, and the machine can be told to be
// one of the Windows 95 family.
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/sim/desktop.h"
#include "platform/window.h"

namespace platform {

using sim::desktop;

bool showImageView(int gadget, int width, int height, const std::uint8_t* pixels) {
  auto& gadgets = desktop().gadgets;
  const auto it = gadgets.find(gadget);
  if (it == gadgets.end() || it->second.kind != "image" || width <= 0 || height <= 0 || pixels == nullptr) return false;
  sim::Gadget& g = it->second;
  g.imagePixels.assign(pixels, pixels + static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
  g.imageWidth = width;
  g.imageHeight = height;
  g.hasImage = true;
  return true;
}

Extent imageViewSize(int gadget) {
  auto& gadgets = desktop().gadgets;
  const auto it = gadgets.find(gadget);
  if (it == gadgets.end() || it->second.kind != "image") return {};
  return {std::max(0, it->second.place.width), std::max(0, it->second.place.height)};
}

std::optional<SaveFileAnswer> saveFileDialog(Hwnd, const std::string& title, const std::string& startName,
                                             const std::string& filter) {
  auto& d = desktop();
  sim::Desktop::SaveDialogRecord record{title, startName, filter, true};
  std::optional<SaveFileAnswer> answer;
  if (d.saveDialogAnswers.empty()) {
    record.scripted = false;
  } else {
    answer = d.saveDialogAnswers.front();
    d.saveDialogAnswers.pop_front();
  }
  d.saveDialogs.push_back(record);
  return answer;
}

bool runsOnWindows9x() { return desktop().windows9x; }

}  // namespace platform
