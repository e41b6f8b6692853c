// Text tab editing. The key of the clip the editor was filled with travels with the edit
// (edit.editorKey), so a save always lands on that clip whatever row the list points at.
#include "ops/text_edit.h"

#include "capture/command_clip.h"
#include "capture/text_capture.h"
#include "core/clip_text.h"
#include "core/clipboard_write.h"
#include "core/log.h"
#include "core/program.h"
#include "core/text.h"
#include "core/utf8.h"
#include "core/web_address.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/shell.h"
#include "platform/text_encoding.h"
#include "store/clip_store.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/status.h"

namespace ops {

namespace {

constexpr std::size_t previewLimit = 1000;
constexpr int longestLink = 2048;

void tell(core::Program& p, const std::string& text) {
  platform::messageBox(p.mainWindow, text, core::productName, platform::MB_OK | platform::MB_ICONINFORMATION);
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The editor's text without the line end the display added: LF CR as it was set, or the two
// paragraph breaks the rich edit control hands back for it.
std::string editedText(core::Program& p) {
  std::string text = platform::editorText(ui::gadgetTextEditor);
  if (!p.edit.editorTail) return text;
  if (endsWith(text, "\n\r")) text.resize(text.size() - 2);
  else if (endsWith(text, "\r\n\r\n")) text.resize(text.size() - 4);
  return text;
}

// The clip in the editor, refused with the user told why when there is none to edit.
bool editableClip(core::Program& p, std::int64_t& key) {
  if (p.view.infoShown == 1) {
    tell(p, "Sorry, This Clip Information may not be edited/replaced");
    return false;
  }
  key = p.edit.editorKey;
  if (key == 0 || ui::rowOfKey(p, key) < 0) {
    tell(p, "Please select an Item to replace first");
    return false;
  }
  return true;
}

void showRowOfKey(core::Program& p, std::int64_t key) {
  const int row = ui::rowOfKey(p, key);
  if (row < 0) return;
  p.view.currentRow = row;
  p.view.copyOnShow = 0;
  ui::selectRow(p);
  ui::showClipContent(p);
}

}  // namespace

int storeTextTabEdit(core::Program& p, std::int64_t key, bool cutting) {
  p.currentKey = std::to_string(key);
  if (store::ReadClipFields(p) == 0) return ui::showActionFailed(p);
  const bool edited = platform::editorModified(ui::gadgetTextEditor);
  const std::string text = edited ? editedText(p) : p.editCopy.text;
  if (capture::refuseOversizedText(p, text.size(), "edited text")) return 0;
  std::string richText = " ";
  if (p.editCopy.richFlag == "Y") {
    if (edited) {
      richText = platform::editorRichText(ui::gadgetTextEditor);
    } else {
      if (store::ReadClip(p) == 0) return ui::showActionFailed(p);
      richText = p.clip.cRTF;
    }
  }
  if (store::SaveEditedClip(p, text, richText, cutting) == 0) {
    ui::showActionFailed(p);
    return 0;
  }
  // Only a committed text reaches the list and the tray.
  if (core::ClipRow* row = ui::elementWithKey(p, p.lastKey)) {
    core::setRowText(*row, core::firstCharacters(text, previewLimit));
    row->complete = core::characterCount(text) < previewLimit ? "Y" : "N";
    row->caption.clear();
  }
  ui::drawRows(p);
  showRowOfKey(p, p.lastKey);
  return 1;
}

void replaceClip(core::Program& p) {
  std::int64_t key = 0;
  if (!editableClip(p, key)) return;
  storeTextTabEdit(p, key, false);
}

void cutToNewClip(core::Program& p) {
  const platform::TextRange selected = platform::editorSelection(ui::gadgetTextEditor);
  if (selected.start == selected.end) return;
  std::int64_t key = 0;
  if (!editableClip(p, key)) return;
  const std::string cut = platform::editorSelectedText(ui::gadgetTextEditor);
  const std::string note = ui::elementWithKey(p, key)->note;

  p.capture.ownWrite = 1;
  platform::editorCut(ui::gadgetTextEditor);
  core::noteOwnWrite(p);
  p.capture.ownWrite = 0;
  // The cut text is kept first; without it the shortened clip is not saved (and shows again whole).
  if (capture::storeCommandClip(p, cut, "Tandrel edit", note) == 0) {
    showRowOfKey(p, key);
    ui::showActionFailed(p);
    return;
  }
  storeTextTabEdit(p, key, true);
}

void copySelection(core::Program& p) {
  const platform::TextRange selected = platform::editorSelection(ui::gadgetTextEditor);
  if (selected.start == selected.end) return;
  p.capture.ownWrite = 1;
  platform::editorCopy(ui::gadgetTextEditor);
  core::noteOwnWrite(p);
  p.capture.ownWrite = 0;
}

void pasteIntoEditor(core::Program&) { platform::editorPaste(ui::gadgetTextEditor); }

void deleteSelection(core::Program& p) {
  p.capture.ownWrite = 1;
  platform::editorClear(ui::gadgetTextEditor);
  p.capture.ownWrite = 0;
}

void selectAllText(core::Program&) { platform::setEditorSelection(ui::gadgetTextEditor, 0, -1); }

void openEditorLink(core::Program& p) {
  const platform::TextRange link = platform::editorClickedLink(ui::gadgetTextEditor);
  if (link.end - link.start > longestLink) {
    tell(p, "Unable to Open a URL of that length from Tandrel");
    return;
  }
  if (link.end <= link.start) return;
  platform::setEditorSelection(ui::gadgetTextEditor, link.start, link.end);
  const std::string address = core::trimBlanks(platform::editorSelectedText(ui::gadgetTextEditor));
  if (!core::isLinkAddress(address)) {
    core::writeLog(p, p.captureTime + " link not opened: " + address.substr(0, 100));
    return;
  }
  if (platform::shellExecute(p.mainWindow, "open", platform::utf8ToAnsi(address), "", platform::SW_SHOWNORMAL) <= 32)
    ui::showActionFailed(p);
}

}  // namespace ops
