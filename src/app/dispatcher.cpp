// Which handler runs for which event of the main window, with the guards that run first.
#include "app/dispatcher.h"

#include "capture/watcher.h"
#include "core/program.h"
#include "ops/active_set.h"
#include "ops/set_commands.h"
#include "platform/gadgets.h"
#include "platform/system.h"
#include "store/sets.h"
#include "ui/clip_list.h"
#include "ui/commands.h"
#include "ui/gadgets.h"
#include "ui/help_page.h"
#include "ui/layout.h"
#include "ui/status.h"
#include "ui/tray_menu.h"

namespace app {

using namespace core;
using namespace ui;
namespace {

// Guard: the list holds at least one clip.
bool requireClips(core::Program& p) {
  if (!p.view.rows.empty()) return true;
  showStatus(p, "Empty Set", colour::listBackground, colour::blue);
  p.view.shownText = " ";
  return false;
}

void endCombining(core::Program& p) { p.capture.combineCount = 0; }

// A left click waits for a possible second click; other events that arrive meanwhile are kept
// for the main loop, never thrown away.
void clickOnClipList(core::Program& p) {
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
}

void toggleCombine(core::Program& p) {
  if (p.capture.combineCount == 0) {
    p.capture.combineCount = 1;
    platform::setTrayIcon(p.mainWindow, platform::TrayImage::Combining, "Tandrel\x99 Waiting");
    p.capture.capturing = 1;
    p.capture.listPasteMode = 0;
  } else {
    platform::setTrayIcon(p.mainWindow, platform::TrayImage::Waiting, "Tandrel\x99 Waiting");
    p.capture.combineCount = 0;
  }
  p.capture.combinedText.clear();
  refreshStatus(p);
}

void switchSetsAndContent(core::Program& p) {
  if (platform::panelTab(gadgetContentPanel) == tabSets) {
    showActiveSetStatus(p);
    if (p.view.dragActive != 1) {
      const core::ClipRow* row = elementAtRow(p, p.view.currentRow);
      if (platform::listSelectedRows(gadgetClipList).empty() || row == nullptr || row->imageFlag != "Y") {
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

void toggleAdditionalInfo(core::Program& p) {
  if (p.view.infoShown == 1) {
    showCurrentRowClip(p);
    p.view.infoShown = 0;
  } else {
    showAdditionalInfo(p);
    p.view.infoShown = 1;
    refreshStatus(p);
  }
}

void setListClick(core::Program& p, int type) {
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
  }
}

void gadgetEvent(core::Program& p, const platform::WindowEvent& e) {
  if (e.type == platform::GADGET_DRAG_START) {
    endCombining(p);
    p.view.dragActive = 1;
    p.view.dragRow = platform::listCurrentRow(e.gadget);
    p.view.dragSource = e.gadget;
    return;
  }
  switch (e.gadget) {
    case gadgetClipList:
      if (e.type == platform::GADGET_LEFT_CLICK) clickOnClipList(p);
      else if (e.type == platform::GADGET_DOUBLE_CLICK) {
        activateClip(p);  // a double click that arrived on its own
        buildTrayMenu(p);
      }
      else if (e.type == platform::GADGET_COLUMN_CLICK) sortByColumn(p, static_cast<int>(e.data));
      else if (e.type == platform::GADGET_RIGHT_CLICK) {
        const int row = platform::listCurrentRow(gadgetClipList);
        if (row >= 0 && row != p.view.currentRow) {
          p.view.currentRow = row;
          showCurrentRowClip(p);
        }
      }
      break;
    case gadgetSplitter:
      if (e.type == platform::GADGET_SPLITTER_MOVE) moveSplitter(p, static_cast<int>(e.data));
      break;
    case gadgetContentPanel:
      if (e.type == platform::GADGET_TAB_CHANGE) onTabChange(p);
      break;
    case gadgetLogo:
      if (p.view.browserAvailable)
        platform::browserNavigate(gadgetHelpBrowser, webSite + "help_20.htm?" + core::productVersion);
      platform::setPanelTab(gadgetContentPanel, tabHelp);
      break;
    case gadgetAdditionalInfo:
      endCombining(p);
      if (requireClips(p)) toggleAdditionalInfo(p);
      break;
    case gadgetCaptureToggle:
      endCombining(p);
      capture::toggleCapture(p);
      refreshStatus(p);
      break;
    case gadgetCombineCaptures: toggleCombine(p); break;
    case gadgetSetActions:
      endCombining(p);
      switchSetsAndContent(p);
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
    case gadgetSetList:
      endCombining(p);
      setListClick(p, e.type);
      break;
    default: break;
  }
}

}  // namespace

platform::WindowEvent nextEvent(core::Program& p, int milliseconds) {
  if (!p.heldEvents.empty()) {
    const platform::WindowEvent e = p.heldEvents.front();
    p.heldEvents.pop_front();
    return e;
  }
  return platform::waitWindowEvent(milliseconds);
}

void handleMainEvent(core::Program& p, const platform::WindowEvent& event) {
  switch (event.kind) {
    case platform::EVENT_GADGET: gadgetEvent(p, event); break;
    case platform::EVENT_DROP:
      if (event.gadget == gadgetClipList && p.view.dragSource == gadgetClipList)
        reorderRowsByDrop(p, p.view.dragRow, platform::listCurrentRow(gadgetClipList));
      p.view.dragActive = 0;
      break;
    case platform::EVENT_MENU:
      if (event.gadget == commandExit || event.gadget == commandTrayExit) {
        p.quitRequested = 1;
      } else if (event.gadget == commandCleanExit) {
        p.cleanOnExit = 1;
        p.quitRequested = 1;
      } else if (event.gadget == commandShowWindow) {
        platform::showWindow(p.mainWindow, platform::SW_RESTORE);
        platform::setForegroundWindow(p.mainWindow);
      } else if (event.gadget == commandCaptureToggle) {
        endCombining(p);
        capture::toggleCapture(p);
        refreshStatus(p);
        buildTrayMenu(p);
      } else if (event.gadget >= commandFirstRecentClip && event.gadget < commandFirstRecentClip + recentClips) {
        pickRecentClip(p, event.gadget - commandFirstRecentClip);
      }
      break;
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
