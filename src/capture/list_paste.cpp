// List Paste. The step reads the next clip before it touches the clipboard and moves the selection
// only once the clip is there, so a failed step leaves the user where they were.
#include "capture/list_paste.h"

#include <optional>

#include "capture/watcher.h"
#include "core/clip_text.h"
#include "core/clipboard_write.h"
#include "core/program.h"
#include "platform/gadgets.h"
#include "store/clip_store.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/guards.h"
#include "ui/status.h"

namespace capture {
namespace {

bool isTextRow(core::Program& p, int row) {
  const core::ClipRow* element = ui::elementAtRow(p, row);
  return element != nullptr && element->imageFlag != "Y";
}

// The first text row after `row` (-1: from the top), wrapping; -1 when the list has none.
int nextTextRow(core::Program& p, int row) {
  const int count = static_cast<int>(p.view.order.size());
  for (int step = 1; step <= count; ++step) {
    const int candidate = ((row + step) % count + count) % count;
    if (isTextRow(p, candidate)) return candidate;
  }
  return -1;
}

// The whole text of a row's clip, read without making it the current clip.
std::optional<std::string> rowText(core::Program& p, int row) {
  const core::ClipRow* element = ui::elementAtRow(p, row);
  if (element == nullptr) return std::nullopt;
  const std::string savedKey = p.currentKey;
  const core::ClipRecord saved = p.clip;
  p.currentKey = std::to_string(element->key);
  std::optional<std::string> text;
  if (store::ReadClip(p) == 1) text = core::clipText(p.clip);
  p.currentKey = savedKey;
  p.clip = saved;
  return text;
}

// Puts a text row's clip on the clipboard as our own write, then shows and selects that row alone.
bool putRowOnClipboard(core::Program& p, int row) {
  const auto text = rowText(p, row);
  if (!text || !core::replaceClipboardText(p, *text, true)) return false;
  p.view.currentRow = row;
  ui::showClipContent(p);
  ui::selectRow(p);
  return true;
}

}  // namespace

std::string reverseCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    else if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

int toggleListPaste(core::Program& p) {
  core::CaptureState& c = p.capture;
  if (c.listPasteMode == 0) {
    if (!ui::requireTextClip(p)) return 0;
    c.listPasteMode = 1;
  } else {
    c.listPasteMode = 0;
  }
  // Capture goes the other way; switching it on also ends List Paste, so with capture off this
  // only switches capture on. The capture toggle redraws the List Paste button.
  // No copy is left pending: a row shown in List Paste is copied by the click or key that shows it,
  // and a copy pending after List Paste ends would replace the next copy another program makes.
  toggleCapture(p);
  return 0;
}

int listPasteStep(core::Program& p) {
  if (p.view.rows.empty()) return ui::showActionFailed(p);
  const auto selected = platform::listSelectedRows(ui::gadgetClipList);
  const int next = nextTextRow(p, selected.empty() ? -1 : selected.front());
  if (next < 0 || !putRowOnClipboard(p, next)) return ui::showActionFailed(p);
  return 1;
}

void startFromTop(core::Program& p) {
  const int first = p.view.rows.empty() ? -1 : nextTextRow(p, -1);
  if (first < 0) {
    ui::showActionFailed(p);
    return;
  }
  core::CaptureState& c = p.capture;
  c.listPasteMode = 1;
  p.settings.listPasteShortcut = 1;
  // Capture off; when it is off already, it is out of the viewer chain and stays so.
  if (c.capturing == 1) toggleCapture(p);
  c.combineCount = 0;
  platform::deselectListRows(ui::gadgetClipList);
  if (!putRowOnClipboard(p, first)) ui::showActionFailed(p);
  ui::refreshStatus(p);
}

void reverseCaseCopy(core::Program& p) {
  const int before = p.view.currentRow;
  p.view.currentRow = 0;
  if (!ui::requireTextClip(p)) {
    p.view.currentRow = before;
    return;
  }
  const auto text = rowText(p, 0);
  if (!text) {
    p.view.currentRow = before;
    ui::showActionFailed(p);
    return;
  }
  platform::deselectListRows(ui::gadgetClipList);
  ui::showClipContent(p);
  // Not our own write: with capture on, the reversed text becomes a clip of its own.
  if (!core::replaceClipboardText(p, reverseCase(*text), false)) ui::showActionFailed(p);
}

}  // namespace capture
