// Transfers. Every destination is checked against the set table before anything is written, the
// trash of a "D" mark is decided where the mark is applied (it is never left behind for the next
// move), and a batch the engine did not commit is re-read from the store, so the list never shows
// a clip where it is not.
#include "ops/transfer.h"

#include <cstdio>

#include "capture/command_clip.h"
#include "capture/text_capture.h"
#include "core/clip_text.h"
#include "core/log.h"
#include "core/program.h"
#include "ops/active_set.h"
#include "ops/set_commands.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/keyboard.h"
#include "store/clip_store.h"
#include "store/sets.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/guards.h"
#include "ui/status.h"
#include "ui/tray_menu.h"

namespace ops {

namespace {

constexpr int progressEvery = 7;
constexpr int progressFrom = 7;  // smaller transfers show no progress

void tell(core::Program& p, const std::string& text) {
  platform::messageBox(p.mainWindow, text, core::productName, platform::MB_OK | platform::MB_ICONINFORMATION);
}

// "Working" and one to three arrows, turning every few clips.
void showProgress(core::Program& p, int done, int every) {
  if (done % every != 0) return;
  if (p.edit.progress.compare("> > ") > 0) p.edit.progress.clear();
  p.edit.progress += "> ";
  ui::showStatus(p, "Working" + p.edit.progress, ui::colour::lightCyan, ui::colour::black);
}

bool validDestination(core::Program& p, const std::string& destination) {
  return !destination.empty() && destination != p.settings.activeSetName && store::setRowExists(p, destination);
}

// 1 when the clip was duplicated, 0 when it was not written, -1 when it could not be read.
int duplicateClip(core::Program& p, const core::ClipRow& element, const std::string& destination) {
  p.currentKey = std::to_string(element.key);
  if (store::ReadClip(p) == 0) return -1;
  core::ClipRecord& r = p.clip;
  r.cSet = destination;
  r.cDate = element.date;
  r.cSource = element.source;
  r.exactSource = element.exactSource;
  return store::WriteClipDB(p, true);
}

// Adds the clip's text to the combined text; false when it cannot take part.
bool gatherText(core::Program& p, const core::ClipRow& element, std::string& combined) {
  p.currentKey = std::to_string(element.key);
  if (store::ReadClip(p) == 0) {
    ui::showActionFailed(p);
    return false;
  }
  if (!ui::requireTextClip(p)) return false;
  // The exact texts are joined, as UTF-8.
  if (combined.empty()) {
    combined = core::clipText(p.clip);
  } else {
    if (combined.size() >= 2 && combined.compare(combined.size() - 2, 2, "\r\n") == 0) combined.resize(combined.size() - 2);
    combined += "\r\n" + core::clipText(p.clip);
  }
  return true;
}

// The store did not keep all of a batch: the list is read again from it.
void reloadAfterLostBatch(core::Program& p) {
  core::writeLog(p, p.captureTime + " transfer not committed " + p.db.DbLastMessage());
  p.view.transferCount = 0;
  LoadActiveSet(p);
  ui::showActionFailed(p);
}

}  // namespace

std::string openTargetDestination(const core::Program& p) {
  return p.view.targetSetOpen == 1 ? p.edit.openTargetName : std::string();
}

void transferSelectedClips(core::Program& p, const std::string& destination) {
  core::ViewState& v = p.view;
  const int mode = v.transferMode;
  // Any transfer ends a pending pick of a Move/Dup target: the set click after it would otherwise
  // run this transfer's mode on the clips selected then.
  if (v.pendingSetClick == "A") v.pendingSetClick.clear();

  const int n = static_cast<int>(v.rows.size());
  const std::vector<int> selected = platform::listSelectedRows(ui::gadgetClipList);
  const int selCount = static_cast<int>(selected.size());
  if (selCount > n) {
    tell(p, "The selected item count appears to be greater than the number of items in the Set\n\rPlease clear and "
            "select again");
    core::writeLog(p, p.captureTime + " The selected item count appears to be greater than the number of items " +
                         std::to_string(selCount) + "List count = " + std::to_string(n));
    core::flushLog(p);
  }
  if ((mode == transferDuplicate || mode == transferMove) && !validDestination(p, destination)) {
    tell(p, "No Valid Target selected for Move");
    p.capture.ownWrite = 0;
    return;
  }

  p.edit.progress.clear();
  std::string combined;
  bool combineOk = true;
  bool tooLarge = false;  // told already
  int combineFirstRow = -1;
  int prevRow = -1;
  bool failed = false;  // a clip not read or not written: the rest is left alone
  const bool batch = mode != transferCombine && selCount > 1;
  if (batch) store::BeginBatch(p);
  for (int k = 0; k < selCount; ++k) {
    const int row = selected[static_cast<std::size_t>(k)];
    v.currentRow = row;
    if (selCount > progressFrom) showProgress(p, k, progressEvery);
    const int element = ui::elementIndexOfRow(p, row);
    if (element < 0) continue;
    v.currentElement = element;
    core::ClipRow& e = v.rows[static_cast<std::size_t>(element)];
    if (mode == transferDuplicate) {
      if (duplicateClip(p, e, destination) != 1) {
        failed = true;
        break;
      }
    } else if (mode == transferCombine) {
      if (selCount == 1) {
        ui::showActionFailed(p);
        if (combineFirstRow < 0) combineFirstRow = row;
        combineOk = false;
      }
      if (combineOk && !gatherText(p, e, combined)) {
        combineOk = false;
        if (combineFirstRow < 0) combineFirstRow = row;
      }
      if (combineOk && capture::refuseOversizedText(p, combined.size(), "combined text")) {
        combineOk = false;
        tooLarge = true;
        if (combineFirstRow < 0) combineFirstRow = row;
      }
    } else if (mode == transferMove) {
      p.currentKey = std::to_string(e.key);
      if (store::MoveClip(p, destination) < 0) {
        failed = true;
        break;
      }
      e.transferMark = "M";
      ++v.transferCount;
    } else {
      e.transferMark = "D";
      ++v.transferCount;
    }
    prevRow = row;
  }
  if (mode == transferMove || mode == transferTrash) finishMoves(p);
  if (batch && !store::CommitBatch(p)) {
    reloadAfterLostBatch(p);
    return;
  }
  if (failed) {
    ui::showActionFailed(p);
    p.capture.ownWrite = 0;
    return;
  }

  if (mode == transferCombine) {
    if (!combineOk) {
      if (!tooLarge) ui::showActionFailed(p);
      platform::deselectListRows(ui::gadgetClipList);
      v.currentRow = combineFirstRow < 0 ? 0 : combineFirstRow;
      ui::selectRow(p);
      ui::showClipContent(p);
      return;
    }
    // Stored as it is: never dropped as a repeat, never added to what combine mode gathers.
    if (capture::storeCommandClip(p, combined, "Tandrel Combined", " ") == 0) ui::showActionFailed(p);
  }

  ui::showStatus(p, "Action Complete", ui::colour::blue, ui::colour::white);
  p.edit.transferTotal += selCount;
  p.capture.ownWrite = 0;
  if (!v.rows.empty()) {
    if (selCount >= 1 && mode != transferTrash) v.currentRow = prevRow;
    if (ui::elementAtRow(p, v.currentRow) == nullptr || v.currentRow >= static_cast<int>(v.rows.size()) ||
        mode == transferCombine) {
      v.currentRow = 0;
      v.copyOnShow = 1;
    }
    platform::deselectListRows(ui::gadgetClipList);
    ui::selectRow(p);
    ui::showClipContent(p);
    v.copyOnShow = 0;
    if (v.dragActive != 1)
      platform::setPanelTab(ui::gadgetContentPanel, ui::currentClipIsImage(p) ? ui::tabImage : ui::tabText);
  }
  uncheckSetRows(p);
}

void finishMoves(core::Program& p) {
  core::ViewState& v = p.view;
  p.capture.ownWrite = 1;
  std::vector<core::ClipRow> kept;
  kept.reserve(v.rows.size());
  bool refused = false;  // after one refusal (told to the user) the other clips stay where they are
  for (core::ClipRow& e : v.rows) {
    bool gone = e.transferMark == "M";
    if (e.transferMark == "D" && !refused) {
      p.currentKey = std::to_string(e.key);
      gone = store::MoveClip(p, core::trashSetName) >= 0;
      refused = !gone;
    }
    if (!gone) {
      e.transferMark.clear();
      kept.push_back(std::move(e));
      continue;
    }
    ++p.edit.transferTotal;
  }
  const bool emptied = kept.empty() && !v.rows.empty();
  v.rows = std::move(kept);
  v.currentRow -= v.transferCount;
  if (v.currentRow < 0) v.currentRow = 0;
  if (emptied) {
    ui::clearClipView(p);
    v.currentText = v.shownText = " ";
    p.clip.cText = p.clip.cRTF = " ";
    p.capture.clipText = " ";
  } else {
    ui::fillClipList(p);
  }
  ui::buildTrayMenu(p);
  v.transferCount = 0;
  p.capture.ownWrite = 0;
}

void combineSelectedClips(core::Program& p) {
  if (!ui::requireSelection(p)) return;
  p.view.transferMode = transferCombine;
  transferSelectedClips(p, "");
}

void trashSelectedClips(core::Program& p) {
  if (!ui::requireSelection(p)) return;
  p.view.transferMode = transferTrash;
  transferSelectedClips(p, "");
}

void dropOnSetList(core::Program& p) {
  const std::string name = selectedSetName(p);
  if (name.empty()) {
    ui::showActionFailed(p);
    return;
  }
  // The key as it is now, when the drop happens.
  const bool control = (platform::getAsyncKeyState(platform::VK_CONTROL) & 0x8000) != 0;
  if (!ui::requireSelection(p)) return;
  p.view.transferMode = control ? transferDuplicate : transferMove;
  transferSelectedClips(p, name);
  platform::setPanelTab(ui::gadgetContentPanel, ui::tabSets);
}

void dragAutoScroll(core::Program&) {
  // The clip list's top band is its column header; the set list's a fixed 20 pixels.
  for (const auto& [gadget, topBand] : {std::pair{ui::gadgetClipList, 0}, std::pair{ui::gadgetSetList, 20}}) {
    const int band = platform::listPointerBand(gadget, topBand);
    if (band == 0) continue;
    const int top = platform::listTopRow(gadget);
    if (band < 0 && top > 0) platform::ensureListRowVisible(gadget, top - 1);
    if (band > 0) {
      const int below = top + platform::listRowsPerPage(gadget);
      if (below < platform::listRowCount(gadget)) platform::ensureListRowVisible(gadget, below);
    }
  }
}

}  // namespace ops
