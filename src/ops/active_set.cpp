// The active set: the set whose clips the list shows, remembered in the settings.
#include "ops/active_set.h"

#include "core/program.h"
#include "core/settings.h"
#include "ops/set_commands.h"
#include "ops/target_set.h"
#include "platform/gadgets.h"
#include "store/sets.h"
#include "ui/gadgets.h"
#include "ui/status.h"

namespace ops {

void uncheckSetRows(core::Program&) { platform::deselectListRows(ui::gadgetSetList); }

void chooseActiveSet(core::Program& p) {
  const std::string selected = ops::selectedSetName(p);
  if (selected.empty()) {
    ui::showStatus(p, "Select Set", ui::colour::black, ui::colour::white);
    p.view.pendingSetClick = "S";
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabSets);
  } else {
    p.view.pickedSet = selected;
    openActiveSet(p);
    p.view.statusMsg.clear();
    ui::refreshStatus(p);
  }
  uncheckSetRows(p);
}

void openActiveSet(core::Program& p) {
  const std::string selected = ops::selectedSetName(p);
  if (!selected.empty()) {
    p.view.pickedSet = selected;
    uncheckSetRows(p);
  }
  if (p.view.pickedSet.empty()) return;
  // A set that is gone leaves the active set as it was.
  if (store::SetExists(p, p.view.pickedSet) == 0) {
    uncheckSetRows(p);
    return;
  }
  p.settings.activeSetName = p.view.pickedSet;
  // A set cannot be both the active set and the target.
  if (p.view.targetSetOpen == 1 && p.view.pickedSet == p.edit.openTargetName) closeTargetSet(p);
  ops::LoadActiveSet(p);
  ui::refreshStatus(p);
  core::saveSettings(p);
}

}  // namespace ops
