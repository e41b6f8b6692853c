// Command guards: one place, so every command stops the same way on the same condition.
#include "ui/guards.h"

#include "core/program.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/status.h"

namespace ui {

bool currentClipIsImage(core::Program& p) {
  const core::ClipRow* row = elementAtRow(p, p.view.currentRow);
  return row != nullptr && row->imageFlag == "Y";
}

bool requireClips(core::Program& p) {
  if (!p.view.rows.empty()) return true;
  showStatus(p, "Empty Set", colour::listBackground, colour::blue);
  p.view.shownText = " ";
  return false;
}

bool requireTextClip(core::Program& p) {
  if (!p.view.rows.empty() && !currentClipIsImage(p) && p.capture.listPasteMode == 0) return true;
  showActionFailed(p);
  return false;
}

bool requireImageClip(core::Program& p) {
  if (!p.view.rows.empty() && currentClipIsImage(p)) return true;
  showActionFailed(p);
  return false;
}

bool requireSelection(core::Program& p) {
  if (!platform::listSelectedRows(gadgetClipList).empty()) return true;
  platform::messageBox(p.mainWindow, "Unable to detect any selected items, please try again", core::productName,
                       platform::MB_OK | platform::MB_ICONINFORMATION);
  return false;
}

}  // namespace ui
