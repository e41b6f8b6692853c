// The clip list and content view. The program owns the row order (list row -> element); the list
// control only draws the rows it is asked for, so sorting, dropping and a list of any length cost
// the control nothing.
#include "ui/clip_list.h"

#include <algorithm>
#include <utility>

#include "core/clip_text.h"
#include "core/clipboard_write.h"
#include "core/dib.h"
#include "core/image_codec.h"
#include "core/log.h"
#include "core/program.h"
#include "core/step_timer.h"
#include "core/text.h"
#include "core/utf8.h"
#include "platform/clipboard.h"
#include "platform/gadgets.h"
#include "platform/shell.h"
#include "platform/text_encoding.h"
#include "platform/window.h"
#include "store/clip_store.h"
#include "ui/caption.h"
#include "ui/commands.h"
#include "ui/gadgets.h"
#include "ui/help_page.h"
#include "ui/image_view.h"
#include "ui/layout.h"
#include "ui/menus.h"
#include "ui/status.h"
#include "ui/tray_menu.h"

namespace ui {
namespace {

constexpr std::size_t sourceShown = 76;

// Upper case in the program's code page, for sorting as the user reads.
unsigned char upper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return c;
  }
}

std::string upperText(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(upper(static_cast<unsigned char>(c)));
  return out;
}

void switchTab(core::Program& p, int tab) {
  if (p.view.dragActive == 1 || platform::panelTab(gadgetContentPanel) == tabSets) return;
  platform::setPanelTab(gadgetContentPanel, tab);
}

// Rich text the editor could not take is shown as the plain text it came with.
bool looksLikeRtf(const std::string& text) { return text.compare(0, 5, "{\\rtf") == 0; }

void syncFromSelection(core::Program& p) {
  p.capture.ownWrite = 1;
  if (platform::listRowCount(gadgetClipList) > 0) {
    const auto selected = platform::listSelectedRows(gadgetClipList);
    if (selected.empty()) {
      p.view.currentRow = static_cast<int>(p.view.rows.size());
    } else {
      p.view.currentRow = selected.front();
      syncCurrentClip(p);
    }
  }
  p.capture.ownWrite = 0;
}

// The current record's picture, and its bitmap when it goes to the clipboard; false (with a log
// line) when the stored bytes are no picture.
bool decodeClipImage(core::Program& p, core::DecodedImage& picture, std::string& bitmap, bool copy) {
  picture = core::decodeImage(p.clip.image);
  if (!picture.ok()) {
    core::writeLog(p, p.captureTime + " Image clip " + p.currentKey + " cannot be shown: " + picture.failure);
    return false;
  }
  if (!copy) return true;
  core::EncodedImage dib = core::imageToDib(picture.image);
  if (!dib.ok()) {
    core::writeLog(p, p.captureTime + " Image clip " + p.currentKey + " cannot be copied: " + dib.failure);
    return false;
  }
  bitmap = std::move(dib.bytes);
  return true;
}

// Replaces what the open clipboard holds by the clip of p.clip, whose text or bitmap is given.
bool writeClip(core::Program& p, bool rich, bool image, const std::string& text, const std::string& bitmap) {
  bool written = platform::emptyClipboard();
  if (written && rich) written = core::putRichTextOnClipboard(p, p.clip.cRTF);
  if (written && !image) written = core::putTextOnClipboard(p, text);
  else if (written) written = core::putBitmapOnClipboard(bitmap);
  return written;
}

}  // namespace

int elementIndexOfRow(const core::Program& p, int row) {
  if (row < 0 || row >= static_cast<int>(p.view.order.size())) return -1;
  return p.view.order[static_cast<std::size_t>(row)];
}

core::ClipRow* elementAtRow(core::Program& p, int row) {
  const int e = elementIndexOfRow(p, row);
  return e < 0 ? nullptr : &p.view.rows[static_cast<std::size_t>(e)];
}

core::ClipRow* elementWithKey(core::Program& p, std::int64_t key) {
  for (auto& row : p.view.rows)
    if (row.key == key) return &row;
  return nullptr;
}

int rowOfKey(const core::Program& p, std::int64_t key) {
  for (std::size_t r = 0; r < p.view.order.size(); ++r)
    if (p.view.rows[static_cast<std::size_t>(p.view.order[r])].key == key) return static_cast<int>(r);
  return -1;
}

std::string rowColumnText(core::Program& p, int row, int column) {
  core::ClipRow* e = elementAtRow(p, row);
  if (e == nullptr) return "";
  if (column == 0) {
    if (e->caption.empty())
      e->caption = ui::buildCaption(core::firstCharacters(core::rowText(*e), 81), p.view.fillWidth, p.view.captionWidth);
    return e->caption;
  }
  if (e->note.compare(" ") > 0) return platform::ansiToUtf8(core::trimBlanks(e->note));
  // A captured row shows its source cut as it was listed; a loaded row shows all of it.
  const std::string source = core::trimBlanks(core::rowSource(*e));
  return e->captured ? core::firstCharacters(source, sourceShown) : source;
}

void drawRows(core::Program& p) {
  p.view.rowsNotDrawn = 0;
  core::Program* program = &p;
  platform::setListRows(gadgetClipList, static_cast<int>(p.view.order.size()),
                        [program](int row, int column) { return rowColumnText(*program, row, column); });
  platform::setGadgetText(gadgetClipCount, std::to_string(p.view.rows.size()));
}

void drawInsertedRow(core::Program& p, int row) {
  if (p.view.rowsNotDrawn > 0) {
    drawRows(p);
    return;
  }
  core::Program* program = &p;
  platform::insertListRow(gadgetClipList, row, static_cast<int>(p.view.order.size()),
                          [program](int r, int column) { return rowColumnText(*program, r, column); });
  platform::setGadgetText(gadgetClipCount, std::to_string(p.view.rows.size()));
}

void resetRowOrder(core::Program& p) {
  const int n = static_cast<int>(p.view.rows.size());
  p.view.order.resize(static_cast<std::size_t>(n));
  for (int r = 0; r < n; ++r) p.view.order[static_cast<std::size_t>(r)] = n - 1 - r;
  drawRows(p);
}

void addRowAtTop(core::Program& p, const core::ClipRow& row) { addRowAtRow(p, row, 0); }

int addRowAtRow(core::Program& p, const core::ClipRow& row, int at) {
  p.view.rows.push_back(row);
  const int element = static_cast<int>(p.view.rows.size()) - 1;
  at = std::clamp(at, 0, static_cast<int>(p.view.order.size()));
  p.view.order.insert(p.view.order.begin() + at, element);
  return at;
}

void blankContentView(core::Program& p, bool clearEditor) {
  // The Online Help tab shows the help page and nothing else, so it is left as it is: blanking it
  // would write and load a page at every capture.
  clearPicture(p);
  if (clearEditor) platform::setEditorText(gadgetTextEditor, "");
  p.edit.editorKey = 0;
  switchTab(p, tabText);
  refreshStatus(p);
}

void clearClipView(core::Program& p) {
  p.view.rows.clear();
  p.view.order.clear();
  platform::setListRows(gadgetClipList, 0, nullptr);
  platform::setGadgetText(gadgetClipCount, "0");
  blankContentView(p);
  p.view.infoShown = 0;
}

void fillClipList(core::Program& p) {
  platform::setListRows(gadgetClipList, 0, nullptr);
  showActiveSetStatus(p);
  resetRowOrder(p);
  if (!p.view.rows.empty()) {
    blankContentView(p);
    if (p.view.transferCount == 0 && p.view.textTabEdited == 0) p.view.currentRow = 0;
    showClipContent(p);
    p.capture.ownWrite = 0;
    if (p.firstRun == 1 && p.settings.clipsConverted == "N") {
      showHelpPage(p);
      platform::setPanelTab(gadgetContentPanel, tabHelp);
      p.firstRun = 0;
    }
  }
  resetColumnTitles(p);
  selectRow(p);
}

void selectRow(core::Program& p) {
  platform::deselectListRows(gadgetClipList);
  if (p.view.currentRow < 0) p.view.currentRow = 0;
  if (p.view.rows.empty()) return;
  platform::selectListRow(gadgetClipList, p.view.currentRow);
  platform::ensureListRowVisible(gadgetClipList, p.view.currentRow);
  refreshSourceMenuItem(p);
}

int syncCurrentClip(core::Program& p) {
  if (p.view.rows.empty()) return 0;
  const int element = elementIndexOfRow(p, p.view.currentRow);
  if (element < 0) return 0;
  p.view.currentElement = element;
  return 1;
}

void buildEditorPopupMenu(core::Program& p, bool withSave) {
  std::vector<platform::MenuItem> items = {{511, "Cut selected text and copy it to clipboard", true, {}},
                                           {512, "Copy selected text to clipboard", true, {}},
                                           {513, "Paste into 'text' tab from clipboard", true, {}},
                                           {530, "Delete selected text from entry", true, {}},
                                           {514, "Select All text in Text Tab", true, {}},
                                           {0, "", true, {}}};
  if (withSave) items.push_back({508, "Save to Database", true, {}});
  platform::setPopupMenu(p.mainWindow, editorPopupNumber, items);
}

void showPlainText(core::Program& p, const std::string& text) {
  platform::setEditorColours(gadgetTextEditor, colour::black, colour::editorBackground);
  const bool ended = text.size() >= 2 && text.compare(text.size() - 2, 2, "\n\r") == 0;
  platform::setEditorText(gadgetTextEditor, ended ? text : text + "\n\r");
  p.edit.editorTail = !ended;
  p.view.shownText = text;
}

void showRichText(core::Program& p, const std::string& rtf) {
  if (!looksLikeRtf(rtf)) {
    showPlainText(p, core::clipText(p.clip));
    return;
  }
  platform::setEditorColours(gadgetTextEditor, colour::black, colour::informationBackground);
  platform::setEditorRichText(gadgetTextEditor, rtf);
  p.edit.editorTail = false;
  p.view.shownText = rtf;
}

int showClipContent(core::Program& p) {
  core::StepTimer timer(p, "show clip");
  core::ViewState& v = p.view;
  // Only the show the flag was raised for copies: a later show (a capture, a set loaded) must
  // never replace what another program put on the clipboard.
  const bool copy = v.copyOnShow == 1;
  v.copyOnShow = 0;
  v.copyFailed = copy;
  v.infoShown = 0;
  p.capture.richTextFlag = 0;
  v.imageShown = 0;
  if (v.rows.empty() || v.currentRow < 0 || platform::listRowCount(gadgetClipList) == 0) {
    v.currentRow = 0;
    return 1;
  }
  if (v.currentRow >= static_cast<int>(v.order.size())) v.currentRow = static_cast<int>(v.order.size()) - 1;

  syncCurrentClip(p);
  const core::ClipRow element = v.rows[static_cast<std::size_t>(v.currentElement)];
  p.currentKey = std::to_string(element.key);
  v.currentText = core::rowText(element);
  // The editor takes the preview at once: emptied first, it would only take one more text.
  blankContentView(p, false);
  showPlainText(p, core::trimBlanks(v.currentText));
  platform::selectListRow(gadgetClipList, v.currentRow);
  platform::ensureListRowVisible(gadgetClipList, v.currentRow);
  refreshSourceMenuItem(p);

  p.capture.ownWrite = 1;
  platform::setEditorCaret(gadgetTextEditor, 0);
  buildEditorPopupMenu(p, true);
  // The record is read before the clipboard is touched: a clip that cannot be read never empties
  // the user's clipboard.
  const bool editedInPlace = v.textTabEdited == 1 && element.complete == "Y" && element.richFlag != "Y" &&
                             element.imageFlag != "Y";
  if (!editedInPlace) {
    if (store::ReadClip(p) == 0) {
      showActionFailed(p);
      p.capture.ownWrite = 0;
      return 0;
    }
    v.currentText = core::clipText(p.clip);
  }
  core::markStep(p, "read");
  // Likewise a picture is decoded, and made a bitmap for the clipboard, before the clipboard is
  // opened: one that cannot be shown leaves the clipboard as it was.
  core::DecodedImage picture;
  std::string bitmap;
  if (element.imageFlag == "Y" && !decodeClipImage(p, picture, bitmap, copy)) {
    p.clip.image.clear();
    p.clip.imageOwned = false;
    showActionFailed(p);
    p.capture.ownWrite = 0;
    return 0;
  }
  if (element.imageFlag == "Y") core::markStep(p, "decode");

  // Another program may still be reading the clipboard: it is waited for, as a List Paste step does.
  const bool opened = copy && core::openClipboardPatiently();
  if (opened)
    v.copyFailed = !writeClip(p, element.richFlag == "Y", element.imageFlag == "Y", v.currentText, bitmap);
  if (element.richFlag == "Y") switchTab(p, tabText);
  if (element.richFlag == "Y") showRichText(p, p.clip.cRTF);
  else showPlainText(p, v.currentText);
  platform::setEditorCaret(gadgetTextEditor, 0);
  if (element.imageFlag == "Y") {
    showPicture(p, std::move(picture.image), std::move(p.clip.image), p.clip.cText, core::clipSource(p.clip));
    p.clip.image.clear();
    p.clip.imageOwned = false;
    switchTab(p, tabImage);
    core::markStep(p, opened ? "picture shown and copied" : "picture shown");
  }
  // An edit is saved over this clip and no other.
  p.edit.editorKey = element.imageFlag == "Y" ? 0 : element.key;

  if (opened) {
    platform::closeClipboard();
    core::noteOwnWrite(p);
  }
  p.capture.ownWrite = 0;

  if (v.dragActive != 1 && platform::panelTab(gadgetContentPanel) != tabSets) {
    if (platform::listSelectedRows(gadgetClipList).empty()) {
      platform::setPanelTab(gadgetContentPanel, tabText);
    } else if (element.imageFlag == "Y") {
      platform::setPanelTab(gadgetContentPanel, tabImage);
      platform::setEditorText(gadgetTextEditor, "");
    } else {
      platform::setPanelTab(gadgetContentPanel, tabText);
      clearPicture(p);
    }
  }
  refreshStatus(p);
  return 0;
}

bool copyClipWithKey(core::Program& p, std::int64_t key) {
  // The shown clip's record stays as it was: an edit of it must still find it.
  const std::string shownKey = p.currentKey;
  core::ClipRecord shown = std::move(p.clip);
  p.clip = core::ClipRecord{};
  p.currentKey = std::to_string(key);
  bool copied = false;
  p.capture.ownWrite = 1;
  if (store::ReadClip(p) != 0) {
    const bool image = p.clip.cImageSW == "Y";
    core::DecodedImage picture;
    std::string bitmap;
    if ((!image || decodeClipImage(p, picture, bitmap, true)) && core::openClipboardPatiently()) {
      copied = writeClip(p, p.clip.cRTFsw == "Y", image, core::clipText(p.clip), bitmap);
      platform::closeClipboard();
      core::noteOwnWrite(p);
    }
  }
  p.capture.ownWrite = 0;
  p.clip = std::move(shown);
  p.currentKey = shownKey;
  return copied;
}

int showClip(core::Program& p) {
  syncFromSelection(p);
  p.view.copyOnShow = 0;
  return showClipContent(p);
}

int copyClip(core::Program& p) {
  syncFromSelection(p);
  p.view.copyOnShow = 1;
  const int shown = showClipContent(p);
  return shown == 0 && !p.view.copyFailed ? 1 : 0;
}

int showCurrentRowClip(core::Program& p) {
  syncCurrentClip(p);
  return showClip(p);
}

void clickSelectClip(core::Program& p) {
  p.view.copyOnShow = 0;
  if (platform::listSelectedRows(gadgetClipList).empty()) return;
  if (p.capture.listPasteMode == 1) copyClip(p);
  else showCurrentRowClip(p);
}

void moveClipToTop(core::Program& p, int element) {
  auto& rows = p.view.rows;
  if (element < 0 || element >= static_cast<int>(rows.size())) return;
  core::ClipRow moved = rows[static_cast<std::size_t>(element)];
  rows.erase(rows.begin() + element);
  rows.push_back(std::move(moved));
  p.view.currentElement = static_cast<int>(rows.size()) - 1;
}

void activateClip(core::Program& p) {
  if (platform::listSelectedRows(gadgetClipList).empty()) return;
  p.view.dragActive = 0;
  // A clip that did not reach the clipboard stays where it was.
  if (copyClip(p) == 0) {
    showActionFailed(p);
    return;
  }
  if (!p.view.rows.empty()) {
    moveClipToTop(p, p.view.currentElement);
    resetRowOrder(p);
    p.view.currentRow = 0;
    selectRow(p);
    buildTrayMenu(p);
    resetColumnTitles(p);
    p.view.sortDirection = 1;
    refreshStatus(p);
  }
}

void reorderRowsByDrop(core::Program& p, int from, int to) {
  auto& order = p.view.order;
  const int count = static_cast<int>(order.size());
  if (from < 0 || from >= count || to < -1 || to >= count) return;
  const int data = order[static_cast<std::size_t>(from)];
  if (from < to && to >= 0) order.erase(order.begin() + from);
  const int at = to == -1 ? static_cast<int>(order.size()) : to;
  order.insert(order.begin() + at, data);
  if (to == -1) to = count;
  if (from >= to) order.erase(order.begin() + from + 1);
  else if (to == count) order.erase(order.begin() + from);
  p.view.currentRow = static_cast<int>(std::find(order.begin(), order.end(), data) - order.begin());
  drawRows(p);
  platform::setPanelTab(gadgetContentPanel, tabText);
  selectRow(p);
  showCurrentRowClip(p);
  resetColumnTitles(p);
}

void sortByColumn(core::Program& p, int column) {
  core::ViewState& v = p.view;
  platform::showWaitCursor(true);
  const int shown = v.currentElement;
  std::vector<int> selected;
  for (int row : platform::listSelectedRows(gadgetClipList)) selected.push_back(elementIndexOfRow(p, row));
  if (column != v.lastSortedColumn) v.sortDirection = 1;
  const int direction = v.sortDirection;
  std::vector<std::pair<std::string, int>> keyed;
  keyed.reserve(v.order.size());
  for (std::size_t r = 0; r < v.order.size(); ++r)
    keyed.emplace_back(upperText(platform::utf8ToAnsi(rowColumnText(p, static_cast<int>(r), column))), v.order[r]);
  std::stable_sort(keyed.begin(), keyed.end(), [direction](const auto& a, const auto& b) {
    const int c = a.first.compare(b.first);
    return direction > 0 ? c < 0 : c > 0;
  });
  for (std::size_t r = 0; r < keyed.size(); ++r) v.order[r] = keyed[r].second;
  drawRows(p);
  // The list selects rows, not clips: the selection goes with its clips to their new rows, and the
  // clip shown stays the current one, so "Clip To Clipboard" copies what the user sees.
  std::vector<int> rowOf(v.rows.size(), -1);
  for (std::size_t r = 0; r < v.order.size(); ++r) rowOf[static_cast<std::size_t>(v.order[r])] = static_cast<int>(r);
  if (shown >= 0 && shown < static_cast<int>(rowOf.size()) && rowOf[static_cast<std::size_t>(shown)] >= 0) {
    v.currentRow = rowOf[static_cast<std::size_t>(shown)];
    selectRow(p);
  }
  for (int element : selected)
    if (element >= 0) platform::selectListRow(gadgetClipList, rowOf[static_cast<std::size_t>(element)]);
  if (p.mainWindow != 0) platform::updateWindow(p.mainWindow);
  v.sortDirection = -v.sortDirection;
  platform::showWaitCursor(false);
  platform::setListColumnTitle(gadgetClipList, column, (column == 0 ? listTitle(p) : "Note/Source") + " (sorted)");
  platform::setListColumnTitle(gadgetClipList, 1 - column, (column == 0 ? "Note/Source" : listTitle(p)) + " ");
  v.lastSortedColumn = column;
}

void onTabChange(core::Program& p) {
  // An empty set is told, and the tab change still takes effect.
  if (p.view.rows.empty()) {
    showStatus(p, "Empty Set", colour::listBackground, colour::blue);
    p.view.shownText = " ";
  }
  p.view.dragActive = 0;
  if (platform::panelTab(gadgetContentPanel) == tabHelp) showHelpPage(p);
  refreshStatus(p);
}

void onListItemChange(core::Program& p) {
  // The set list marks a set by selecting it, so on the Clip Sets tab the mark already follows the row.
  if (platform::panelTab(gadgetContentPanel) == tabSets) return;
  // Back at the clips: a set click still pending would later be taken for another purpose.
  p.view.pendingSetClick.clear();
  platform::deselectListRows(gadgetSetList);
}

void showAdditionalInfo(core::Program& p) {
  if (p.view.rows.empty()) {
    p.view.infoShown = 0;
    p.edit.editorKey = 0;
    platform::setEditorText(gadgetTextEditor, "There are no clips available ");
    platform::editorRichText(gadgetTextEditor);
    p.view.shownText = " ";
    platform::setPanelTab(gadgetContentPanel, tabText);
    return;
  }
  syncCurrentClip(p);
  p.currentKey = std::to_string(p.view.rows[static_cast<std::size_t>(p.view.currentElement)].key);
  p.edit.editorKey = 0;
  platform::setEditorColours(gadgetTextEditor, colour::black, colour::informationBackground);
  if (store::ReadClip(p) == 0) {
    platform::setEditorText(gadgetTextEditor, "UNABLE TO OBTAIN CLIP INFORMATION ");
  } else {
    const core::ClipRecord& r = p.clip;
    // The editor takes UTF-8: the set name and the note are ANSI.
    std::string body = "CLIP SET IS:  " + platform::ansiToUtf8(p.settings.activeSetName) + "\r\n" +
                       "DATE CAPTURED: " + r.cDate + "\r\n";
    if (r.cSource.compare(" ") > 0) body += "SOURCE OF CLIP: " + core::clipSource(r) + "\r\n";
    if (r.cNote.compare(" ") > 0) body += "NOTE: " + platform::ansiToUtf8(r.cNote) + "\r\n";
    if (r.cRTFsw == "Y") body += "CLIP CONTAINS RICH TEXT\r\n";
    const std::string header = "---------------ADDITIONAL CLIP INFORMATION---------------";
    platform::setEditorText(gadgetTextEditor, header + "\n\r\n" + body);
    platform::colourEditorText(gadgetTextEditor, 0, static_cast<int>(header.size()), colour::blue);
  }
  p.view.shownText = platform::editorRichText(gadgetTextEditor);
  p.view.infoShown = 1;
  platform::setPanelTab(gadgetContentPanel, tabText);
}

void refreshSourceMenuItem(core::Program& p) {
  const std::string source = rowColumnText(p, p.view.currentRow, 1);
  p.view.sourceMenuCaption = source.compare(0, 4, "http") == 0 ? "Open Clip Source In Browser" : "";
  buildMainMenu(p);
}

void resetColumnTitles(core::Program& p) {
  platform::setListColumnTitle(gadgetClipList, 0, listTitle(p) + " ");
  platform::setListColumnTitle(gadgetClipList, 1, "Note/Source ");
}

}  // namespace ui
