// The target set. Only a set that exists and is not the active set is ever opened, and the open
// target's own name travels with it: nothing else a command leaves behind can redirect a move.
#include "ops/target_set.h"

#include "core/program.h"
#include "ops/active_set.h"
#include "ops/set_commands.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "store/sets.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/guards.h"
#include "ui/layout.h"
#include "ui/menus.h"
#include "ui/status.h"

namespace ops {

namespace {

void tell(core::Program& p, const std::string& text) {
  platform::messageBox(p.mainWindow, text, core::productName, platform::MB_OK | platform::MB_ICONINFORMATION);
}

void drawSetButton(core::Program& p, int gadget, platform::Colour text, platform::Colour background,
                   const std::string& caption = "") {
  platform::drawButtonCaption(gadget, caption.empty() ? ui::buttonCaption(p, gadget) : caption, text, background,
                              platform::FontId::Caption);
}

// The clip's own tab again, unless a drag is going on.
void showContentTab(core::Program& p) {
  if (p.view.dragActive == 1) return;
  if (platform::listSelectedRows(ui::gadgetClipList).empty()) {
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabText);
  } else if (ui::currentClipIsImage(p)) {
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabImage);
    platform::setEditorText(ui::gadgetTextEditor, "");
  } else {
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabText);
    platform::clearImageView(ui::gadgetImageView);
  }
}

}  // namespace

void refreshSetButtons(core::Program& p) {
  p.view.dragActive = 0;
  using namespace ui::colour;
  for (int gadget : {ui::gadgetDupInTarget, ui::gadgetMoveToTarget, ui::gadgetCreateNewSet, ui::gadgetChangeActiveSet})
    drawSetButton(p, gadget, black, lightYellow);
  drawSetButton(p, ui::gadgetOpenTargetSet, black, lightYellow, p.view.targetSetOpen == 1 ? "Close Target Set" : "");
  drawSetButton(p, ui::gadgetCombineSelected, black, lightCyan);
  drawSetButton(p, ui::gadgetSearchClips, black, lightCyan);
  drawSetButton(p, ui::gadgetDeleteSet, red, lightYellow);
  drawSetButton(p, ui::gadgetMoveToTrash, red, white);
  if (platform::panelTab(ui::gadgetContentPanel) == ui::tabSets) drawSetButton(p, ui::gadgetSetActions, black, lightCyan, "Clip Content");
  else drawSetButton(p, ui::gadgetSetActions, black, lightYellow);
  ui::showStatus(p, p.view.statusMsg, p.view.statusBackground, p.view.statusText);
}

void closeTargetSet(core::Program& p) {
  p.edit.openTargetName.clear();
  p.view.targetSetOpen = 0;
  platform::setFocusGadget(ui::gadgetClipList);
  ui::buildMainMenu(p);
  refreshSetButtons(p);
  ui::refreshStatus(p);
  ui::buildSetPopup(p);
  uncheckSetRows(p);
}

int openTargetSet(core::Program& p) {
  const std::string selected = selectedSetName(p);
  if (!selected.empty()) {
    p.view.pickedSet = selected;
    uncheckSetRows(p);
    p.view.targetSet = p.view.pickedSet;
  }
  const std::string name = p.view.targetSet;
  if (name.empty()) {
    tell(p, "Sorry, you must select a valid set");
    return 0;
  }
  // A set that is gone is never opened (the check tells the user).
  if (store::SetExists(p, name) == 0) return 0;
  if (name == p.settings.activeSetName) {
    tell(p, "Sorry but that Set is the 'From' Set\n\rPlease select another");
    return 0;
  }
  p.edit.openTargetName = name;
  p.view.pendingSetClick.clear();
  p.view.targetSetOpen = 1;
  ui::buildMainMenu(p);
  ui::buildSetPopup(p);
  ui::showStatus(p, "Target Opened", ui::colour::lightYellow, ui::colour::black);
  showContentTab(p);
  ui::refreshStatus(p);
  refreshSetButtons(p);
  uncheckSetRows(p);
  return 1;
}

void chooseTargetSet(core::Program& p) {
  if (p.view.targetSetOpen == 1) {
    closeTargetSet(p);
    ui::showStatus(p, "Target Closed", ui::colour::lightYellow, ui::colour::black);
    refreshSetButtons(p);
    ui::refreshStatus(p);
    uncheckSetRows(p);
    return;
  }
  if (selectedSetName(p).empty()) {
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabSets);
    refreshSetButtons(p);
    ui::refreshStatus(p);
    ui::showStatus(p, "Select Target", ui::colour::black, ui::colour::white);
    p.view.pendingSetClick = "T";
    uncheckSetRows(p);
    return;
  }
  // A set chosen first and the button pressed after: the user means that set.
  openTargetSet(p);
}

}  // namespace ops
