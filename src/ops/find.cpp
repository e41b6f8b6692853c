// Find and replace. The editor does the finding; a search of all clips first asks the in-memory
// rows (and, for a long clip, its stored text) whether a clip can hold the text at all, so only the
// clips that may match are loaded into the editor.
#include "ops/find.h"

#include <string>

#include "core/clip_text.h"
#include "core/program.h"
#include "core/utf8.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/text_encoding.h"
#include "store/clip_store.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/status.h"

namespace ops {

namespace {

constexpr unsigned searchBits = platform::FIND_FINDNEXT | platform::FIND_REPLACE | platform::FIND_REPLACEALL |
                                platform::FIND_DOWN | platform::FIND_MATCHCASE | platform::FIND_WHOLEWORD;

void openDialog(core::Program& p, bool replace) {
  if (p.edit.findDialogOpen == 1) return;  // one dialog at a time
  if (platform::openFindDialog(p.mainWindow, replace, p.edit.findWhat, p.edit.replaceWith)) p.edit.findDialogOpen = 1;
}

// Texts are UTF-8 here: the editor's, the dialog's and the clips'.
bool sameText(const std::string& a, const std::string& b, bool matchCase) {
  return matchCase ? a == b : core::foldCase(a) == core::foldCase(b);
}

bool containsIgnoringCase(const std::string& text, const std::string& wanted) {
  return core::findIgnoringCase(text, wanted) != std::string::npos;
}

// False only when the clip of `row` cannot hold the text (its case and word limits aside).
bool rowMayHold(core::Program& p, int row, const std::string& wanted) {
  const core::ClipRow* e = ui::elementAtRow(p, row);
  if (e == nullptr || e->imageFlag == "Y") return false;
  if (e->complete == "Y") return containsIgnoringCase(core::rowText(*e), wanted);
  p.currentKey = std::to_string(e->key);
  return store::ReadClipFields(p) == 0 || containsIgnoringCase(p.editCopy.text, wanted);
}

void loadSearchRow(core::Program& p, int row) {
  platform::deselectListRows(ui::gadgetClipList);
  p.view.currentRow = row;
  p.view.copyOnShow = 0;
  ui::showClipContent(p);
  platform::setPanelTab(ui::gadgetContentPanel, ui::tabText);
  platform::setEditorCaret(ui::gadgetTextEditor, 0);
}

void showMatch(core::Program& p, const platform::TextRange& match) {
  platform::setEditorSelection(ui::gadgetTextEditor, match.start, match.end);
  platform::deselectListRows(ui::gadgetClipList);
  platform::selectListRow(ui::gadgetClipList, p.view.currentRow);
  platform::ensureListRowVisible(ui::gadgetClipList, p.view.currentRow);
}

// The next match after the selection (before it, searching up); a caret alone searches from itself.
std::optional<platform::TextRange> nextMatch(core::Program& p) {
  const platform::TextRange selected = platform::editorSelection(ui::gadgetTextEditor);
  const unsigned flags = p.edit.searchFlags;
  if (flags & platform::FIND_DOWN)
    return platform::editorFindText(ui::gadgetTextEditor, p.edit.findWhat, selected.end, -1, flags);
  return platform::editorFindText(ui::gadgetTextEditor, p.edit.findWhat, selected.start, 0, flags);
}

void notFound(core::Program& p) {
  platform::messageBox(p.mainWindow, "Cannot find " + platform::utf8ToAnsi(p.edit.findWhat), "Info",
                       platform::MB_OK | platform::MB_ICONINFORMATION);
}

void findNext(core::Program& p) {
  if (const auto match = nextMatch(p)) {
    showMatch(p, *match);
    return;
  }
  if (p.edit.searchAllClips == 1) {
    if (p.edit.searchRestart == 1) {
      p.edit.searchIndex = 0;
      p.edit.searchRestart = 0;
    }
    const int rows = static_cast<int>(p.view.order.size());
    while (p.edit.searchIndex >= 0 && p.edit.searchIndex < rows) {
      const int row = p.edit.searchIndex++;
      if (!rowMayHold(p, row, p.edit.findWhat)) continue;
      loadSearchRow(p, row);
      const auto match = platform::editorFindText(ui::gadgetTextEditor, p.edit.findWhat, 0, -1,
                                                  p.edit.searchFlags | platform::FIND_DOWN);
      if (match) {
        showMatch(p, *match);
        return;
      }
    }
  }
  notFound(p);
  if (p.edit.searchAllClips == 1) {
    // Back to the clip the search began from; the next search starts again at the top.
    platform::deselectListRows(ui::gadgetClipList);
    p.view.currentRow = p.view.findStartRow;
    p.view.copyOnShow = 0;
    ui::selectRow(p);
    ui::showClipContent(p);
    p.edit.searchRestart = 1;
  }
}

void replaceNext(core::Program& p) {
  const unsigned flags = p.edit.searchFlags;
  const std::string selected = platform::editorSelectedText(ui::gadgetTextEditor);
  // The match the user sees highlighted is the one replaced.
  if (selected.empty() || !sameText(selected, p.edit.findWhat, (flags & platform::FIND_MATCHCASE) != 0)) {
    const auto match = nextMatch(p);
    if (!match) {
      notFound(p);
      return;
    }
    platform::setEditorSelection(ui::gadgetTextEditor, match->start, match->end);
  }
  platform::editorReplaceSelection(ui::gadgetTextEditor, p.edit.replaceWith);
  if (const auto next = nextMatch(p)) platform::setEditorSelection(ui::gadgetTextEditor, next->start, next->end);
}

void replaceAll(core::Program& p) {
  // Each round starts after the text it put in, so it ends even when that text holds the match.
  constexpr long most = 10000000;
  int position = 0;
  for (long done = 0; done < most; ++done) {
    const auto match = platform::editorFindText(ui::gadgetTextEditor, p.edit.findWhat, position, -1,
                                                p.edit.searchFlags | platform::FIND_DOWN);
    if (!match) break;
    platform::setEditorSelection(ui::gadgetTextEditor, match->start, match->end);
    platform::editorReplaceSelection(ui::gadgetTextEditor, p.edit.replaceWith);
    position = platform::editorSelection(ui::gadgetTextEditor).end;
  }
  platform::messageBox(p.mainWindow, "Finished", "", platform::MB_OK);
}

}  // namespace

void findInText(core::Program& p) {
  ui::refreshStatus(p);
  if (platform::panelTab(ui::gadgetContentPanel) != ui::tabText) return;
  p.edit.searchAllClips = 0;
  openDialog(p, false);
}

void openReplaceDialog(core::Program& p) {
  p.edit.searchAllClips = 0;
  openDialog(p, true);
}

void searchAllClips(core::Program& p) {
  if (p.view.order.empty()) return;
  p.edit.searchAllClips = 1;
  p.edit.searchRestart = 0;
  p.view.findStartRow = p.view.currentRow;
  loadSearchRow(p, 0);
  p.edit.searchIndex = 1;
  openDialog(p, false);
}

void handleFindMessage(core::Program& p, const platform::FindReport& report) {
  if (report.flags & platform::FIND_DIALOGTERM) {
    p.edit.findDialogOpen = 0;
    return;
  }
  p.edit.searchFlags = report.flags & searchBits;
  p.edit.findWhat = report.findWhat;
  if (p.edit.findWhat.empty()) return;
  if (report.flags & platform::FIND_REPLACEALL) {
    p.edit.replaceWith = report.replaceWith;
    replaceAll(p);
  } else if (report.flags & platform::FIND_REPLACE) {
    p.edit.replaceWith = report.replaceWith;
    replaceNext(p);
  } else if (report.flags & platform::FIND_FINDNEXT) {
    findNext(p);
  }
}

}  // namespace ops
