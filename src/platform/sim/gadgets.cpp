// Simulated controls: their state is kept as a user would see it (captions and colours drawn on
// buttons, list rows, the tab shown, editor text), for tests to read.
#include "platform/gadgets.h"

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
  if (auto* g = find(gadget)) g->visibleRow = row;
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
    g->text = text;
    g->richText.clear();
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
  if (auto* g = find(gadget)) g->caret = position;
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
