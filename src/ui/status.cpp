// The status line: a message and its colours, repainted at once so it shows even mid-command.
#include "ui/status.h"

#include "core/program.h"
#include "platform/gadgets.h"
#include "platform/window.h"
#include "ui/gadgets.h"
#include "ui/layout.h"

namespace ui {

void showStatus(core::Program& p, const std::string& message, platform::Colour background, platform::Colour text) {
  p.view.statusMsg = message == "clips" ? "Set = clips" : message;
  p.view.statusBackground = background;
  p.view.statusText = text;
  if (p.view.statusMsg.empty()) {
    platform::setGadgetText(gadgetStatusLine, "");
    platform::setGadgetColours(gadgetStatusLine, colour::black, colour::panelGrey);
  } else {
    platform::setGadgetText(gadgetStatusLine, p.view.statusMsg);
    platform::setGadgetColours(gadgetStatusLine, text, background);
  }
  if (p.mainWindow == 0) return;
  core::ViewState& v = p.view;
  const bool onScreen = v.statusMsg == v.paintedStatus && background == v.paintedBackground && text == v.paintedText;
  if (v.repaintHold > 0 && onScreen) {
    v.repaintDue = true;
    return;
  }
  v.paintedStatus = v.statusMsg;
  v.paintedBackground = background;
  v.paintedText = text;
  v.repaintDue = false;
  // Repaint rather than drain the queue: the user's pending input is never thrown away.
  platform::updateWindow(p.mainWindow);
}

RepaintHold::RepaintHold(core::Program& p) : p_(p) { ++p.view.repaintHold; }

RepaintHold::~RepaintHold() {
  core::ViewState& v = p_.view;
  if (--v.repaintHold > 0 || !v.repaintDue) return;
  v.repaintDue = false;
  if (p_.mainWindow != 0) platform::updateWindow(p_.mainWindow);
}

void showActiveSetStatus(core::Program& p) { showStatus(p, p.settings.activeSetName, colour::lightCyan, colour::black); }

int showActionFailed(core::Program& p) {
  showStatus(p, "Action Failed", colour::blue, colour::white);
  return 0;
}

namespace {

void draw(const core::Program& p, int gadget, platform::Colour text, platform::Colour background,
          const std::string& caption = "") {
  platform::drawButtonCaption(gadget, caption.empty() ? buttonCaption(p, gadget) : caption, text, background,
                              platform::FontId::Caption);
}

void enable(const core::Program& p, int gadget, bool on, platform::Colour text, platform::Colour background,
            const std::string& caption = "") {
  platform::enableGadget(gadget, on);
  if (on) draw(p, gadget, text, background, caption);
  else draw(p, gadget, colour::disabledText, colour::disabledBackground, caption);
}

}  // namespace

// Each gadget gets its final look once: a look set and then changed within one refresh would cost
// the control a second repaint.
void refreshStatus(core::Program& p) {
  const bool hasClips = !p.view.rows.empty();
  const bool listPaste = p.capture.listPasteMode == 1;
  const bool combining = p.capture.combineCount != 0;
  draw(p, gadgetMoveToTarget, colour::black, colour::lightCyan);
  draw(p, gadgetCombineSelected, colour::black, colour::lightCyan);
  if (hasClips && listPaste) draw(p, gadgetListPaste, colour::red, colour::listBackground, "List Paste On");
  else draw(p, gadgetListPaste, colour::black, colour::lightCyan);

  enable(p, gadgetClipToClipboard, hasClips, colour::black, colour::lightCyan);
  enable(p, gadgetEditNote, hasClips, colour::black, colour::lightCyan);

  platform::setGadgetText(gadgetClipCount, std::to_string(p.view.rows.size()));
  const bool capturing = p.capture.capturing == 1;
  std::string collecting = capturing ? "Active" : "Inactive";
  if (listPaste) collecting = "ListPaste";
  else if (combining) collecting = "Combining";
  platform::setGadgetText(gadgetCollectingLabel, collecting);
  platform::setGadgetColours(gadgetCollectingLabel, capturing ? colour::black : colour::red, colour::panelGrey);
  platform::setButtonPicture(gadgetCaptureToggle, combining   ? platform::Picture::Combining
                                                  : capturing ? platform::Picture::CaptureOn
                                                              : platform::Picture::CaptureOff);

  const int lastTab = platform::panelTab(gadgetContentPanel);
  p.view.lastTab = lastTab;
  if (lastTab > 1) {
    enable(p, gadgetAdditionalInfo, false, 0, 0, "Additional Info");
    enable(p, gadgetAddItem, false, 0, 0);
  }

  const core::ClipRow* current = nullptr;
  const int element = p.view.order.empty() ? -1 : p.view.currentElement;
  if (element >= 0 && element < static_cast<int>(p.view.rows.size())) current = &p.view.rows[static_cast<std::size_t>(element)];
  const bool currentIsImage = current != nullptr && current->imageFlag == "Y";
  const bool editing = lastTab == tabText && p.view.infoShown != 1 && hasClips && !currentIsImage && !listPaste;
  for (int gadget : {gadgetAddItem, gadgetCut, gadgetCopy, gadgetPaste, gadgetReplaceClip, gadgetDelete, gadgetFind,
                     gadgetSelectAll}) {
    if (gadget == gadgetAddItem && !editing) continue;
    enable(p, gadget, editing, colour::black, colour::editorBackground);
  }

  if (combining) draw(p, gadgetCombineCaptures, colour::black, colour::yellow, "Combining");
  else draw(p, gadgetCombineCaptures, colour::black, colour::lightCyan);

  if (lastTab < 2) {
    if (p.view.infoShown == 0) enable(p, gadgetAdditionalInfo, true, colour::black, colour::informationBackground, "Additional Info");
    else enable(p, gadgetAdditionalInfo, true, colour::black, colour::editorBackground, "Clip Content");
  }
  enable(p, gadgetSaveImage, lastTab == tabImage && currentIsImage, colour::black, colour::editorBackground);

  if (lastTab == tabSets) draw(p, gadgetSetActions, colour::black, colour::lightCyan, "Clip Content");
  else draw(p, gadgetSetActions, colour::black, colour::lightYellow);

  showStatus(p, p.view.statusMsg, p.view.statusBackground, p.view.statusText);

  if (!p.settings.activeSetName.empty()) {
    platform::setGadgetText(gadgetActiveSetLabel, "Active Set = " + p.settings.activeSetName);
    platform::setGadgetColours(gadgetActiveSetLabel, colour::black, colour::lightCyan);
    const bool targetOpen = p.view.targetSetOpen == 1;
    platform::setGadgetText(gadgetTargetLabel, targetOpen ? " Target = " + p.edit.openTargetName : " ");
    platform::setGadgetColours(gadgetTargetLabel, colour::black, targetOpen ? colour::lightYellow : colour::panelGrey);
    platform::setFocusGadget(gadgetClipList);
  }
}

}  // namespace ui
