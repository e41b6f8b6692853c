// Commands on the shown picture. A file is saved from the picture's own stored bytes where its
// format allows, and written beside the target first: the user's old file is replaced only by a
// complete new one.
#include "ops/image_commands.h"

#include "capture/image_capture.h"
#include "core/image_codec.h"
#include "core/log.h"
#include "core/program.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/shell.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/guards.h"
#include "ui/status.h"

namespace ops {
namespace {

void notSaved(core::Program& p) { ui::showStatus(p, "Not Saved", ui::colour::white, ui::colour::red); }

// The picture in `format`: its stored bytes when they are in that format already.
core::EncodedImage bytesAs(const core::ShownImage& shown, core::ImageFormat format) {
  if (core::imageFormatOf(shown.bytes) == format) {
    core::EncodedImage same;
    same.bytes = shown.bytes;
    return same;
  }
  return core::encodeImage(shown.image, format);
}

// Writes through a file beside the target, which replaces the target only once it is whole.
bool replaceFile(const std::string& path, const std::string& bytes) {
  const std::string scratch = path + ".tdsave";
  if (platform::writeFile(scratch, bytes) && platform::renameFile(scratch, path)) return true;
  platform::deleteFile(scratch);
  return false;
}

// Sets the save-images setting to "Y" while the shown picture is captured as a clip.
int captureShownAsClip(core::Program& p) {
  const std::string kept = p.settings.saveImages;
  p.settings.saveImages = "Y";
  const int captured = capture::captureShownImage(p);
  p.settings.saveImages = kept;
  return captured;
}

}  // namespace

void saveImageAsFile(core::Program& p) {
  const core::ShownImage& shown = p.shownImage;
  if (!shown.image.valid()) {
    notSaved(p);
    return;
  }
  const auto answer = platform::saveFileDialog(p.mainWindow, "Select Filename", "*.*",
                                               "JPEG image (*.JPG)|*.jpg|PNG Image (*.PNG)|*.png");
  if (!answer || answer->path.empty()) {
    notSaved(p);
    return;
  }
  const bool png = answer->filterIndex == 2;
  const core::ImageFormat format = png ? core::ImageFormat::Png : core::ImageFormat::Jpeg;
  p.settings.imageExtension = png ? ".png" : ".jpg";
  const std::string path = answer->path + p.settings.imageExtension;
  if (platform::fileExists(path) &&
      platform::messageBox(p.mainWindow, "Do you wish to overwrite " + path, core::appName,
                           platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES) {
    notSaved(p);
    return;
  }
  const core::EncodedImage bytes = bytesAs(shown, format);
  if (!bytes.ok()) {
    core::writeLog(p, p.captureTime + " " + shown.caption + " not saved as " + path + ": " + bytes.failure);
    notSaved(p);
    return;
  }
  if (!replaceFile(path, bytes.bytes)) {
    core::writeLog(p, p.captureTime + " " + shown.caption + " not saved as " + path + ": the file cannot be written");
    notSaved(p);
    return;
  }
  ui::showStatus(p, "Image Saved", ui::colour::white, ui::colour::black);
}

void saveImageClipAsFile(core::Program& p) {
  if (p.view.lastTab != ui::tabImage || !ui::currentClipIsImage(p)) {
    notSaved(p);
    return;
  }
  ui::showCurrentRowClip(p);
  saveImageAsFile(p);
}

void saveImageInClipList(core::Program& p) {
  if (p.settings.saveImages == "Y") return;  // the picture is in the list already
  captureShownAsClip(p);
  ui::selectRow(p);
}

bool addShownImage(core::Program& p) {
  if (p.view.lastTab != ui::tabImage || p.view.imageShown != 1 || p.view.shownText == p.view.lastAddedImage ||
      p.settings.saveImages != "N" || p.view.currentRow != 0)
    return false;
  const std::string added = p.view.shownText;
  if (captureShownAsClip(p) == 0) {
    ui::showActionFailed(p);  // refused as a repeat, or not stored (the user was told)
    return true;
  }
  p.view.lastAddedImage = added;
  ui::selectRow(p);
  ui::showStatus(p, "Image Saved", ui::colour::lightCyan, ui::colour::black);
  return true;
}

}  // namespace ops
