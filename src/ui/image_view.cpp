// The Image tab. The preview is made from a copy, so the shown picture stays whole for saving and
// for adding it to the list; the box's size is asked each time, as the user may resize the window.
#include "ui/image_view.h"

#include <utility>

#include "core/image_codec.h"
#include "core/log.h"
#include "core/program.h"
#include "platform/gadgets.h"
#include "ui/gadgets.h"
#include "ui/layout.h"

namespace ui {

bool showPicture(core::Program& p, core::Image image, std::string bytes, const std::string& caption,
                 const std::string& source) {
  core::ShownImage& shown = p.shownImage;
  shown.image = std::move(image);
  shown.bytes = std::move(bytes);
  shown.caption = caption;
  shown.source = source;
  p.view.imageShown = 1;
  p.view.shownText = caption;
  const platform::Extent box = platform::imageViewSize(gadgetImageView);
  if (box.width <= 0 || box.height <= 0) {
    platform::clearImageView(gadgetImageView);
    return true;  // a collapsed panel has no room; nothing is wrong with the picture
  }
  const core::DecodedImage preview = core::boxImage(shown.image, box.width, box.height, colour::panelGrey);
  if (!preview.ok()) {
    core::writeLog(p, p.captureTime + " No preview of " + caption + ": " + preview.failure);
    platform::clearImageView(gadgetImageView);
    return false;
  }
  return platform::showImageView(gadgetImageView, preview.image.width, preview.image.height,
                                 preview.image.pixels.data());
}

void clearPicture(core::Program& p) {
  platform::clearImageView(gadgetImageView);
  p.shownImage = core::ShownImage{};
  p.view.imageShown = 0;
}

void drawAddImageButton(core::Program& p) {
  const std::string caption = buttonCaption(p, gadgetAddItem);
  if (p.settings.saveImages == "N") {
    platform::enableGadget(gadgetAddItem, true);
    platform::drawButtonCaption(gadgetAddItem, caption, colour::black, colour::lightCyan, platform::FontId::Caption);
  } else {
    platform::drawButtonCaption(gadgetAddItem, caption, colour::disabledText, colour::disabledBackground,
                                platform::FontId::Caption);
  }
}

}  // namespace ui
