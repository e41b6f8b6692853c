// The clip list and the content view: the in-memory rows of the active set, the list that shows
// them newest first, and showing a clip with or without putting it on the clipboard.
#pragma once

#include <cstdint>
#include <string>

namespace app {
struct Program;
struct ClipRow;
}

namespace ui {

// The element a list row shows (through the row order), nullptr for no such row.
app::ClipRow* elementAtRow(app::Program& p, int row);
app::ClipRow* elementWithKey(app::Program& p, std::int64_t key);
int elementIndexOfRow(const app::Program& p, int row);
// The two column texts of a list row.
std::string rowColumnText(app::Program& p, int row, int column);

// Adds a clip's row at the top, or at a row's place (a replaced clip).
void addRowAtTop(app::Program& p, const app::ClipRow& row);
void addRowAtRow(app::Program& p, const app::ClipRow& row, int at);
// Tells the list gadget the rows again (newest first unless sorted or dropped since).
void drawRows(app::Program& p);
// Rebuilds the row order newest first and draws it.
void resetRowOrder(app::Program& p);

void fillClipList(app::Program& p);
void clearClipView(app::Program& p);
void blankContentView(app::Program& p);
// Selects row currentRow (0 when negative) and scrolls it into view.
void selectRow(app::Program& p);
int syncCurrentClip(app::Program& p);
// Shows the current row's clip (and puts it on the clipboard when copyOnShow): 0 shown, 1 nothing to show.
int showClipContent(app::Program& p);
int showClip(app::Program& p);
int copyClip(app::Program& p);
int showCurrentRowClip(app::Program& p);
void clickSelectClip(app::Program& p);
void activateClip(app::Program& p);
void moveClipToTop(app::Program& p, int element);
void reorderRowsByDrop(app::Program& p, int from, int to);
void sortByColumn(app::Program& p, int column);
void onTabChange(app::Program& p);
void showAdditionalInfo(app::Program& p);
void refreshSourceMenuItem(app::Program& p);
void resetColumnTitles(app::Program& p);

void showPlainText(app::Program& p, const std::string& text);
void showRichText(app::Program& p, const std::string& rtf);

}  // namespace ui
