// Which handler runs for which event of the main window, with the guards that run first. The
// menu commands are in menu_commands.cpp.
#include "app/dispatcher.h"

#include <algorithm>
#include <cctype>

#include "capture/list_paste.h"
#include "capture/shortcut_keys.h"
#include "capture/text_capture.h"
#include "capture/watcher.h"
#include "core/clip_text.h"
#include "core/program.h"
#include "ops/active_set.h"
#include "ops/find.h"
#include "ops/notes.h"
#include "ops/image_commands.h"
#include "ops/set_commands.h"
#include "ops/target_set.h"
#include "ops/text_edit.h"
#include "ops/transfer.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/system.h"
#include "platform/text_encoding.h"
#include "ui/clip_list.h"
#include "ui/commands.h"
#include "ui/gadgets.h"
#include "ui/guards.h"
#include "ui/help_page.h"
#include "ui/layout.h"
#include "ui/menus.h"
#include "ui/status.h"
#include "ui/tray_menu.h"

namespace app {

using namespace core;
using namespace ui;

namespace {

// A left click waits for a possible second click; other events that arrive meanwhile are kept
// for the main loop, never thrown away.
void clickOnClipList(Program& p) {
  const std::uint32_t start = platform::tickCount();
  bool doubleClick = false;
  std::deque<platform::WindowEvent> held;
  while (platform::tickCount() - start < static_cast<std::uint32_t>(p.doubleClickWait)) {
    const platform::WindowEvent e = platform::waitWindowEvent(1);
    if (e.kind == 0) continue;
    if (e.kind == platform::EVENT_GADGET && e.gadget == gadgetClipList && e.type == platform::GADGET_DOUBLE_CLICK) {
      doubleClick = true;
      break;
    }
    held.push_back(e);
  }
  p.heldEvents.insert(p.heldEvents.end(), held.begin(), held.end());
  clickSelectClip(p);
  if (doubleClick) {
    activateClip(p);
    buildTrayMenu(p);
  }
  buildMainMenu(p);
}

void rightClickOnClipList(Program& p) {
  const int row = platform::listCurrentRow(gadgetClipList);
  if (row >= 0 && row != p.view.currentRow) {
    p.view.currentRow = row;
    showCurrentRowClip(p);
  }
  if (platform::listSelectedRows(gadgetClipList).empty()) return;
  refreshSourceMenuItem(p);
  buildMainMenu(p);
  buildClipPopup(p);
  platform::showPopupMenu(p.mainWindow, clipPopupNumber);
}

void toggleCombine(Program& p) {
  CaptureState& c = p.capture;
  if (c.combineCount == 0) {
    // Gathering needs the viewer chain: capture that is off is switched on the usual way.
    if (c.capturing != 1) capture::toggleCapture(p);
    c.combineCount = 1;
    platform::setTrayIcon(p.mainWindow, platform::TrayImage::Combining, "Tandrel\x99 Waiting");
    c.listPasteMode = 0;
  } else {
    platform::setTrayIcon(p.mainWindow, platform::TrayImage::Waiting, "Tandrel\x99 Waiting");
    c.combineCount = 0;
  }
  c.combinedText.clear();
  refreshStatus(p);
}

void switchSetsAndContent(Program& p) {
  const bool setsShown = platform::panelTab(gadgetContentPanel) == tabSets;
  if (setsShown) {
    showActiveSetStatus(p);
    if (p.view.dragActive != 1) {
      if (platform::listSelectedRows(gadgetClipList).empty() || !currentClipIsImage(p)) {
        platform::setPanelTab(gadgetContentPanel, tabText);
        platform::clearImageView(gadgetImageView);
      } else {
        platform::setPanelTab(gadgetContentPanel, tabImage);
        platform::setEditorText(gadgetTextEditor, "");
      }
    }
  } else {
    platform::setPanelTab(gadgetContentPanel, tabSets);
  }
  refreshStatus(p);
}

void setListClick(Program& p, int type) {
  if (type == platform::GADGET_RIGHT_CLICK) {
    buildSetPopup(p);
    platform::showPopupMenu(p.mainWindow, setPopupNumber);
    return;
  }
  if (type == platform::GADGET_DOUBLE_CLICK) {
    p.view.dragActive = 0;
    ops::openActiveSet(p);
    p.view.pendingSetClick.clear();
    return;
  }
  if (type != platform::GADGET_LEFT_CLICK) return;
  if (p.view.pendingSetClick == "S") {
    ops::openActiveSet(p);
    ops::uncheckSetRows(p);
    p.view.pendingSetClick.clear();
  } else if (p.view.pendingSetClick == "T") {
    if (ops::openTargetSet(p)) p.view.pendingSetClick.clear();
  } else if (p.view.pendingSetClick == "A") {
    // A click on blank space names no set: the move or duplicate keeps waiting for one.
    const std::string picked = ops::selectedSetName(p);
    if (picked.empty()) return;
    p.view.pickedSet = picked;
    ops::uncheckSetRows(p);
    if (picked == p.settings.activeSetName) {
      platform::messageBox(p.mainWindow, "Target set may not be the active set.", productName,
                           platform::MB_OK | platform::MB_ICONINFORMATION);
      return;
    }
    p.view.targetSet = picked;
    ops::transferSelectedClips(p, picked);
    p.view.pendingSetClick.clear();
  }
}

void textTabButton(Program& p, int gadget) {
  switch (gadget) {
    case gadgetCut: ops::cutToNewClip(p); break;
    case gadgetPaste: ops::pasteIntoEditor(p); break;
    case gadgetReplaceClip: ops::replaceClip(p); break;
    case gadgetFind:
      p.view.findStartRow = p.view.currentRow;
      ops::findInText(p);
      break;
    case gadgetDelete: ops::deleteSelection(p); break;
    case gadgetSelectAll: ops::selectAllText(p); break;
    default: break;
  }
}

void gadgetEvent(Program& p, const platform::WindowEvent& e) {
  if (e.type == platform::GADGET_ITEM_CHANGE) {
    onListItemChange(p);
    return;
  }
  if (e.type == platform::GADGET_DRAG_START) {
    endCombining(p);
    p.view.dragActive = 1;
    p.view.dragRow = platform::listCurrentRow(e.gadget);
    p.view.dragSource = e.gadget;
    platform::followRowDrag(e.gadget, [&p] { ops::dragAutoScroll(p); });
    return;
  }
  // The Text tab's buttons act only while the Text tab is shown.
  const bool textTab = platform::panelTab(gadgetContentPanel) == tabText;
  switch (e.gadget) {
    case gadgetClipList:
      if (e.type == platform::GADGET_LEFT_CLICK) clickOnClipList(p);
      else if (e.type == platform::GADGET_DOUBLE_CLICK) {
        activateClip(p);  // a double click that arrived on its own
        buildTrayMenu(p);
      } else if (e.type == platform::GADGET_COLUMN_CLICK) sortByColumn(p, static_cast<int>(e.data));
      else if (e.type == platform::GADGET_RIGHT_CLICK) rightClickOnClipList(p);
      break;
    case gadgetSplitter:
      if (e.type == platform::GADGET_SPLITTER_MOVE) moveSplitter(p, static_cast<int>(e.data));
      break;
    case gadgetContentPanel:
      if (e.type == platform::GADGET_TAB_CHANGE) onTabChange(p);
      break;
    case gadgetLogo:
      showOnlineHelp(p);
      break;
    case gadgetAdditionalInfo:
      endCombining(p);
      if (requireClips(p)) toggleAdditionalInfo(p);
      break;
    case gadgetListPaste:
      endCombining(p);
      capture::toggleListPaste(p);
      break;
    case gadgetCaptureToggle:
      endCombining(p);
      capture::toggleCapture(p);
      buildMainMenu(p);
      refreshStatus(p);
      break;
    case gadgetDupInTarget:
    case gadgetMoveToTarget:
      endCombining(p);
      if (!requireSelection(p)) break;
      p.view.transferMode = e.gadget == gadgetDupInTarget ? 0 : 1;
      applyTargetRule(p);
      break;
    case gadgetCombineSelected: ops::combineSelectedClips(p); break;
    case gadgetCombineCaptures: toggleCombine(p); break;
    case gadgetSetActions:
      endCombining(p);
      switchSetsAndContent(p);
      break;
    case gadgetMoveToTrash:
      endCombining(p);
      if (requireClips(p)) ops::trashSelectedClips(p);
      break;
    case gadgetChangeActiveSet:
      endCombining(p);
      ops::chooseActiveSet(p);
      break;
    case gadgetCreateNewSet:
      endCombining(p);
      ops::NewSet(p);
      refreshStatus(p);
      break;
    case gadgetSearchClips:
      endCombining(p);
      if (requireClips(p)) {
        p.view.findStartRow = p.view.currentRow;
        platform::setEditorCaret(gadgetTextEditor, 0);
        ops::searchAllClips(p);
      }
      break;
    case gadgetOpenTargetSet:
      endCombining(p);
      ops::chooseTargetSet(p);
      break;
    case gadgetEditNote:
      endCombining(p);
      ops::editNoteCommand(p);
      break;
    case gadgetDeleteSet:
      endCombining(p);
      ops::DeleteSetCommand(p);
      break;
    case gadgetClipToClipboard:
      endCombining(p);
      if (requireClips(p)) {
        showCurrentRowClip(p);
        activateClip(p);
      }
      break;
    case gadgetSaveImage:
      endCombining(p);
      if (requireImageClip(p)) ops::saveImageClipAsFile(p);
      break;
    case gadgetAddItem:
      endCombining(p);
      addShownItemToSet(p);
      break;
    case gadgetCut:
    case gadgetPaste:
    case gadgetReplaceClip:
    case gadgetFind:
    case gadgetDelete:
    case gadgetSelectAll:
      endCombining(p);
      if (textTab && requireTextClip(p)) textTabButton(p, e.gadget);
      break;
    case gadgetCopy:
      endCombining(p);
      if (textTab) ops::copySelection(p);
      break;
    case gadgetTextEditor:
      if (e.type == platform::GADGET_LINK_CLICK) ops::openEditorLink(p);
      break;
    case gadgetImageView:
      if (e.type != platform::GADGET_RIGHT_CLICK) break;
      endCombining(p);
      buildImagePopup(p);
      platform::showPopupMenu(p.mainWindow, imagePopupNumber);
      break;
    case gadgetSetList:
      endCombining(p);
      setListClick(p, e.type);
      break;
    default: break;
  }
}

// Trims blanks and line ends at both ends: two texts that differ only there are the same item.
std::string normalised(const std::string& text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::size_t first = 0, last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

}  // namespace

void endCombining(Program& p) { p.capture.combineCount = 0; }

void commandNotAvailable(Program& p) { showActionFailed(p); }

void applyTargetRule(Program& p) {
  if (p.view.targetSetOpen == 1) {
    ops::transferSelectedClips(p, ops::openTargetDestination(p));
    return;
  }
  p.view.pendingSetClick = "A";
  p.view.pickedSet.clear();
  p.view.statusMsg.clear();
  p.view.targetSet = p.view.pickedSet;
  if (p.view.targetSet == p.settings.activeSetName) {
    platform::messageBox(p.mainWindow, "Sorry, Source and Target cannot be the same set", productName,
                         platform::MB_OK | platform::MB_ICONINFORMATION);
    return;
  }
  showStatus(p, "Select Target", colour::black, colour::white);
  platform::setPanelTab(gadgetContentPanel, tabSets);
}

void toggleAdditionalInfo(Program& p) {
  if (p.view.infoShown == 1) {
    showCurrentRowClip(p);
    p.view.infoShown = 0;
  } else {
    showAdditionalInfo(p);
    p.view.infoShown = 1;
    refreshStatus(p);
  }
}

void addShownItemToSet(Program& p) {
  if (platform::panelTab(gadgetContentPanel) == tabText && p.view.imageShown == 0) {
    const std::string text = platform::editorText(gadgetTextEditor);
    p.view.shownText = normalised(p.view.shownText);
    if (normalised(text) == p.view.shownText) {
      showStatus(p, "Duplicate", colour::white, colour::red);
      return;
    }
    CaptureState& c = p.capture;
    c.sourceTitle = "Created by User";
    c.clipText = platform::utf8ToAnsi(text);
    c.clipExact = exactBeside(text, c.clipText);
    c.richTextFlag = 0;
    c.richTextRead = 0;
    c.fedByTextTab = true;
    const int stored = capture::captureText(p);
    c.fedByTextTab = false;
    c.clipExact.clear();
    // A refused text has shown why already.
    if (stored == 1) showStatus(p, "Clip Saved", colour::lightCyan, colour::black);
    return;
  }
  if (ops::addShownImage(p)) return;
  showStatus(p, "Invalid Selection", colour::white, colour::red);
}

platform::WindowEvent nextEvent(Program& p, int milliseconds) {
  if (!p.heldEvents.empty()) {
    const platform::WindowEvent e = p.heldEvents.front();
    p.heldEvents.pop_front();
    return e;
  }
  return platform::waitWindowEvent(milliseconds);
}

void handleMainEvent(Program& p, const platform::WindowEvent& event) {
  if (event.kind == platform::EVENT_RBUTTON && platform::gadgetUnderCursor() == gadgetTextEditor)
    platform::showPopupMenu(p.mainWindow, editorPopupNumber);
  capture::serveShortcutKeys(p);
  switch (event.kind) {
    case platform::EVENT_GADGET: gadgetEvent(p, event); break;
    case platform::EVENT_DROP:
      if (event.gadget == gadgetClipList && p.view.dragSource == gadgetClipList)
        reorderRowsByDrop(p, p.view.dragRow, platform::listCurrentRow(gadgetClipList));
      else if (event.gadget == gadgetSetList && p.view.dragSource == gadgetClipList)
        ops::dropOnSetList(p);
      p.view.dragActive = 0;
      break;
    case platform::EVENT_MENU: runMenuCommand(p, event.gadget); break;
    case platform::EVENT_TRAY: trayIconEvent(p, event.type); break;
    case platform::EVENT_CLOSE:
      // The close box only puts the program away into the tray.
      platform::showWindow(p.mainWindow, platform::SW_MINIMIZE);
      if (platform::isIconic(p.mainWindow)) platform::showWindow(p.mainWindow, platform::SW_HIDE);
      break;
    default: break;
  }
}

}  // namespace app
