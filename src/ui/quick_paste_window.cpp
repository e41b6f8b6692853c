#include "ui/quick_paste_window.h"

#include <algorithm>

#include "core/program.h"
#include "platform/gadgets.h"
#include "platform/input.h"
#include "platform/window.h"
#include "store/quick_search.h"

namespace ui {
namespace {

constexpr int width = 620, height = 380, margin = 6, boxHeight = 24, statusHeight = 18;

// Reads the texts of the rows from `first` on that a page shows and were not read before, at once.
void readRowTexts(core::Program& p, int first) {
  auto& qp = p.quickPaste;
  const int last = std::min(static_cast<int>(qp.keys.size()), first + platform::listRowsPerPage(gadgetQuickList) + 1);
  std::vector<std::int64_t> keys;
  for (int row = std::max(0, first); row < last; ++row) {
    const std::int64_t key = qp.keys[static_cast<std::size_t>(row)];
    if (qp.rowTexts.count(key) == 0) keys.push_back(key);
  }
  const auto read = store::ReadQuickRows(p, keys);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    std::vector<std::string> texts{"(deleted)", "", "", ""};
    if (read[i]) texts = {read[i]->firstLine, read[i]->setName, read[i]->noteOrSource, read[i]->date};
    qp.rowTexts.emplace(keys[i], std::move(texts));
  }
}

// The list's columns: the clip's first line, its set, its note or source, its date.
std::string rowColumn(core::Program& p, int row, int column) {
  auto& qp = p.quickPaste;
  if (row < 0 || row >= static_cast<int>(qp.keys.size())) return "";
  const std::int64_t key = qp.keys[static_cast<std::size_t>(row)];
  auto found = qp.rowTexts.find(key);
  if (found == qp.rowTexts.end()) {
    readRowTexts(p, row);
    found = qp.rowTexts.find(key);
    if (found == qp.rowTexts.end()) return "";
  }
  return column < static_cast<int>(found->second.size()) ? found->second[static_cast<std::size_t>(column)] : "";
}

std::string countText(const core::QuickPasteView& qp) {
  const std::size_t n = qp.keys.size();
  std::string text;
  if (n == 0) text = qp.filter.empty() ? "No clips yet" : "No clip matches the filter";
  else if (n > quickPasteListed) text = "1,000+ clips";
  else if (n == quickPasteListed) text = "1,000 clips";
  else text = std::to_string(n) + (n == 1 ? " clip" : " clips");
  if (!qp.indexed) text += " (the search index is being built: searching without it)";
  return text;
}

}  // namespace

bool openQuickPasteWindow(core::Program& p) {
  // Near the pointer, and whole on the monitor the pointer is on.
  const platform::Point at = platform::cursorPosition();
  bool onAMonitor = false;
  const platform::Rect area = platform::nearestMonitorWorkArea({at.x, at.y, at.x + 1, at.y + 1}, onAMonitor);
  const int x = std::max(area.left, std::min(at.x - width / 3, area.right - width));
  const int y = std::max(area.top, std::min(at.y - boxHeight, area.bottom - height));
  const platform::Hwnd w = platform::openPopupWindow(quickPasteWindowNumber, x, y, width, height, "Tandrel Quick Paste");
  if (w == 0) return false;
  const int inner = width - 2 * margin;
  const int listTop = margin + boxHeight + margin;
  const int listHeight = height - listTop - statusHeight - 2 * margin;
  const bool made =
      platform::createFilterBox({w, 0, 0, margin, margin, inner, boxHeight}, gadgetQuickFilter, platform::FontId::List) &&
      platform::createListView({w, 0, 0, margin, listTop, inner, listHeight}, gadgetQuickList, false, false) &&
      platform::createTextLabel({w, 0, 0, margin, listTop + listHeight + margin, inner, statusHeight}, gadgetQuickStatus,
                                "", platform::FontId::Status);
  if (!made) {
    platform::closeWindow(w);
    return false;
  }
  platform::setListColumns(gadgetQuickList, {"Clip", "Set", "Note or source", "Date"}, {236, 80, 120, 150});
  platform::showSelectionUnfocused(gadgetQuickList);
  p.quickPaste.window = w;
  return true;
}

bool showQuickPasteWindow(core::Program& p) {
  return platform::showInFront(p.quickPaste.window, gadgetQuickFilter);
}

void closeQuickPasteWindow(core::Program& p) {
  auto& qp = p.quickPaste;
  if (qp.window != 0) platform::closeWindow(qp.window);
  qp = core::QuickPasteView{};
}

void showQuickMatches(core::Program& p) {
  auto& qp = p.quickPaste;
  // The texts of rows drawn before stay: the next filter mostly shows the same newest clips.
  const int rows = static_cast<int>(std::min(qp.keys.size(), quickPasteListed));
  platform::setListRows(gadgetQuickList, rows, [&p](int row, int column) { return rowColumn(p, row, column); });
  if (rows > 0) {
    platform::selectListRow(gadgetQuickList, 0);
    platform::ensureListRowVisible(gadgetQuickList, 0);
  }
  setQuickStatus(p, countText(qp));
}

void setQuickStatus(core::Program&, const std::string& text) { platform::setGadgetText(gadgetQuickStatus, text); }

int quickSelectedRow() {
  const auto rows = platform::listSelectedRows(gadgetQuickList);
  return rows.empty() ? -1 : rows.front();
}

void moveQuickSelection(core::Program&, int virtualKey, bool ctrl) {
  const int count = platform::listRowCount(gadgetQuickList);
  if (count == 0) return;
  const int page = std::max(1, platform::listRowsPerPage(gadgetQuickList) - 1);
  const int now = std::max(0, quickSelectedRow());
  int next = now;
  switch (virtualKey) {
    case platform::VK_UP: next = now - 1; break;
    case platform::VK_DOWN: next = now + 1; break;
    case platform::VK_PRIOR: next = now - page; break;
    case platform::VK_NEXT: next = now + page; break;
    case platform::VK_HOME: if (ctrl) next = 0; break;
    case platform::VK_END: if (ctrl) next = count - 1; break;
    default: break;
  }
  next = std::max(0, std::min(next, count - 1));
  platform::deselectListRows(gadgetQuickList);
  platform::selectListRow(gadgetQuickList, next);
  platform::ensureListRowVisible(gadgetQuickList, next);
}

}  // namespace ui
