// Notes. Each note is written over the clip whose key was read for it, and a clip that cannot be
// read stops the numbering, so no note ever lands on another clip.
#include "ops/notes.h"

#include <cctype>
#include <cstdio>

#include "core/log.h"
#include "core/program.h"
#include "core/text.h"
#include "core/web_address.h"
#include "ops/set_commands.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/shell.h"
#include "store/clip_store.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/guards.h"
#include "ui/menus.h"
#include "ui/prompt.h"
#include "ui/status.h"

namespace ops {

namespace {

const std::string sequenceMark = "(>)";
// Our prefixes carry at least five digits; a note that merely starts with "(>)" keeps its text.
constexpr std::size_t sequenceDigits = 5;
constexpr int progressEvery = 4;

std::string sequencePrefix(int row) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%05d", 100 + 10 * row);
  return sequenceMark + digits;
}

void tell(core::Program& p, const std::string& text) {
  platform::messageBox(p.mainWindow, text, core::productName, platform::MB_OK | platform::MB_ICONINFORMATION);
}

void openRowSource(core::Program& p) {
  p.view.currentRow = std::max(0, platform::listCurrentRow(ui::gadgetClipList));
  const std::string address = ui::currentRowAddress(p);
  if (!core::isWebAddress(address)) {
    tell(p, core::notAWebAddressMessage);
    return;
  }
  if (platform::shellExecute(p.mainWindow, "open", address, "", platform::SW_SHOWNORMAL) <= 32) ui::showActionFailed(p);
}

}  // namespace

// The prefix of the row at hand is taken whole, six digits from row 9,990 on. Any other prefix
// (the row moved since it was numbered) loses the mark and five digits only: taking every digit
// would eat a note that starts with a number of its own.
std::string withoutSequence(const std::string& note, int row) {
  const std::string own = sequencePrefix(row);
  if (note.compare(0, own.size(), own) == 0) return note.substr(own.size());
  if (note.compare(0, sequenceMark.size(), sequenceMark) != 0) return note;
  const std::size_t end = sequenceMark.size() + sequenceDigits;
  if (note.size() < end) return note;
  for (std::size_t i = sequenceMark.size(); i < end; ++i)
    if (!std::isdigit(static_cast<unsigned char>(note[i]))) return note;
  return note.substr(end);
}

void editNote(core::Program& p) {
  core::ViewState& v = p.view;
  if (v.rows.empty()) return;
  v.copyOnShow = 0;
  ui::showClipContent(p);
  core::ClipRow* row = ui::elementAtRow(p, v.currentRow);
  if (row == nullptr) return;
  const std::int64_t key = row->key;
  std::string note = ui::promptText(p, 500, 30, core::appName,
                                    std::string(25, ' ') + "Enter/Update Note Text - (100 char maximum)",
                                    core::trimBlanks(row->note), 0);
  if (note.empty()) return;
  // Blanks alone clear the note (an empty answer is the prompt's "keep it").
  if (core::trimBlanks(note).empty()) note = " ";
  // The prompt ran its own loop: the row is found again by its key.
  row = ui::elementWithKey(p, key);
  if (row == nullptr) return;
  row->note = note;
  ui::drawRows(p);
  p.currentKey = std::to_string(key);
  if (store::UpdateClipNote(p, note) == 0) tell(p, "Database Insert Error - Insert failed For Value " + p.db.DbLastMessage());
  ui::copyClip(p);
}

void editNoteCommand(core::Program& p) {
  if (!ui::requireClips(p)) return;
  p.view.currentRow = std::max(0, platform::listCurrentRow(ui::gadgetClipList));
  p.edit.openUrlChosen = 0;
  editNote(p);
  if (p.edit.openUrlChosen == 1) openRowSource(p);
}

int sequenceNotes(core::Program& p) {
  core::ViewState& v = p.view;
  const int n = static_cast<int>(v.order.size());
  if (n == 0) return 0;
  p.edit.progress.clear();
  store::BeginBatch(p);
  bool unreadable = false;
  for (int i = 0; i < n; ++i) {
    if (i % progressEvery == 0) {
      if (p.edit.progress.compare("> > ") > 0) p.edit.progress.clear();
      p.edit.progress += "> ";
      ui::showStatus(p, "Working" + p.edit.progress, ui::colour::black, ui::colour::lightCyan);
    }
    v.currentRow = i;
    ui::syncCurrentClip(p);
    core::ClipRow* row = ui::elementAtRow(p, i);
    if (row == nullptr) continue;
    p.currentKey = std::to_string(row->key);
    if (store::ReadClipFields(p) == 0) {
      core::writeLog(p, p.captureTime + " sequencing stopped at an unreadable clip " + p.currentKey);
      unreadable = true;
      break;
    }
    std::string note = withoutSequence(p.editCopy.note, i);
    if (v.removeSequence != 1) note = sequencePrefix(i) + note;
    if (note.empty()) note = " ";
    if (store::UpdateClipNote(p, note) == 0)
      tell(p, "Database Note Update Error - Insert failed For Value " + p.db.DbLastMessage());
    row->note = note;
  }
  // A clip that could not be read may have taken the batch with it: what shows is read again.
  if (!store::CommitBatch(p) || unreadable) {
    LoadActiveSet(p);
    ui::showActionFailed(p);
    return 0;
  }
  ui::drawRows(p);
  return 1;
}

}  // namespace ops
