// The controls of the main window, known by number: picture buttons with drawn captions, the
// virtual clip list, the tab panel and what it holds, and tooltips. Labels are in window.h.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

enum class FontId { Measure = 1, Tab = 2, Caption = 3, List = 4, Status = 5, Dialog = 6 };
enum class Picture { Logo = 1, CaptureOn = 2, CaptureOff = 3, Combining = 4 };

// Where a control goes: on the window, or on one tab of a panel.
struct Place {
  Hwnd window = 0;
  int panel = 0;  // the panel gadget, 0 for the window itself
  int tab = 0;
  int x = 0, y = 0, width = 0, height = 0;
};

// Width in pixels of a text drawn in a font.
int measureText(FontId font, const std::string& text);

// A command button whose caption the program draws; its window text is the caption. False on failure.
bool createButton(const Place& place, int gadget, const std::string& caption);
// Draws a caption on a button in a text colour on a background.
void drawButtonCaption(int gadget, const std::string& caption, Colour text, Colour background, FontId font);
// A button showing one of the program's pictures.
bool createPictureButton(const Place& place, int gadget, Picture picture, const std::string& name);
void setButtonPicture(int gadget, Picture picture);
void enableGadget(int gadget, bool enabled);
bool gadgetIsEnabled(int gadget);
// A push button in the system's own look. False on failure.
bool createPushButton(const Place& place, int gadget, const std::string& caption, FontId font);
// A check box with its caption, clear at first; a click ticks or clears it and reports a left
// click. False on failure.
bool createCheckBox(const Place& place, int gadget, const std::string& caption, FontId font);
void setCheckBox(int gadget, bool checked);
// False when clear or when there is no such box.
bool checkBoxIsTicked(int gadget);
// A read-only, right-aligned number box.
bool createNumberBox(const Place& place, int gadget);
// A left-aligned single-line label (window.h's labels are centred).
bool createTextLabel(const Place& place, int gadget, const std::string& text, FontId font);

// A single-line text box for a filter. Its text is UTF-8; each change arrives as GADGET_TEXT_CHANGE.
// The keys that move through a list (Up, Down, PgUp, PgDn, Ctrl+Home, Ctrl+End), Enter and Escape
// do not reach the box: they arrive as GADGET_KEY with the virtual key and KEY_SHIFT / KEY_CTRL in
// data. Home and End stay the box's own.
bool createFilterBox(const Place& place, int gadget, FontId font);
std::string filterBoxText(int gadget);
void setFilterBoxText(int gadget, const std::string& text);

// A list view with full-row selection. The program owns the rows: the list asks `text` for what it
// draws, so a list of any length is filled at once. Row texts are UTF-8; column titles ASCII.
using RowText = std::function<std::string(int row, int column)>;
bool createListView(const Place& place, int gadget, bool multiSelect, bool checkBoxes);
void setListColumns(int gadget, const std::vector<std::string>& titles, const std::vector<int>& widths);
void setListColumnTitle(int gadget, int column, const std::string& title);
// Tells the list how many rows it has and where their texts come from; redraws it.
void setListRows(int gadget, int count, RowText text);
// The same after one row was inserted at `row` (the rows from there on moved down one): the list
// moves what it shows rather than drawing every row in view again.
void insertListRow(int gadget, int row, int count, RowText text);
int listRowCount(int gadget);
std::vector<int> listSelectedRows(int gadget);
void selectListRow(int gadget, int row);
void deselectListRows(int gadget);
void ensureListRowVisible(int gadget, int row);
// The row under the mouse or with the focus, -1 when none.
int listCurrentRow(int gadget);
// A row's text as `text` gives it (UTF-8); empty for a row or list that is not there.
std::string listRowText(int gadget, int row, int column);
// The first row shown and how many rows fit in the list.
int listTopRow(int gadget);
int listRowsPerPage(int gadget);
// Where the pointer is over a list: -1 in its top band (`topBand` pixels, or its column header
// when 0), 1 in its bottom band (above the horizontal scroll bar), 0 elsewhere or off the list.
int listPointerBand(int gadget, int topBand);
// Follows a drag of rows that the list `gadget` reported as GADGET_DRAG_START: `during` runs
// every few milliseconds while the button is held; let go over a list of ours, the drop arrives
// as EVENT_DROP of that list, whose current row is then the row under the pointer (selected alone
// in a list of sets); let go elsewhere, as EVENT_DROP of gadget 0.
void followRowDrag(int gadget, std::function<void()> during);
void setListColours(int gadget, Colour text, Colour background);
// Draws a list's selected row in the highlight colours even while the keyboard focus is elsewhere
// (a filter box above it that steers it).
void showSelectionUnfocused(int gadget);
// Draws lines between the rows and columns of a list in a colour.
void setListLineColour(int gadget, Colour lines);

// A panel of tabs.
bool createPanel(const Place& place, int gadget, const std::vector<std::string>& tabs, FontId font);
void setPanelTab(int gadget, int tab);
int panelTab(int gadget);

// The rich-text editor: holds any text whole. Its plain texts in and out are UTF-8; its text comes
// back with "\r\n" between lines.
bool createEditor(const Place& place, int gadget);
void setEditorText(int gadget, const std::string& text);
std::string editorText(int gadget);
void setEditorRichText(int gadget, const std::string& rtf);
// The editor's contents as rich text.
std::string editorRichText(int gadget);
void setEditorColours(int gadget, Colour text, Colour background);
// Colours the editor's characters from `from` up to `to` (the selection is left at the start).
void colourEditorText(int gadget, int from, int to, Colour colour);
void setEditorCaret(int gadget, int position);
// Positions in the editor count its characters in UTF-16 units (a character beyond them, such as an
// emoji, counts two), a line break as one.
struct TextRange {
  int start = 0, end = 0;
};
// The selection; start == end when there is only the caret.
TextRange editorSelection(int gadget);
// Selects from `start` to `end` (-1: to the end) and scrolls the selection into view.
void setEditorSelection(int gadget, int start, int end);
// The selected text as UTF-8, its line breaks "\r\n"; empty when only the caret is there.
std::string editorSelectedText(int gadget);
// The editor's own clipboard commands: cut and copy put the selection on the clipboard (cut also
// removes it), paste replaces the selection by the clipboard's text, clear removes the selection.
void editorCut(int gadget);
void editorCopy(int gadget);
void editorPaste(int gadget);
void editorClear(int gadget);
// Replaces the selection by `text` (UTF-8), leaving the caret after it.
void editorReplaceSelection(int gadget, const std::string& text);
// Finds `text` (UTF-8) from `from` to `to` (-1: the end): downwards with FIND_DOWN, otherwise upwards from
// `from` back to `to`; FIND_MATCHCASE and FIND_WHOLEWORD as in the find dialog. nullopt when absent.
std::optional<TextRange> editorFindText(int gadget, const std::string& text, int from, int to, unsigned flags);
// True once the user has changed the text since it was last set by the program.
bool editorModified(int gadget);
// The range of the link last clicked in the editor (reported as GADGET_LINK_CLICK).
TextRange editorClickedLink(int gadget);

// A picture box, and the embedded web browser (false where none can be made: the tab stays empty).
bool createImageView(const Place& place, int gadget);
void clearImageView(int gadget);
// Shows a picture in a picture box: `width` x `height` pixels, rows top to bottom, 4 bytes a pixel
// (blue, green, red, unused). False when it cannot be shown; the box is then empty.
bool showImageView(int gadget, int width, int height, const std::uint8_t* pixels);
// The inside of a picture box, where a picture shows whole; 0 x 0 for no box.
struct Extent {
  int width = 0, height = 0;
};
Extent imageViewSize(int gadget);
bool createBrowser(const Place& place, int gadget);
void browserNavigate(int gadget, const std::string& address);

// A bar the user drags up and down to share the height between the controls above and below it;
// where it is let go arrives as GADGET_SPLITTER_MOVE with data = the bar's new top (client pixels).
bool createSplitterBar(const Place& place, int gadget);

// The smallest client area the user can size the window to.
void setMinimumClientSize(Hwnd window, int width, int height);
// Moves a control (the resize rule).
void moveGadget(int gadget, int x, int y, int width, int height);
void setFocusGadget(int gadget);
// The gadget that has the keyboard focus, 0 when none of ours has it.
int focusedGadget();
// Sends a gadget a key press and release (a virtual key such as VK_DELETE), as typing would.
void sendGadgetKey(int gadget, int virtualKey);
// The gadget under the mouse pointer, 0 when it is over none of ours.
int gadgetUnderCursor();

// Tooltips: one per control; removed all together.
struct Tooltip {
  int gadget = 0;
  std::string title;
  std::string text;
  bool warning = false;       // the warning icon instead of the information icon
  bool centredBelow = false;  // centred under the control instead of at the pointer
};
void createTooltip(const Tooltip& tip, Colour background);
void removeTooltips();

// Menus: an item the user picks arrives as an EVENT_MENU event with its number.
struct MenuItem {
  int id = 0;                    // 0 for a separator (or a submenu, which has items)
  std::string caption;           // UTF-8
  bool enabled = true;           // false: shown greyed, cannot be picked
  std::vector<MenuItem> items;   // a submenu's entries
};
void setPopupMenu(Hwnd window, int menu, const std::vector<MenuItem>& items);
// Shows a popup menu at the cursor and waits until it closes.
void showPopupMenu(Hwnd window, int menu);
// Gives a window a menu bar (each entry a submenu); replaces the one it had, keeping the client size.
void setMenuBar(Hwnd window, const std::vector<MenuItem>& menus);
// Keys of a window that arrive as menu commands while the focus is in it or one of its
// controls (never from another top-level window): virtual key -> command number.
void setKeyCommands(Hwnd window, const std::vector<std::pair<int, int>>& keyToCommand);

// Gadget event types reported in WindowEvent.type for EVENT_GADGET.
constexpr int GADGET_LEFT_CLICK = 0;
constexpr int GADGET_RIGHT_CLICK = 1;
constexpr int GADGET_DOUBLE_CLICK = 2;
constexpr int GADGET_COLUMN_CLICK = 20;  // data: the column
constexpr int GADGET_TAB_CHANGE = 21;    // data: the new tab
constexpr int GADGET_ITEM_CHANGE = 22;   // data: the row
constexpr int GADGET_SPLITTER_MOVE = 23; // data: the bar's new top
constexpr int GADGET_LINK_CLICK = 24;    // a left click on a link in the editor
constexpr int GADGET_TEXT_CHANGE = 25;   // a filter box's text changed
constexpr int GADGET_KEY = 26;           // data: virtual key | KEY_SHIFT | KEY_CTRL
constexpr int GADGET_DRAG_START = 14002;
constexpr std::intptr_t KEY_SHIFT = 0x10000;
constexpr std::intptr_t KEY_CTRL = 0x20000;

}  // namespace platform
