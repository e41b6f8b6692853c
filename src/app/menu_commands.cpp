// The menu and shortcut commands: one number per command, whichever menu or key sent it.
#include <string>

#include "app/dispatcher.h"
#include "capture/watcher.h"
#include "core/clipboard_write.h"
#include "core/program.h"
#include "core/web_address.h"
#include "ops/active_set.h"
#include "ops/conversion.h"
#include "ops/quick_paste.h"
#include "ops/database_commands.h"
#include "ops/find.h"
#include "ops/image_commands.h"
#include "ops/notes.h"
#include "ops/printing.h"
#include "ops/set_commands.h"
#include "ops/target_set.h"
#include "ops/text_edit.h"
#include "ops/transfer.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/text_encoding.h"
#include "platform/window.h"
#include "ui/clip_list.h"
#include "ui/commands.h"
#include "ui/gadgets.h"
#include "ui/guards.h"
#include "ui/help_page.h"
#include "ui/layout.h"
#include "ui/menus.h"
#include "ui/options_dialog.h"
#include "ui/status.h"
#include "ui/tray_menu.h"

namespace app {

using namespace core;
using namespace ui;

namespace {

constexpr int VK_UP = 0x26;
constexpr int VK_DOWN = 0x28;
constexpr int VK_DELETE = 0x2E;

// Up and Down step through the list; with List Paste on, each step puts the clip on the clipboard.
void moveSelection(Program& p, int step) {
  p.capture.ownWrite = 1;
  const int before = platform::listCurrentRow(gadgetClipList);
  int row = before;
  if (step < 0 && row > 0) --row;
  if (step > 0 && row >= 0 && row < static_cast<int>(p.view.rows.size()) - 1) ++row;
  if (row != before) {
    p.view.currentRow = row;
    if (p.capture.listPasteMode == 1) {
      platform::deselectListRows(gadgetClipList);
      p.view.copyOnShow = 1;
    } else {
      p.view.copyOnShow = 0;
    }
    showClipContent(p);
    selectRow(p);
  }
  p.capture.ownWrite = 0;
}

// Keys typed while the editor has the focus are the editor's.
bool keyToEditor(int virtualKey) {
  if (platform::focusedGadget() != gadgetTextEditor) return false;
  platform::sendGadgetKey(gadgetTextEditor, virtualKey);
  return true;
}

void copyClipSource(Program& p) {
  p.view.currentRow = std::max(0, platform::listCurrentRow(gadgetClipList));
  const std::string source = currentRowAddress(p);
  // Straight onto the clipboard as our own write: the editor keeps the clip's text, and the
  // source is not captured back as a clip.
  if (!replaceClipboardText(p, source, true)) showActionFailed(p);
}

void openClipSource(Program& p) {
  p.view.currentRow = std::max(0, platform::listCurrentRow(gadgetClipList));
  const std::string address = currentRowAddress(p);
  if (!isWebAddress(address)) {
    platform::messageBox(p.mainWindow, notAWebAddressMessage, productName, platform::MB_OK | platform::MB_ICONINFORMATION);
    return;
  }
  if (platform::shellExecute(p.mainWindow, "open", platform::utf8ToAnsi(address), "", platform::SW_SHOWNORMAL) <= 32)
    showActionFailed(p);
}

void refreshClipList(Program& p) {
  // A refresh reloads what is stored; the first run's welcome clip belongs to the start-up only.
  p.freshStart = 0;
  ops::InitClipStore(p);
  resetColumnTitles(p);
}

void showMainWindow(Program& p) {
  // Only a minimised window is restored: a maximised one stays maximised.
  if (platform::isIconic(p.mainWindow)) {
    platform::showWindow(p.mainWindow, platform::SW_MINIMIZE);
    platform::sleep(250);
    platform::showWindow(p.mainWindow, platform::SW_RESTORE);
  } else if (!platform::isWindowVisible(p.mainWindow)) {
    platform::showWindow(p.mainWindow, platform::SW_SHOW);
  }
  platform::setForegroundWindow(p.mainWindow);
}

void toggleCaptureFromTray(Program& p) {
  capture::toggleCapture(p);
  // Combine mode goes on across the switch; its icon says so.
  if (p.capture.combineCount != 0)
    platform::setTrayIcon(p.mainWindow, platform::TrayImage::Combining, "Tandrel\x99 Waiting");
  buildMainMenu(p);
  refreshStatus(p);
  buildTrayMenu(p);
}

void toggleTooltips(Program& p) {
  p.settings.showTooltips = p.settings.showTooltips == 1 ? 0 : 1;
  if (p.settings.showTooltips == 1) createTooltips(p);
  else removeTooltips(p);
}

// Commands that leave combine mode alone.
bool keepsCombining(int command) {
  switch (command) {
    case commandAbout: case commandCheckVersion: case commandToggleTooltips: case commandTooltipColour:
    case commandHomePage: case commandExit: case commandShowWindow: case commandTrayExit:
    case commandCleanExit: case commandCaptureToggle: case commandQuickPaste:
      return true;
    default:
      return command >= commandFirstRecentClip && command < commandFirstRecentClip + recentClips;
  }
}

}  // namespace

void runMenuCommand(Program& p, int command) {
  if (!keepsCombining(command)) endCombining(p);
  switch (command) {
    case commandKeyDelete:
      if (keyToEditor(VK_DELETE)) break;
      p.view.currentRow = platform::listCurrentRow(gadgetClipList);
      if (requireSelection(p)) {
        p.view.transferMode = 2;
        ops::transferSelectedClips(p, "");
      }
      break;
    case commandKeyUp:
      if (requireClips(p) && !keyToEditor(VK_UP)) moveSelection(p, -1);
      break;
    case commandKeyDown:
      if (requireClips(p) && !platform::listSelectedRows(gadgetClipList).empty() && !keyToEditor(VK_DOWN))
        moveSelection(p, 1);
      break;
    case commandCreateSet: ops::NewSet(p); break;
    case commandChangeActiveSet: ops::chooseActiveSet(p); break;
    case commandSaveToDatabase: break;
    case commandCutText:
      if (requireTextClip(p)) ops::cutToNewClip(p);
      break;
    case commandCopyText:
      if (requireTextClip(p)) ops::copySelection(p);
      break;
    case commandPasteText:
      if (requireTextClip(p)) ops::pasteIntoEditor(p);
      break;
    case commandDeleteText:
      if (requireTextClip(p)) ops::deleteSelection(p);
      break;
    case commandSelectAllText:
      if (requireTextClip(p)) ops::selectAllText(p);
      break;
    case commandSearchText:
      if (requireTextClip(p)) {
        platform::setEditorCaret(gadgetTextEditor, 0);
        ops::findInText(p);
      }
      break;
    case commandFindReplace:
      if (requireTextClip(p)) ops::openReplaceDialog(p);
      break;
    case commandPrintItemText:
      if (requireTextClip(p)) ops::printTextClip(p);
      break;
    case commandPrintClip:
      if (requireTextClip(p)) ops::printTextClip(p);
      break;
    case commandSaveImageFromPopup:
      if (requireImageClip(p)) ops::saveImageAsFile(p);
      break;
    case commandSaveImageInList:
      if (requireImageClip(p)) ops::saveImageInClipList(p);
      break;
    case commandSaveImageAsFile:
      if (requireImageClip(p)) ops::saveImageClipAsFile(p);
      break;
    case commandAddItemToSet:
      if (requireImageClip(p) && !ops::addShownImage(p)) showStatus(p, "Invalid Selection", colour::white, colour::red);
      break;
    case commandRefreshList: refreshClipList(p); break;
    case commandUseAsActiveSet:
      ops::openActiveSet(p);
      refreshStatus(p);
      break;
    case commandOpenTargetSet: ops::chooseTargetSet(p); break;
    case commandSelectTargetSet: ops::openTargetSet(p); break;
    case commandCloseTargetSet: ops::closeTargetSet(p); break;
    case commandSearchClips:
      if (requireClips(p)) ops::searchAllClips(p);
      break;
    case commandCombineSelected: ops::combineSelectedClips(p); break;
    case commandDeleteSet:
    case commandDeleteSetPopup:
      ops::DeleteSetCommand(p);
      break;
    case commandBackup: ops::BackupDatabase(p); break;
    case commandRestore: ops::RestoreBackup(p); break;
    case commandRestoreOriginal: ops::RestoreMaintenanceCopy(p); break;
    case commandConvertOldSet: ops::ConvertSets(p); break;
    case commandCopyClipSource:
      if (requireClips(p)) copyClipSource(p);
      break;
    case commandEditNote: ops::editNoteCommand(p); break;
    case commandAddSequence:
    case commandRemoveSequence:
      if (requireClips(p)) {
        p.view.removeSequence = command == commandRemoveSequence ? 1 : 0;
        if (ops::sequenceNotes(p))
          showStatus(p, p.view.removeSequence == 1 ? "Cleared" : "Sequenced", colour::lightCyan, colour::black);
        resetColumnTitles(p);
      }
      break;
    case commandOpenSource:
      if (requireClips(p)) openClipSource(p);
      break;
    case commandAdditionalInfo:
      if (requireClips(p)) toggleAdditionalInfo(p);
      break;
    case commandDeleteClips:
      if (requireClips(p) && requireSelection(p)) {
        p.view.transferMode = 2;
        ops::transferSelectedClips(p, "");
      }
      break;
    case commandMoveToTarget:
    case commandCopyToTarget:
      if (requireSelection(p)) {
        p.view.transferMode = command == commandMoveToTarget ? 1 : 0;
        ops::transferSelectedClips(p, ops::openTargetDestination(p));
      }
      break;
    case commandOptions: openOptionsDialog(p); break;
    case commandQuickPaste: ops::openQuickPasteFromMenu(p); break;
    case commandAbout: showAbout(p); break;
    case commandCheckVersion: checkForNewVersion(p); break;
    case commandHomePage: openHomePage(p); break;
    case commandToggleTooltips: toggleTooltips(p); break;
    case commandTooltipColour: chooseTooltipColour(p); break;
    case commandRepairChain: capture::rejoinChain(p); break;
    case commandExit:
    case commandTrayExit:
      p.quitRequested = 1;
      break;
    case commandCleanExit:
      p.cleanOnExit = 1;
      p.quitRequested = 1;
      break;
    case commandShowWindow: showMainWindow(p); break;
    case commandCaptureToggle: toggleCaptureFromTray(p); break;
    default:
      if (command >= commandFirstRecentClip && command < commandFirstRecentClip + recentClips)
        pickRecentClip(p, command - commandFirstRecentClip);
      break;
  }
}

}  // namespace app
