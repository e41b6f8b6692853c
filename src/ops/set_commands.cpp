// The set commands: the store answers, these flows tell the user and redraw the list and status.
#include "ops/set_commands.h"

#include "core/program.h"
#include "core/set_names.h"
#include "core/text.h"
#include "core/step_timer.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/shell.h"
#include "platform/text_encoding.h"
#include "ops/target_set.h"
#include "platform/window.h"
#include "store/clip_store.h"
#include "store/sets.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/status.h"
#include "ui/tray_menu.h"

namespace ops {
namespace {

void tell(core::Program& p, const std::string& text, const std::string& title = core::appName) {
  platform::messageBox(p.mainWindow, text, title, platform::MB_OK | platform::MB_ICONINFORMATION);
}

}  // namespace

void InitClipStore(core::Program& p, bool insertActiveSet) {
  ui::clearClipView(p);
  if (store::CreateClipTables(p, insertActiveSet) == 0) ui::showActionFailed(p);
  RefreshSetFolders(p);
  p.view.windowTitle = core::trimBlanks(platform::getWindowText(p.mainWindow, 101));
  // A file read again (a refresh, a restore) may lack the open target: it is closed, never written to.
  if (p.view.targetSetOpen == 1 && !store::setRowExists(p, p.edit.openTargetName)) closeTargetSet(p);
  LoadActiveSet(p);
  p.view.currentRow = 0;
  ui::selectRow(p);
  ui::buildTrayMenu(p);
}

void LoadActiveSet(core::Program& p) {
  ui::clearClipView(p);
  ui::showStatus(p, "Selecting Clips", ui::colour::green, ui::colour::black);
  std::string& active = p.settings.activeSetName;
  if (!store::setRowExists(p, active)) {
    tell(p, "Active set " + active + " not found in database. Using default.");
    active = core::mainSetName;
    // Even the main set's row may be gone (a restored or damaged file): it is made again.
    if (!store::setRowExists(p, active)) store::insertSetRow(p, active);
  }
  core::markStep(p, "before rows");
  store::readSetRows(p, active);
  core::markStep(p, "read rows");
  ui::fillClipList(p);
  core::markStep(p, "fill list");
}

std::string selectedSetName(core::Program& p) {
  const auto selected = platform::listSelectedRows(ui::gadgetSetList);
  if (selected.empty() || selected.front() >= static_cast<int>(p.view.setNames.size())) return "";
  return p.view.setNames[static_cast<std::size_t>(selected.front())];
}

void RefreshSetFolders(core::Program& p) {
  // The list is refilled: a selection kept by row would now name another set.
  platform::deselectListRows(ui::gadgetSetList);
  p.view.setNames = store::readSetNames(p);
  core::Program* program = &p;
  platform::setListRows(ui::gadgetSetList, static_cast<int>(p.view.setNames.size()),
                        [program](int row, int) {
                          // Lists show UTF-8; set names are ANSI.
                          return row < static_cast<int>(program->view.setNames.size())
                                     ? platform::ansiToUtf8(program->view.setNames[static_cast<std::size_t>(row)])
                                     : std::string();
                        });
}

void NewSet(core::Program& p) {
  for (;;) {
    const auto answer = platform::inputBox(p.mainWindow, "New Set", "Enter Name For New Set (1 - 32 Characters)", "");
    if (!answer || answer->empty()) return;
    const std::string& name = *answer;
    if (name.size() > core::maxSetNameLength) {
      tell(p, "Sorry, but the Set name can not be more than 32 characters in length", "Name Error");
      continue;
    }
    if (!core::isUsableSetName(name) || !store::insertSetRow(p, name)) {
      tell(p, "Sorry, but " + name + " could not be added", "Name Error");
      return;
    }
    platform::createFolder(store::setFolder(p, name));
    RefreshSetFolders(p);
    ui::showStatus(p, "Action Complete", ui::colour::blue, ui::colour::white);
    return;
  }
}

int ValidateSelectedSet(core::Program& p) {
  const std::string name = selectedSetName(p);
  if (name.empty()) {
    tell(p, "Please select a set and try again");
    return 0;
  }
  p.view.pickedSet = name;
  if (store::SetExists(p, name) == 0) {
    tell(p, "Information: This doesn't appear to be a valid Set, please select another");
    return 0;
  }
  return 1;
}

void DeleteSet(core::Program& p) {
  if (ValidateSelectedSet(p) == 0) return;
  const std::string name = p.view.pickedSet;
  if (platform::messageBox(p.mainWindow, "Are you sure you want to delete " + name, core::appName,
                           platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
    return;
  if (!store::deleteSetData(p, name)) {
    ui::showActionFailed(p);
    return;
  }
  // Nothing may be moved into a set that is gone.
  if (p.view.targetSetOpen == 1 && name == p.edit.openTargetName) closeTargetSet(p);
  if (p.view.targetSet == name) p.view.targetSet.clear();
  RefreshSetFolders(p);
  ui::showStatus(p, "Set Deleted", ui::colour::blue, ui::colour::white);
}

void DeleteSetCommand(core::Program& p) {
  const std::string name = selectedSetName(p);
  if (name.empty()) {
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabSets);
    ui::refreshStatus(p);
    tell(p, "Please select a Set to delete and click 'Delete Set' again");
    return;
  }
  if (name == core::trashSetName || name == core::mainSetName || name == p.settings.activeSetName) {
    tell(p, "Sorry, you may not delete either the main, trash or Active set.");
    return;
  }
  DeleteSet(p);
  ui::refreshStatus(p);
}

}  // namespace ops
