// The menu bar and the popups. Entries that come and go (the target set's, the web source's, the
// image clip's) follow the state at the time of the last build.
#include "ui/menus.h"

#include <vector>

#include "core/clip_text.h"
#include "core/program.h"
#include "core/text.h"
#include "core/web_address.h"
#include "platform/gadgets.h"
#include "platform/text_encoding.h"
#include "ui/clip_list.h"
#include "ui/commands.h"
#include "ui/guards.h"

namespace ui {
namespace {

using Items = std::vector<platform::MenuItem>;
const platform::MenuItem separator{};

platform::MenuItem item(int id, const char* caption, bool enabled = true) { return {id, caption, enabled, {}}; }
platform::MenuItem submenu(const char* caption, Items items) { return {0, caption, true, std::move(items)}; }

bool currentSourceIsWeb(core::Program& p) {
  return !p.view.rows.empty() && core::isWebAddress(currentRowAddress(p));
}

}  // namespace

const char* captureCaption(const core::Program& p) {
  return p.capture.capturing == 1 ? "Turn off clip collecting" : "Turn on clip collecting";
}

std::string currentRowAddress(core::Program& p) {
  const core::ClipRow* row = elementAtRow(p, p.view.currentRow);
  if (row == nullptr) return "";
  return core::trimBlanks(row->note.compare(" ") > 0 ? platform::ansiToUtf8(row->note) : core::rowSource(*row));
}

void buildMainMenu(core::Program& p) {
  const bool web = currentSourceIsWeb(p);
  const std::string signature = std::to_string(p.capture.capturing) + std::to_string(p.view.targetSetOpen) +
                                (web ? "w" : "-");
  if (signature == p.view.mainMenuSignature) return;
  p.view.mainMenuSignature = signature;

  Items clipActions = {item(commandSearchClips, "Search All Clips"),
                       item(commandDeleteClips, "Delete Clip(s)"),
                       item(commandCombineSelected, "Combine Selected Clips"),
                       separator,
                       item(commandPrintClip, "Print Clip"),
                       separator,
                       item(commandCopyClipSource, "Copy Clip Source to Clipboard"),
                       item(commandEditNote, "Edit Clip Note"),
                       item(commandAddSequence, "Add Sequence Numbers to Notes"),
                       item(commandRemoveSequence, "Remove Sequence Numbers from Notes")};
  if (web) clipActions.push_back(item(commandOpenSource, "Open Clip Source In Browser"));
  const Items textActions = {item(commandCutText, "Cut Selected Data from text to clipboard"),
                             item(commandCopyText, "Copy Selected Data to clipboard"),
                             item(commandPasteText, "Paste clipboard contents into 'Text' entry"),
                             item(commandSearchText, "Search 'Text' entry"),
                             item(commandFindReplace, "Find and replace text"),
                             item(commandDeleteText, "Delete selected text"),
                             separator,
                             item(commandAddItemToSet, "Add Item to Active Clip Set"),
                             item(commandSaveImageAsFile, "Save Image as File"),
                             separator,
                             item(commandAdditionalInfo, "Display Additional Clip Information")};
  const Items bar = {
      submenu("&File", {item(commandCreateSet, "Create New Set"),
                        item(commandChangeActiveSet, "Change Active Set"),
                        separator,
                        item(commandOpenTargetSet, "Open Set as Move/Duplicate target"),
                        item(commandCloseTargetSet, "Close Target Set", p.view.targetSetOpen == 1),
                        separator,
                        item(commandDeleteSet, "Delete Set"),
                        separator,
                        item(commandRefreshList, "Refresh Cliplist Display"),
                        separator,
                        item(commandPrintItemText, "Print Item Text"),
                        separator,
                        item(commandBackup, "Backup Database"),
                        item(commandRestore, "Restore Database from Backup"),
                        item(commandRestoreOriginal, "Replace the current Database from the original Database"),
                        separator,
                        item(commandConvertOldSet, "Convert Old Format Tandrel Set"),
                        separator,
                        item(commandExit, "Exit")}),
      submenu("&Edit", {submenu("Actions applying to Clip List", clipActions),
                        separator,
                        submenu("Actions applying to text in 'Text' panel", textActions),
                        separator,
                        item(commandQuickPaste, "Quick Paste: find any clip\tCtrl+Alt+H")}),
      submenu("&Options", {item(commandOptions, "Select options"),
                           item(commandCaptureToggle, captureCaption(p)),
                           separator,
                           item(commandToggleTooltips, "Toggle Tooltips On/Off"),
                           item(commandTooltipColour, "Select ToolTip Color"),
                           item(commandCheckVersion, "Check for new version of Tandrel")}),
      submenu("&Help", {item(commandHomePage, "Open Tandrel Home Page in Browser Window"),
                        item(commandRepairChain, "Repair Clipboard Chain"),
                        item(commandAbout, "About Tandrel")}),
  };
  platform::setMenuBar(p.mainWindow, bar);
}

void setWindowKeys(core::Program& p) {
  constexpr int VK_UP = 0x26, VK_DOWN = 0x28, VK_DELETE = 0x2E;
  platform::setKeyCommands(p.mainWindow, {{VK_UP, commandKeyUp}, {VK_DOWN, commandKeyDown}, {VK_DELETE, commandKeyDelete}});
}

void buildClipPopup(core::Program& p) {
  Items items = {item(commandDeleteClips, "Delete Clip(s)"),
                 item(commandCopyClipSource, "Copy Clip Source to Clipboard"),
                 item(commandEditNote, "Edit Clip Note"),
                 item(commandAddItemToSet, "Add Item to Active Clip Set"),
                 item(commandAdditionalInfo, "Display Additional Clip Information")};
  if (!p.view.rows.empty()) {
    if (currentClipIsImage(p)) {
      items.push_back(item(commandSaveImageAsFile, "Save Image as File"));
    } else {
      items.push_back(item(commandCombineSelected, "Combine Selected Clips"));
      items.push_back(item(commandPrintItemText, "Print Item Text"));
    }
    if (currentSourceIsWeb(p)) items.push_back(item(commandOpenSource, "Open Clip Source In Browser"));
  }
  if (p.view.targetSetOpen == 1) {
    items.push_back(item(commandMoveToTarget, "Move Clip(s) to selected 'Target' Set"));
    items.push_back(item(commandCopyToTarget, "Copy Clip(s) to selected 'Target' Set"));
  }
  platform::setPopupMenu(p.mainWindow, clipPopupNumber, items);
}

void buildSetPopup(core::Program& p) {
  Items items = {item(commandUseAsActiveSet, "Open/Use as active Set"),
                 item(commandSelectTargetSet, "Select as Move/Copy target Set")};
  if (p.view.targetSetOpen == 1) items.push_back(item(commandCloseTargetSet, "Close Target Set"));
  items.push_back(item(commandDeleteSetPopup, "Delete Set"));
  platform::setPopupMenu(p.mainWindow, setPopupNumber, items);
}

void buildImagePopup(core::Program& p) {
  platform::setPopupMenu(p.mainWindow, imagePopupNumber,
                         {item(commandSaveImageInList, "Save Image in Clips List"),
                          item(commandSaveImageFromPopup, "Save Image as file")});
}

}  // namespace ui
