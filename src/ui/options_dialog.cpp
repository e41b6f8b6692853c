// The options dialog's boxes, what each one stores, and the way out through OK.
#include "ui/options_dialog.h"

#include "core/log.h"
#include "core/program.h"
#include "core/settings.h"
#include "platform/gadgets.h"
#include "ui/clip_list.h"
#include "ui/layout.h"
#include "ui/status.h"

namespace ui {
namespace {

struct Box {
  int gadget;
  int x, y, width;
  const char* caption;
};

// 25 pixels apart from y 40.
constexpr Box boxes[] = {
    {optionStartWithWindows, 40, 40, 350, "Start Tandrel when Windows Starts"},
    {optionMinimized, 40, 65, 300, "Minimize at Startup"},
    {optionSuppressDuplicates, 40, 90, 350, "Supress Duplicates - Alert on Clipboard Hijacking"},
    {optionSaveImages, 40, 115, 125, "Save Images"},
    {optionUsePng, 170, 115, 220, "As PNG (default is JPEG)"},
    {optionSaveRichText, 40, 140, 220, "Save Rich Text"},
    {optionTooltips, 40, 165, 250, "Display Tooltips"},
    {optionListPaste, 40, 190, 350, "Enable Ctl/Alt/V List Paste Shortcut"},
    {optionTopList, 40, 215, 350, "Enable Ctl/Alt/T List Paste 'Top' Shortcut"},
    {optionReverseCase, 40, 240, 350, "Enable Ctl/Alt/R Case Reverse Shortcut"},
    {optionSound, 40, 265, 350, "Enable clip capture sound"},
    {optionSkipPrivate, 40, 290, 350, "Skip data marked private"},
    {optionQuickPaste, 40, 315, 350, "Enable Ctl/Alt/H Quick Paste window"},
};
constexpr int boxHeight = 18;

bool isBox(int gadget) {
  for (const Box& b : boxes)
    if (b.gadget == gadget) return true;
  return false;
}

// The settings held as 1/0.
int* flagOf(core::Settings& s, int gadget) {
  switch (gadget) {
    case optionUsePng: return &s.usePng;
    case optionSaveRichText: return &s.saveHtml;
    case optionTooltips: return &s.showTooltips;
    case optionListPaste: return &s.listPasteShortcut;
    case optionTopList: return &s.topListShortcut;
    case optionReverseCase: return &s.reverseCaseShortcut;
    case optionSound: return &s.captureSound;
    case optionSkipPrivate: return &s.skipPrivate;
    case optionQuickPaste: return &s.quickPasteShortcut;
    default: return nullptr;
  }
}

// The settings held as text.
std::string* textOf(core::Settings& s, int gadget) {
  switch (gadget) {
    case optionStartWithWindows: return &s.startWithWindows;
    case optionMinimized: return &s.startMinimized;
    case optionSuppressDuplicates: return &s.suppressDuplicates;
    case optionSaveImages: return &s.saveImages;
    default: return nullptr;
  }
}

// Whether a box opens ticked. A flag holding anything but 1 (the sound system's handle, say) is
// made 0 here, so every flag leaves the dialog as 0 or 1.
bool openTicked(core::Settings& s, int gadget) {
  if (int* flag = flagOf(s, gadget)) {
    if (*flag != 1) *flag = 0;
    return *flag == 1;
  }
  const std::string& text = *textOf(s, gadget);
  return gadget == optionMinimized ? !text.empty() : text == "Y";
}

void store(core::Program& p, int gadget, bool ticked) {
  core::Settings& s = p.settings;
  if (int* flag = flagOf(s, gadget)) {
    *flag = ticked ? 1 : 0;
    if (gadget == optionUsePng) s.imageExtension = ticked ? ".png" : ".jpg";
    return;
  }
  // "Minimized" is empty when off: the start-up shows the window for any empty value.
  if (std::string* text = textOf(s, gadget))
    *text = ticked ? "Y" : (gadget == optionMinimized ? "" : "N");
}

void storeBox(core::Program& p, int gadget) { store(p, gadget, platform::checkBoxIsTicked(gadget)); }

void pressOk(core::Program& p, platform::Hwnd dialog) {
  storeBox(p, optionMinimized);
  storeBox(p, optionStartWithWindows);
  storeBox(p, optionSuppressDuplicates);
  // Made again from the setting, so no control ends up with two tooltips.
  removeTooltips(p);
  createTooltips(p);
  core::saveSettings(p);  // a new start-with-Windows makes the Startup shortcut here
  // Enabled before the dialog goes, or Windows would hand the activation to another program.
  platform::enableWindow(p.mainWindow, true);
  platform::closeWindow(dialog);
  platform::setForegroundWindow(p.mainWindow);
  drawRows(p);
  refreshStatus(p);
}

}  // namespace

void openOptionsDialog(core::Program& p) {
  if (const platform::Hwnd open = platform::windowOfNumber(core::optionsWindowNumber)) {
    platform::setForegroundWindow(open);
    return;
  }
  const platform::Hwnd dialog = platform::openDialogWindow(core::optionsWindowNumber, p.mainWindow, 410, 420, optionsTitle);
  if (dialog == 0) {
    core::writeLog(p, p.captureTime + " The options dialog could not be opened");
    return;
  }
  for (const Box& b : boxes) {
    platform::createCheckBox({dialog, 0, 0, b.x, b.y, b.width, boxHeight}, b.gadget, b.caption, platform::FontId::Dialog);
    platform::setCheckBox(b.gadget, openTicked(p.settings, b.gadget));
  }
  platform::createPushButton({dialog, 0, 0, 170, 393, 44, 20}, optionOk, "OK", platform::FontId::Caption);
  platform::showWindow(dialog, platform::SW_SHOWNORMAL);
  platform::enableWindow(p.mainWindow, false);
  platform::setTopmost(dialog, true);
}

void handleOptionsEvent(core::Program& p, const platform::WindowEvent& event) {
  if (event.kind != platform::EVENT_GADGET) return;
  // An event still queued when OK closed the dialog finds no boxes to read.
  const platform::Hwnd dialog = platform::windowOfNumber(core::optionsWindowNumber);
  if (dialog == 0) return;
  if (event.gadget == optionOk) {
    if (event.type == platform::GADGET_LEFT_CLICK) pressOk(p, dialog);
  } else if (isBox(event.gadget)) {
    storeBox(p, event.gadget);
  }
}

}  // namespace ui
