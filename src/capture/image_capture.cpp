// Image capture. A picture from the clipboard is checked before anything of it is believed, encoded
// as PNG or JPEG in memory, stored as a clip when pictures are kept, and shown on the Image tab.
// Whatever another program copies, the worst outcome is a log line: the program never ends here.
#include "capture/image_capture.h"

#include <new>
#include <utility>

#include "capture/text_capture.h"
#include "core/clip_text.h"
#include "core/dib.h"
#include "core/image_codec.h"
#include "core/log.h"
#include "core/program.h"
#include "core/raise_window.h"
#include "core/step_timer.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "store/clip_store.h"
#include "ui/caption.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/image_view.h"
#include "ui/status.h"

namespace capture {
namespace {

constexpr int raceLimit = 19;

void tell(core::Program& p, const std::string& text) {
  core::raiseMainWindow(p);
  platform::messageBox(p.mainWindow, text, core::appName, platform::MB_OK | platform::MB_ICONWARNING);
}

std::string imageCaption(int width, int height) {
  return "Image " + std::to_string(width) + "x" + std::to_string(height);
}

core::ImageFormat chosenFormat(const core::Program& p) {
  return p.settings.usePng == 1 ? core::ImageFormat::Png : core::ImageFormat::Jpeg;
}

// A program that puts the same picture back on the clipboard as fast as we take it: capture
// pauses as it does for such a text, and the user is told why.
void loopAlarm(core::Program& p) {
  const std::string message = "Duplicate Clip Loop detected. Program paused to avoid data corruption.";
  core::writeLog(p, p.captureTime + " " + message + " " + p.capture.repeatSignature);
  raiseRaceAlarm(p);
  platform::messageBox(p.mainWindow,
                       message + "\r\nClip collecting is now off. Turn it on again once the other program has "
                                 "stopped copying.",
                       core::appName, platform::MB_OK | platform::MB_ICONWARNING);
}

// The picture's PNG or JPEG bytes in the chosen format: `bytes` as they are when they already are,
// else a new encoding. Empty, with a log line, when it cannot be encoded; a user who asked for it
// is told why.
std::string encodedAs(core::Program& p, const core::Image& image, std::string bytes, bool byUser) {
  const core::ImageFormat format = chosenFormat(p);
  if (!bytes.empty() && core::imageFormatOf(bytes) == format) return bytes;
  core::EncodedImage encoded = core::encodeImage(image, format);
  if (encoded.ok()) return std::move(encoded.bytes);
  core::writeLog(p, p.captureTime + " Image not captured: " + encoded.failure);
  if (byUser) {
    // The encoders refuse only a picture JPEG cannot hold, and fail otherwise only for memory.
    const bool tooWide = format == core::ImageFormat::Jpeg &&
                         (image.width > core::maxJpegSide || image.height > core::maxJpegSide);
    tell(p, tooWide ? "Failed to capture a copy of the image. Tandrel does not support that image format."
                    : "There is not enough memory available to copy the image.");
  }
  return "";
}

// The new clip's row at the top of the list, once the clip is stored.
bool addImageRow(core::Program& p, const std::string& caption, const std::string& source) {
  core::ClipRow row;
  row.key = p.lastKey;
  row.date = p.captureTime;
  row.complete = "Y";
  row.richFlag = "N";
  row.htmlFlag = "N";
  row.imageFlag = "Y";
  core::setRowSource(row, source);
  row.note = " ";
  row.preview = caption;
  row.caption = p.capture.listCaption;
  row.captured = true;
  try {
    ui::addRowAtTop(p, row);
  } catch (const std::bad_alloc&) {
    // The clip is stored; the list shows it when the set is loaded again.
    const std::string message = "We are unable to add an element to the Clip Listing. Not enough memory.";
    core::writeLog(p, p.captureTime + " " + message);
    tell(p, message);
    return false;
  }
  if (p.view.order.size() != p.view.rows.size())
    core::writeLog(p, p.captureTime + " List rows " + std::to_string(p.view.order.size()) +
                         " do not match the kept rows " + std::to_string(p.view.rows.size()));
  return true;
}

// Inserts the picture as a clip of the active set, then lists it; false when the insert failed.
bool storeImageClip(core::Program& p, const std::string& bytes, const std::string& caption, const std::string& source) {
  core::ClipRecord& r = p.clip;
  try {
    r = core::ClipRecord{};
    r.image = bytes;
  } catch (const std::bad_alloc&) {
    r = core::ClipRecord{};
    tell(p, "There is not enough memory available to read the image.");
    return false;
  }
  r.imageOwned = true;
  r.cImageSW = "Y";
  r.cSet = p.settings.activeSetName;
  r.cText = caption;
  core::setClipSource(r, source);
  r.cDate = p.captureTime;
  r.cNote = " ";
  p.capture.richTextFlag = 0;  // a picture carries no rich text, whatever the clip before it had
  const int written = store::WriteClipDB(p);
  r.cImageSW = "N";
  if (written == 0) {
    r.image.clear();
    r.imageOwned = false;
    ui::showActionFailed(p);
    return false;
  }
  if (addImageRow(p, caption, source)) {
    ui::drawInsertedRow(p, 0);
    p.view.currentRow = 0;
    ui::selectRow(p);
    ui::syncCurrentClip(p);
  }
  return true;
}

// Image capture proper, for a picture from the clipboard or one the user adds by hand.
int capturePicture(core::Program& p, core::Image image, std::string bytes, std::string source, bool byUser) {
  core::CaptureState& c = p.capture;
  c.clipType = "I";
  c.sourceTitle = source;
  bytes = encodedAs(p, image, std::move(bytes), byUser);
  if (bytes.empty()) return 0;
  core::markStep(p, "encode");

  const std::string caption = imageCaption(image.width, image.height);
  c.clipText = caption;
  c.listCaption = ui::formatCaption(caption, p.view.fillWidth, p.view.captionWidth);
  // The repeat rules guard against programs that copy in a loop; a picture the user adds by hand
  // (once: the caller sees to that) is no such repeat, however soon after its capture.
  const int repeats = byUser ? 0 : repeatCounter(p);
  if (byUser) p.captureTime = core::currentTimeText();
  if (repeats > raceLimit) {
    c.repeatCount = 0;
    loopAlarm(p);
    return 0;
  }
  if (repeats > 0 && p.settings.suppressDuplicates == "Y") {
    core::writeLog(p, " duplicate - " + c.repeatSignature);
    ui::drawRows(p);
    return 0;
  }
  if (c.ownWrite == 0 && p.settings.saveImages == "Y" && !storeImageClip(p, bytes, caption, source)) return 0;
  core::markStep(p, "store");

  ui::blankContentView(p);
  ui::showPicture(p, std::move(image), std::move(bytes), caption, source);
  if (platform::panelTab(ui::gadgetContentPanel) != ui::tabSets) platform::setPanelTab(ui::gadgetContentPanel, ui::tabImage);
  ui::refreshStatus(p);
  ui::drawAddImageButton(p);
  core::markStep(p, "preview");
  return 1;
}

}  // namespace

void readClipboardImage(core::Program& p) {
  p.capture.dibBytes.clear();
  if (!platform::openClipboard(0)) return;
  auto bytes = platform::getClipboardBytes(platform::CF_DIB);
  platform::closeClipboard();
  if (!bytes) return;
  const core::DibInfo info = core::inspectDib(*bytes);
  if (!info.ok) {
    core::writeLog(p, p.captureTime + " Clipboard image refused: " + info.refusal);
    return;
  }
  p.capture.dibBytes = std::move(*bytes);
}

int captureImage(core::Program& p) {
  core::CaptureState& c = p.capture;
  core::DecodedImage picture = core::dibToImage(c.dibBytes);
  // The picture is held whole from here on; the bitmap it came in is let go.
  c.dibBytes.clear();
  c.dibBytes.shrink_to_fit();
  if (!picture.ok()) {
    core::writeLog(p, p.captureTime + " Image not captured: " + picture.failure);
    return 0;
  }
  core::markStep(p, "picture");
  return capturePicture(p, std::move(picture.image), "", c.sourceTitle, false);
}

int captureShownImage(core::Program& p) {
  const core::ShownImage& shown = p.shownImage;
  if (!shown.image.valid()) return 0;
  core::Image image;
  std::string bytes;
  try {
    image = shown.image;
    bytes = shown.bytes;
  } catch (const std::bad_alloc&) {
    tell(p, "There is not enough memory available to copy the image.");
    return 0;
  }
  return capturePicture(p, std::move(image), std::move(bytes), shown.source, true);
}

}  // namespace capture
