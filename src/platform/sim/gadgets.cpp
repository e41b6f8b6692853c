// Simulated controls: their state is kept as a user would see it (captions and colours drawn on
// buttons, list rows, the tab shown, editor text), for tests to read.
#include "platform/gadgets.h"

#include <algorithm>
#include <cctype>

#include "platform/dialogs.h"
#include "platform/sim/desktop.h"

namespace platform {

using sim::desktop;

namespace {

sim::Gadget& make(const Place& place, int gadget, const char* kind) {
  sim::Gadget& g = desktop().gadgets[gadget];
  g = sim::Gadget{};
  g.kind = kind;
  g.place = place;
  return g;
}

sim::Gadget* find(int gadget) {
  auto& all = desktop().gadgets;
  const auto it = all.find(gadget);
  return it == all.end() ? nullptr : &it->second;
}

bool placed(const Place& place) { return desktop().window(place.window) != nullptr; }

}  // namespace

int measureText(FontId, const std::string& text) {
  return static_cast<int>(text.size()) * desktop().measurePixelsPerChar;
}

bool createButton(const Place& place, int gadget, const std::string& caption) {
  if (!placed(place)) return false;
  make(place, gadget, "button").text = caption;
  return true;
}

void drawButtonCaption(int gadget, const std::string& caption, Colour text, Colour background, FontId font) {
  if (auto* g = find(gadget)) {
    if (g->text != caption || g->textColour != text || g->background != background || g->font != font) ++g->looks;
    g->text = caption;
    g->textColour = text;
    g->background = background;
    g->font = font;
  }
}

bool createPushButton(const Place& place, int gadget, const std::string& caption, FontId font) {
  if (!placed(place)) return false;
  auto& g = make(place, gadget, "pushbutton");
  g.text = caption;
  g.font = font;
  return true;
}

bool createCheckBox(const Place& place, int gadget, const std::string& caption, FontId font) {
  if (!placed(place)) return false;
  auto& g = make(place, gadget, "checkbox");
  g.text = caption;
  g.font = font;
  return true;
}

void setCheckBox(int gadget, bool checked) {
  if (auto* g = find(gadget)) g->checked = checked;
}

bool checkBoxIsTicked(int gadget) {
  auto* g = find(gadget);
  return g != nullptr && g->checked;
}

bool createPictureButton(const Place& place, int gadget, Picture picture, const std::string& name) {
  if (!placed(place)) return false;
  auto& g = make(place, gadget, "picture");
  g.picture = picture;
  g.text = name;
  return true;
}

void setButtonPicture(int gadget, Picture picture) {
  if (auto* g = find(gadget)) g->picture = picture;
}

void enableGadget(int gadget, bool enabled) {
  if (auto* g = find(gadget)) g->enabled = enabled;
}

bool gadgetIsEnabled(int gadget) {
  auto* g = find(gadget);
  return g != nullptr && g->enabled;
}

bool createNumberBox(const Place& place, int gadget) {
  if (!placed(place)) return false;
  make(place, gadget, "number");
  return true;
}

bool createTextLabel(const Place& place, int gadget, const std::string& text, FontId font) {
  if (!placed(place)) return false;
  auto& g = make(place, gadget, "label");
  g.text = text;
  g.font = font;
  return true;
}

bool createFilterBox(const Place& place, int gadget, FontId font) {
  if (!placed(place)) return false;
  make(place, gadget, "filter").font = font;
  return true;
}

std::string filterBoxText(int gadget) {
  const auto* g = find(gadget);
  return g != nullptr ? g->text : std::string();
}

void setFilterBoxText(int gadget, const std::string& text) {
  if (auto* g = find(gadget)) g->text = text;
}

void showSelectionUnfocused(int) {}

bool createListView(const Place& place, int gadget, bool, bool) {
  if (!placed(place)) return false;
  make(place, gadget, "list");
  return true;
}

void setListColumns(int gadget, const std::vector<std::string>& titles, const std::vector<int>& widths) {
  if (auto* g = find(gadget)) {
    g->columnTitles = titles;
    g->columnWidths = widths;
  }
}

void setListColumnTitle(int gadget, int column, const std::string& title) {
  auto* g = find(gadget);
  if (g != nullptr && column >= 0 && column < static_cast<int>(g->columnTitles.size())) g->columnTitles[column] = title;
}

void setListRows(int gadget, int count, RowText text) {
  if (auto* g = find(gadget)) {
    g->rowCount = count;
    g->rowText = std::move(text);
    ++g->redraws;
    desktop().journal.push_back("rows " + std::to_string(gadget));
    g->invalid = true;
    for (auto it = g->selected.begin(); it != g->selected.end();)
      it = *it >= count ? g->selected.erase(it) : std::next(it);
  }
}

void insertListRow(int gadget, int row, int count, RowText text) {
  auto* g = find(gadget);
  if (g == nullptr) return;
  if (g->invalid || count != g->rowCount + 1) {
    setListRows(gadget, count, std::move(text));
    return;
  }
  g->rowCount = count;
  g->rowText = std::move(text);
  ++g->redraws;
  desktop().journal.push_back("rows " + std::to_string(gadget));
  // As the real list: the picture moves down a row, and the new row and the rows whose selection
  // marks moved with it are drawn again.
  g->invalidRows.insert(row);
  for (int selected : g->selected) {
    g->invalidRows.insert(selected);
    g->invalidRows.insert(selected + 1);
  }
}

int listRowCount(int gadget) {
  auto* g = find(gadget);
  return g == nullptr ? 0 : g->rowCount;
}

std::vector<int> listSelectedRows(int gadget) {
  auto* g = find(gadget);
  if (g == nullptr) return {};
  return std::vector<int>(g->selected.begin(), g->selected.end());
}

void selectListRow(int gadget, int row) {
  auto* g = find(gadget);
  if (g != nullptr && row >= 0 && row < g->rowCount) {
    g->selected.insert(row);
    g->currentRow = row;
  }
}

void deselectListRows(int gadget) {
  if (auto* g = find(gadget)) g->selected.clear();
}

void ensureListRowVisible(int gadget, int row) {
  auto* g = find(gadget);
  if (g == nullptr || row < 0 || row >= g->rowCount) return;
  g->visibleRow = row;
  if (row < g->topRow) g->topRow = row;
  else if (row >= g->topRow + g->rowsPerPage) g->topRow = row - g->rowsPerPage + 1;
}

int listTopRow(int gadget) {
  auto* g = find(gadget);
  return g == nullptr ? 0 : g->topRow;
}

int listRowsPerPage(int gadget) {
  auto* g = find(gadget);
  return g == nullptr ? 0 : g->rowsPerPage;
}

int listPointerBand(int gadget, int) {
  auto* g = find(gadget);
  return g == nullptr ? 0 : g->pointerBand;
}

void followRowDrag(int gadget, std::function<void()> during) {
  desktop().dragGadget = gadget;
  desktop().dragDuring = std::move(during);
}

int listCurrentRow(int gadget) {
  auto* g = find(gadget);
  return g == nullptr ? -1 : g->currentRow;
}

std::string listRowText(int gadget, int row, int column) {
  auto* g = find(gadget);
  if (g == nullptr || !g->rowText || row < 0 || row >= g->rowCount) return "";
  return g->rowText(row, column);
}

void setListColours(int gadget, Colour text, Colour background) {
  if (auto* g = find(gadget)) {
    g->textColour = text;
    g->background = background;
  }
}

void setListLineColour(int gadget, Colour lines) {
  if (auto* g = find(gadget)) g->lineColour = lines;
}

bool createPanel(const Place& place, int gadget, const std::vector<std::string>& tabs, FontId font) {
  if (!placed(place)) return false;
  auto& g = make(place, gadget, "panel");
  g.tabs = tabs;
  g.font = font;
  return true;
}

void setPanelTab(int gadget, int tab) {
  if (auto* g = find(gadget)) g->tab = tab;
}

int panelTab(int gadget) {
  auto* g = find(gadget);
  return g == nullptr ? 0 : g->tab;
}

bool createEditor(const Place& place, int gadget) {
  if (!placed(place)) return false;
  make(place, gadget, "editor");
  return true;
}

void setEditorText(int gadget, const std::string& text) {
  if (auto* g = find(gadget)) {
    if (g->text != text || !g->richText.empty()) ++g->looks;
    g->text = text;
    g->richText.clear();
    g->selStart = g->selEnd = g->caret = 0;
    g->modified = false;
    g->colouredText.clear();
  }
}

std::string editorText(int gadget) {
  auto* g = find(gadget);
  return g == nullptr ? "" : g->text;
}

void setEditorRichText(int gadget, const std::string& rtf) {
  if (auto* g = find(gadget)) {
    g->richText = rtf;
    g->text = rtf;  // the simulation shows rich text as it came
    g->selStart = g->selEnd = g->caret = 0;
    g->modified = false;
    g->colouredText.clear();
  }
}

std::string editorRichText(int gadget) {
  auto* g = find(gadget);
  if (g == nullptr) return "";
  return g->richText.empty() ? "{\\rtf1 " + g->text + "}" : g->richText;
}

void setEditorColours(int gadget, Colour text, Colour background) {
  if (auto* g = find(gadget)) {
    g->textColour = text;
    g->background = background;
  }
}

void colourEditorText(int gadget, int from, int to, Colour colour) {
  if (auto* g = find(gadget)) g->colouredText.push_back({from, to, colour});
}

void setEditorCaret(int gadget, int position) {
  if (auto* g = find(gadget)) g->caret = g->selStart = g->selEnd = position;
}

namespace {

// The selection ordered and inside the text.
TextRange selection(const sim::Gadget& g) {
  const int length = static_cast<int>(g.text.size());
  const int a = std::clamp(g.selStart, 0, length), b = std::clamp(g.selEnd, 0, length);
  return {std::min(a, b), std::max(a, b)};
}

void putOnClipboard(const std::string& text) {
  auto& d = desktop();
  d.clipboard = {{CF_TEXT, text + '\0'}};
  d.notifyClipboardChange();
}

unsigned char folded(unsigned char c, bool matchCase) {
  return matchCase ? c : static_cast<unsigned char>(std::tolower(c));
}

bool wordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c >= 0xC0; }

bool matchesAt(const std::string& text, const std::string& wanted, std::size_t at, unsigned flags) {
  if (at + wanted.size() > text.size()) return false;
  const bool matchCase = (flags & FIND_MATCHCASE) != 0;
  for (std::size_t i = 0; i < wanted.size(); ++i)
    if (folded(static_cast<unsigned char>(text[at + i]), matchCase) != folded(static_cast<unsigned char>(wanted[i]), matchCase))
      return false;
  if (flags & FIND_WHOLEWORD) {
    if (at > 0 && wordChar(static_cast<unsigned char>(text[at - 1]))) return false;
    const std::size_t after = at + wanted.size();
    if (after < text.size() && wordChar(static_cast<unsigned char>(text[after]))) return false;
  }
  return true;
}

}  // namespace

TextRange editorSelection(int gadget) {
  auto* g = find(gadget);
  return g == nullptr ? TextRange{} : selection(*g);
}

void setEditorSelection(int gadget, int start, int end) {
  if (auto* g = find(gadget)) {
    const int length = static_cast<int>(g->text.size());
    g->selStart = std::clamp(start, 0, length);
    g->selEnd = end < 0 ? length : std::clamp(end, 0, length);
    g->caret = g->selEnd;
  }
}

std::string editorSelectedText(int gadget) {
  auto* g = find(gadget);
  if (g == nullptr) return "";
  const TextRange r = selection(*g);
  return g->text.substr(static_cast<std::size_t>(r.start), static_cast<std::size_t>(r.end - r.start));
}

void editorCut(int gadget) {
  auto* g = find(gadget);
  if (g == nullptr || selection(*g).start == selection(*g).end) return;
  putOnClipboard(editorSelectedText(gadget));
  desktop().typeInEditor(gadget, "");
}

void editorCopy(int gadget) {
  auto* g = find(gadget);
  if (g == nullptr || selection(*g).start == selection(*g).end) return;
  putOnClipboard(editorSelectedText(gadget));
}

void editorPaste(int gadget) {
  auto& d = desktop();
  const auto text = d.clipboard.find(CF_TEXT);
  if (find(gadget) == nullptr || text == d.clipboard.end()) return;
  d.typeInEditor(gadget, text->second.substr(0, text->second.find('\0')));
}

void editorClear(int gadget) {
  auto* g = find(gadget);
  if (g != nullptr && selection(*g).start != selection(*g).end) desktop().typeInEditor(gadget, "");
}

void editorReplaceSelection(int gadget, const std::string& text) {
  if (find(gadget) != nullptr) desktop().typeInEditor(gadget, text);
}

std::optional<TextRange> editorFindText(int gadget, const std::string& text, int from, int to, unsigned flags) {
  auto* g = find(gadget);
  if (g == nullptr || text.empty()) return std::nullopt;
  const int length = static_cast<int>(g->text.size());
  from = std::clamp(from, 0, length);
  to = to < 0 ? length : std::clamp(to, 0, length);
  const int size = static_cast<int>(text.size());
  if (flags & FIND_DOWN) {
    for (int at = from; at + size <= to; ++at)
      if (matchesAt(g->text, text, static_cast<std::size_t>(at), flags)) return TextRange{at, at + size};
  } else {
    for (int at = from - size; at >= to; --at)
      if (matchesAt(g->text, text, static_cast<std::size_t>(at), flags)) return TextRange{at, at + size};
  }
  return std::nullopt;
}

bool editorModified(int gadget) {
  auto* g = find(gadget);
  return g != nullptr && g->modified;
}

TextRange editorClickedLink(int gadget) {
  auto* g = find(gadget);
  return g == nullptr ? TextRange{} : g->link;
}

bool createImageView(const Place& place, int gadget) {
  if (!placed(place)) return false;
  make(place, gadget, "image");
  return true;
}

void clearImageView(int gadget) {
  if (auto* g = find(gadget)) {
    g->hasImage = false;
    g->imagePixels.clear();
    g->imageWidth = g->imageHeight = 0;
  }
}

bool createBrowser(const Place& place, int gadget) {
  if (!placed(place) || !desktop().browserAvailable) return false;
  make(place, gadget, "browser");
  return true;
}

void browserNavigate(int gadget, const std::string& address) {
  if (auto* g = find(gadget)) g->address = address;
}

void moveGadget(int gadget, int x, int y, int width, int height) {
  if (auto* g = find(gadget)) {
    g->place.x = x;
    g->place.y = y;
    g->place.width = width;
    g->place.height = height;
  }
}

bool createSplitterBar(const Place& place, int gadget) {
  if (!placed(place)) return false;
  make(place, gadget, "splitter");
  return true;
}

void setMinimumClientSize(Hwnd window, int width, int height) {
  if (auto* w = desktop().window(window)) {
    w->minimumWidth = width;
    w->minimumHeight = height;
  }
}

void setFocusGadget(int gadget) { desktop().focusGadget = gadget; }
int focusedGadget() { return desktop().focusGadget; }
void sendGadgetKey(int gadget, int virtualKey) { desktop().sentKeys.push_back({gadget, virtualKey}); }
int gadgetUnderCursor() { return desktop().gadgetUnderPointer; }
void setMenuBar(Hwnd window, const std::vector<MenuItem>& menus) { desktop().menuBars[window] = menus; }
void setKeyCommands(Hwnd window, const std::vector<std::pair<int, int>>& keyToCommand) {
  desktop().keyCommands[window] = keyToCommand;
}

void setPopupMenu(Hwnd, int menu, const std::vector<MenuItem>& items) {
  desktop().menus[menu] = items;
  ++desktop().menusBuilt;
}

void showPopupMenu(Hwnd, int menu) {
  auto& d = desktop();
  if (d.menus.count(menu) == 0) return;  // as on Windows, a popup never built shows nothing
  d.menusShown.push_back(menu);
  if (d.menuPicks.empty()) return;
  const int pick = d.menuPicks.front();
  d.menuPicks.pop_front();
  if (pick != 0) {
    WindowEvent e;
    e.kind = EVENT_MENU;
    e.window = 500;
    e.gadget = pick;
    d.postEvent(e);
  }
}

void createTooltip(const Tooltip& tip, Colour) {
  desktop().tooltips.push_back(tip);
  desktop().journal.push_back("tooltip " + std::to_string(tip.gadget));
}

void removeTooltips() {
  desktop().tooltips.clear();
  desktop().journal.push_back("tooltips removed");
}

}  // namespace platform
