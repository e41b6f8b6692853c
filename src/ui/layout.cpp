// The main window's fixed layout. Every command button is a picture button whose caption the
// program draws, so its window text is set to the caption for screen readers.
#include "ui/layout.h"

#include <algorithm>
#include <vector>

#include "core/program.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/window.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/main_window.h"
#include "ui/menus.h"

namespace ui {
namespace {

struct ButtonSpec {
  int gadget;
  int y;
  const char* wide;
  const char* narrow;  // nullptr: the same as wide
  const char* tipText;
};

const char* const dragHint =
    "You may also drag selected clip(s) to MOVE them to any set displayed on the 'Clip Sets' tab below, or hold "
    "the CRTL key while dragging to DUPLICATE them in another set.";

const std::vector<ButtonSpec>& buttonColumn() {
  static const std::vector<ButtonSpec> specs = {
      {gadgetClipToClipboard, 59, "Clip To Clipboard", "To Clipboard", "Place the selected clip on the windows clipboard"},
      {gadgetMoveToTarget, 77, "Move To Target", "To Target",
       "Move the selected clip(s) to a 'Target' set. You may also drag selected clip(s) to MOVE them to any set "
       "displayed on the 'Clip Sets' tab below, or hold the CRTL key while dragging to DUPLICATE them in another set."},
      {gadgetDupInTarget, 95, "Dup In Target", nullptr,
       "Duplicate the selected clip(s) in a 'Target' set. You may also drag selected clip(s) to  MOVE them to any set "
       "displayed on the 'Clip Sets' tab below, or hold the CRTL key while dragging to DUPLICATE them in another set."},
      {gadgetSetActions, 113, "'Set' Actions", nullptr, "Switch between the 'Clip Sets' and Clip Contents Panels."},
      {gadgetMoveToTrash, 140, "Move To Trash", nullptr, "Move the selected clip(s) to the Trash set."},
      {gadgetCombineSelected, 167, "Combine Selected", "Join Selected",
       "Combine Selected Clips into a Single New Clip. The original clips will be retained"},
      {gadgetCombineCaptures, 185, "Combine Captures", "Join Captures",
       "Combine succeeding captured text clips into a single new clip"},
      {gadgetSearchClips, 203, "Search Clips", nullptr, "Search all clips"},
      {gadgetEditNote, 221, "Edit Clip 'Note'", "Edit 'Note'", "Enter/Edit the selected clip's optional 'Note' contents."},
      {gadgetListPaste, 239, "Select List Paste", "List Paste", "Toggle 'List Paste' on/off."},
      {gadgetSaveImage, 284, "Save Image as File", "Save As File",
       "Save a stored image as a File. The image must reside in the Tandrel database."},
      {gadgetAddItem, 302, "Add Item to Set", "Add to Set", "Add the item shown as a new clip in the current set."},
      {gadgetSelectAll, 320, "Select All", nullptr, "Select the entire clip content."},
      {gadgetFind, 338, "Find", nullptr, "'Find' text in text area."},
      {gadgetCut, 356, "Cut", nullptr, "Cut selected text and copy it to clipboard."},
      {gadgetCopy, 374, "Copy", nullptr, "Copy the selected text to the clipboard."},
      {gadgetPaste, 392, "Paste", nullptr, "Paste contents of clipboard."},
      {gadgetDelete, 410, "Delete", nullptr, "Delete(remove) selected content from clip. Does not affect clipboard content."},
      {gadgetReplaceClip, 428, "Replace Clip", nullptr,
       "Replace the current clip with the (edited) version shown in the panel on the right."},
      {gadgetAdditionalInfo, 446, "Additional Information", nullptr,
       "Toggle between Additional clip information and Clip contents."},
  };
  return specs;
}

struct SetButtonSpec {
  int gadget;
  int y;
  const char* caption;
  const char* tipText;
  bool warning;
};

const std::vector<SetButtonSpec>& setButtons() {
  static const std::vector<SetButtonSpec> specs = {
      {gadgetChangeActiveSet, 28, "Change Active Set", "Open a set to become the new Active set.", false},
      {gadgetCreateNewSet, 46, "Create New Set", "Create a new set", false},
      {gadgetOpenTargetSet, 64, "Open Target Set", "Select a set to become a 'target' for 'Move/Copy' actions.", false},
      {gadgetDeleteSet, 110, "Delete a Set!", "The set and all of its clips will be deleted. This action is not recoverable.",
       true},
  };
  return specs;
}

struct Colours {
  platform::Colour text;
  platform::Colour background;
};

Colours startColours(int gadget) {
  switch (gadget) {
    case gadgetDupInTarget:
    case gadgetMoveToTarget:
    case gadgetCreateNewSet:
    case gadgetOpenTargetSet:
    case gadgetChangeActiveSet: return {colour::black, colour::lightYellow};
    case gadgetCombineSelected:
    case gadgetSearchClips:
    case gadgetListPaste: return {colour::black, colour::lightCyan};
    case gadgetDeleteSet: return {colour::red, colour::lightYellow};
    case gadgetMoveToTrash: return {colour::red, colour::white};
    case gadgetAdditionalInfo: return {colour::black, colour::informationBackground};
    default: return {colour::black, colour::lightCyan};
  }
}

// Neither pane of the splitter can be dragged smaller than this.
constexpr int minimumListHeight = 40;
constexpr int minimumPanelHeight = 80;

// The saved place, unless the title bar would sit on no monitor (one unplugged since the place was
// saved): then the window goes whole into the nearest monitor's work area. The frame's size is an
// estimate; only the title bar needs to be in reach.
void chooseOpeningPlace(core::Program& p) {
  constexpr int outerWidth = 700 + 16, outerHeight = 525 + 59, titleBar = 30;
  int& x = p.settings.windowX;
  int& y = p.settings.windowY;
  bool onAMonitor = false;
  const platform::Rect area = platform::nearestMonitorWorkArea({x, y, x + outerWidth, y + titleBar}, onAMonitor);
  if (onAMonitor) return;
  x = std::clamp(x, area.left, std::max(area.left, area.right - outerWidth));
  y = std::clamp(y, area.top, std::max(area.top, area.bottom - outerHeight));
}

}  // namespace

std::string buttonCaption(const core::Program& p, int gadget) {
  for (const auto& b : buttonColumn())
    if (b.gadget == gadget) return p.view.narrowCaptions && b.narrow != nullptr ? b.narrow : b.wide;
  for (const auto& b : setButtons())
    if (b.gadget == gadget) return b.caption;
  return "";
}

std::string listTitle(const core::Program& p) {
  return "Click '" + buttonCaption(p, gadgetClipToClipboard) + "' or 'doubleclick' to copy.";
}

bool buildMainWindow(core::Program& p) {
  chooseOpeningPlace(p);
  p.mainWindow = platform::openWindow(core::mainWindowNumber, p.settings.windowX, p.settings.windowY, 700, 525,
                                      mainWindowTitle, false);
  if (p.mainWindow == 0) return false;
  platform::setTrayIcon(p.mainWindow, platform::TrayImage::Waiting, "Tandrel\x99 Waiting");
  const platform::Hwnd w = p.mainWindow;
  auto at = [w](int x, int y, int width, int height) { return platform::Place{w, 0, 0, x, y, width, height}; };
  auto onTab = [w](int tab, int x, int y, int width, int height) {
    return platform::Place{w, gadgetContentPanel, tab, x, y, width, height};
  };

  bool ok = true;
  ok &= platform::createPictureButton(at(5, 4, 41, 51), gadgetLogo, platform::Picture::Logo, "Online Help");
  ok &= platform::createNumberBox(at(72, 5, 40, 18), gadgetClipCount);
  ok &= platform::createTextLabel(at(130, 3, 200, 18), gadgetActiveSetLabel, "", platform::FontId::Caption);
  ok &= platform::createTextLabel(at(330, 5, 200, 18), gadgetTargetLabel, "Collections", platform::FontId::Caption);

  ok &= platform::createListView(at(120, 30, 540, 225), gadgetClipList, true, false);
  // One pixel under 540 - 148, so the sunken border leaves no room for a horizontal scroll bar.
  platform::setListColumns(gadgetClipList, {listTitle(p) + " ", "Note/Source "}, {391, 145});
  platform::setListColours(gadgetClipList, colour::black, colour::listBackground);
  platform::setListLineColour(gadgetClipList, colour::lightCyan);
  ok &= platform::createSplitterBar(at(120, 255, 540, 5), gadgetSplitter);
  ok &= platform::createPanel(at(120, 260, 540, 235), gadgetContentPanel, {"Text", "Image", "Online Help", "Clip Sets"},
                              platform::FontId::Tab);
  ok &= platform::createEditor(onTab(tabText, 20, 15, 530, 180), gadgetTextEditor);
  platform::setEditorColours(gadgetTextEditor, colour::black, colour::editorBackground);
  ok &= platform::createImageView(onTab(tabImage, 20, 15, 520, 170), gadgetImageView);
  p.view.browserAvailable = platform::createBrowser(onTab(tabHelp, 20, 15, 530, 180), gadgetHelpBrowser);
  ok &= platform::createListView(onTab(tabSets, 20, 15, 265, 180), gadgetSetList, false, false);
  platform::setListColumns(gadgetSetList, {"Name"}, {220});
  for (const auto& b : setButtons()) {
    ok &= platform::createButton(onTab(tabSets, 295, b.y, 142, 18), b.gadget, b.caption);
    const Colours c = startColours(b.gadget);
    platform::drawButtonCaption(b.gadget, b.caption, c.text, c.background, platform::FontId::Caption);
  }

  for (const auto& b : buttonColumn()) {
    ok &= platform::createButton(at(3, b.y, 112, 18), b.gadget, b.wide);
    const Colours c = startColours(b.gadget);
    platform::drawButtonCaption(b.gadget, b.wide, c.text, c.background, platform::FontId::Caption);
  }
  ok &= platform::createLabel(w, gadgetStatusLine, 1, 262, 115, 18, "");
  platform::setGadgetColours(gadgetStatusLine, colour::black, colour::lightCyan);
  ok &= platform::createPictureButton(at(5, 464, 32, 32), gadgetCaptureToggle, platform::Picture::CaptureOn,
                                      "Activate/Deactivate");
  ok &= platform::createTextLabel(at(40, 474, 64, 22), gadgetCollectingLabel, "Collecting ", platform::FontId::Tab);
  platform::setMinimumClientSize(w, 700, 525);
  // The Text and Image tabs' popups are there before any clip is shown (an empty set shows none).
  buildEditorPopupMenu(p, false);
  buildImagePopup(p);
  return ok;
}

void chooseButtonWidths(core::Program& p) {
  p.view.narrowCaptions = platform::measureText(platform::FontId::Measure, "Combine Captures") > 117;
  p.view.fillWidth = p.view.narrowCaptions ? 76 : 110;
  p.view.captionWidth = p.view.narrowCaptions ? 48 : 70;
  if (!p.view.narrowCaptions) return;
  for (const auto& b : buttonColumn()) {
    if (b.narrow == nullptr) continue;
    const Colours c = startColours(b.gadget);
    platform::drawButtonCaption(b.gadget, b.narrow, c.text, c.background, platform::FontId::Caption);
  }
}

void createTooltips(core::Program& p) {
  if (p.settings.showTooltips == 0) return;
  const auto background = static_cast<platform::Colour>(p.settings.tooltipColour);
  for (const auto& b : buttonColumn()) {
    std::string title = buttonCaption(p, b.gadget);
    if (b.gadget == gadgetSetActions) title = "Select Clip Sets/Clip Content";
    if (b.gadget == gadgetAdditionalInfo) title = "Additional Info";
    platform::createTooltip({b.gadget, title, b.tipText, false, false}, background);
  }
  for (const auto& b : setButtons()) platform::createTooltip({b.gadget, b.caption, b.tipText, b.warning, false}, background);
  platform::createTooltip({gadgetCaptureToggle, "Activate/Deactivate", "Toggle Clip Collecting on/off", false, false},
                          background);
  platform::createTooltip({gadgetClipList, "Clips List",
                           std::string("Doubleclick an item to copy it to the clipboard. ") + dragHint, false, true},
                          background);
  platform::createTooltip({gadgetLogo, " Online Help", "Show the Tandrel Online Help Panel ", false, false}, background);
}

void removeTooltips(core::Program&) { platform::removeTooltips(); }

void chooseTooltipColour(core::Program& p) {
  static const platform::Colour custom[16] = {
      platform::rgb(255, 228, 225), platform::rgb(255, 192, 203), platform::rgb(152, 251, 152), platform::rgb(255, 228, 196),
      platform::rgb(216, 191, 216), platform::rgb(255, 215, 0),   platform::rgb(255, 250, 205), platform::rgb(232, 54, 245),
      platform::rgb(230, 230, 250), platform::rgb(0, 191, 191),   platform::rgb(0, 255, 255),   platform::rgb(224, 255, 255),
      platform::rgb(127, 255, 212), platform::rgb(160, 255, 47),  platform::rgb(240, 255, 240), platform::rgb(248, 248, 255)};
  if (const auto chosen = platform::chooseColour(p.mainWindow, static_cast<platform::Colour>(p.settings.tooltipColour), custom))
    p.settings.tooltipColour = *chosen;
  removeTooltips(p);
  createTooltips(p);
}

void resizeMainWindow(core::Program& p, int clientWidth, int clientHeight) {
  core::ViewState& v = p.view;
  v.clientWidth = clientWidth;
  v.clientHeight = clientHeight;
  // The window never shrinks below its first size; growth goes to the list's width and the panel.
  const int dw = clientWidth > 700 ? clientWidth - 700 : 0;
  const int dh = clientHeight > 525 ? clientHeight - 525 : 0;
  const int split = std::clamp(v.splitOffset, minimumListHeight - 225, 235 + dh - minimumPanelHeight);
  v.splitOffset = split;
  platform::moveGadget(gadgetClipList, 120, 30, 540 + dw, 225 + split);
  platform::moveGadget(gadgetSplitter, 120, 255 + split, 540 + dw, 5);
  platform::moveGadget(gadgetContentPanel, 120, 260 + split, 540 + dw, 235 + dh - split);
  platform::moveGadget(gadgetTextEditor, 20, 15, 530 + dw, 180 + dh - split);
  platform::moveGadget(gadgetImageView, 20, 15, 520 + dw, 170 + dh - split);
  platform::moveGadget(gadgetHelpBrowser, 20, 15, 530 + dw, 180 + dh - split);
}

void moveSplitter(core::Program& p, int barTop) {
  p.view.splitOffset = barTop - 255;
  resizeMainWindow(p, p.view.clientWidth, p.view.clientHeight);
}

}  // namespace ui
