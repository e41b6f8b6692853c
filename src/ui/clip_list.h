// The clip list and the content view: the in-memory rows of the active set, the list that shows
// them newest first, and showing a clip with or without putting it on the clipboard.
#pragma once

#include <cstdint>
#include <string>

namespace core {
struct Program;
struct ClipRow;
}

namespace ui {

// The element a list row shows (through the row order), nullptr for no such row.
core::ClipRow* elementAtRow(core::Program& p, int row);
core::ClipRow* elementWithKey(core::Program& p, std::int64_t key);
// The list row that shows the clip with this key, -1 when none does.
int rowOfKey(const core::Program& p, std::int64_t key);
int elementIndexOfRow(const core::Program& p, int row);
// The two column texts of a list row.
std::string rowColumnText(core::Program& p, int row, int column);

// Adds a clip's row at the top, or at a row's place (a replaced clip).
void addRowAtTop(core::Program& p, const core::ClipRow& row);
// Answers the row it went to (`at`, kept within the list).
int addRowAtRow(core::Program& p, const core::ClipRow& row, int at);
// Tells the list gadget the rows again (newest first unless sorted or dropped since).
void drawRows(core::Program& p);
// The same after addRowAtRow put one row at `row`: the list draws only what that changed.
void drawInsertedRow(core::Program& p, int row);
// Rebuilds the row order newest first and draws it.
void resetRowOrder(core::Program& p);

void fillClipList(core::Program& p);
void clearClipView(core::Program& p);
// Blanks the page, the picture and (unless a text is put there next, before any paint) the editor.
void blankContentView(core::Program& p, bool clearEditor = true);
// Selects row currentRow (0 when negative) and scrolls it into view.
void selectRow(core::Program& p);
int syncCurrentClip(core::Program& p);
// Shows the current row's clip: 0 shown, 1 nothing to show. When copyOnShow is up it takes it down
// and puts the clip on the clipboard as well; copyFailed says whether that failed.
int showClipContent(core::Program& p);
int showClip(core::Program& p);
// Shows the selected clip and puts it on the clipboard: 1 when it is there, else 0.
int copyClip(core::Program& p);
// Puts the clip with this key on the clipboard exactly (rich text and picture included) as our own
// write, leaving the list, the shown clip and the active set as they are; false when it could not.
bool copyClipWithKey(core::Program& p, std::int64_t key);
int showCurrentRowClip(core::Program& p);
void clickSelectClip(core::Program& p);
void activateClip(core::Program& p);
void moveClipToTop(core::Program& p, int element);
void reorderRowsByDrop(core::Program& p, int from, int to);
void sortByColumn(core::Program& p, int column);
void onTabChange(core::Program& p);
// A row of a list changed state: away from the Clip Sets tab a pending set click is cancelled.
void onListItemChange(core::Program& p);
void showAdditionalInfo(core::Program& p);
void refreshSourceMenuItem(core::Program& p);
void resetColumnTitles(core::Program& p);

// The Text tab's popup menu; "Save to Database" only when `withSave`.
void buildEditorPopupMenu(core::Program& p, bool withSave);

void showPlainText(core::Program& p, const std::string& text);
void showRichText(core::Program& p, const std::string& rtf);

}  // namespace ui
