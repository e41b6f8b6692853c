// The list views: virtual (LVS_OWNERDATA), so the program keeps its rows and
// the control asks for the texts of the rows it draws; 100,000 clips cost no
// more to show than ten. Clicks, column clicks and drags become gadget events.
#include "platform/gadgets.h"

#include "platform/win32/win32.h"

#include <commctrl.h>

#include <map>

namespace platform {
using namespace win32;

namespace {

struct ListRows {
  int count = 0;
  RowText text;
  std::string shown;  // the text handed to the control last; it must outlive the notification
};

std::map<int, ListRows> lists;

HWND listWindow(int gadget) { return lists.count(gadget) ? gadgetWindow(gadget) : nullptr; }

void fillDisplayInfo(int gadget, NMLVDISPINFOA& info) {
  auto found = lists.find(gadget);
  if (found == lists.end() || !(info.item.mask & LVIF_TEXT) || info.item.cchTextMax <= 0) return;
  ListRows& rows = found->second;
  const int row = info.item.iItem;
  rows.shown = rows.text && row >= 0 && row < rows.count ? rows.text(row, info.item.iSubItem) : std::string();
  lstrcpynA(info.item.pszText, rows.shown.c_str(), info.item.cchTextMax);
}

}  // namespace

bool createListView(const Place& place, int gadget, bool multiSelect, bool checkBoxes) {
  const DWORD style = WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | (multiSelect ? 0 : LVS_SINGLESEL);
  HWND list = createControl(place, gadget, WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", style);
  if (!list) return false;
  SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font(FontId::List)), FALSE);
  const DWORD extended = LVS_EX_FULLROWSELECT | (checkBoxes ? LVS_EX_CHECKBOXES : 0);
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  lists[gadget] = ListRows{};
  return true;
}

void setListColumns(int gadget, const std::vector<std::string>& titles, const std::vector<int>& widths) {
  HWND list = listWindow(gadget);
  if (!list) return;
  while (SendMessageA(list, LVM_DELETECOLUMN, 0, 0)) {
  }
  for (size_t i = 0; i < titles.size(); ++i) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(titles[i].c_str());
    column.cx = i < widths.size() ? widths[i] : 100;
    column.iSubItem = static_cast<int>(i);
    SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
}

void setListColumnTitle(int gadget, int column, const std::string& title) {
  HWND list = listWindow(gadget);
  if (!list) return;
  // Every capture sets the titles again; the header repaints at each change, even to the same text.
  char shown[512] = "";
  LVCOLUMNA current = {};
  current.mask = LVCF_TEXT;
  current.pszText = shown;
  current.cchTextMax = sizeof shown;
  if (SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&current)) &&
      title == shown)
    return;
  LVCOLUMNA info = {};
  info.mask = LVCF_TEXT;
  info.pszText = const_cast<char*>(title.c_str());
  SendMessageA(list, LVM_SETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
}

void setListRows(int gadget, int count, RowText text) {
  HWND list = listWindow(gadget);
  if (!list) return;
  ListRows& rows = lists[gadget];
  rows.count = count;
  rows.text = std::move(text);
  SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL);
  InvalidateRect(list, nullptr, TRUE);
}

int listRowCount(int gadget) {
  auto found = lists.find(gadget);
  return found == lists.end() ? 0 : found->second.count;
}

std::vector<int> listSelectedRows(int gadget) {
  std::vector<int> rows;
  HWND list = listWindow(gadget);
  if (!list) return rows;
  // Each search for the next selected row goes on to the end of the list: stop at the last one.
  const int selected = static_cast<int>(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0));
  for (int row = -1; static_cast<int>(rows.size()) < selected &&
                     (row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;)
    rows.push_back(row);
  return rows;
}

void selectListRow(int gadget, int row) {
  HWND list = listWindow(gadget);
  if (!list || row < 0 || row >= listRowCount(gadget)) return;
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void deselectListRows(int gadget) {
  HWND list = listWindow(gadget);
  if (!list) return;
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED;
  // "Every row" is gone through row by row, 100,000 of them in a long list; the selected row is
  // nearly always the focused one, so that one alone is deselected when it is the only one.
  if (SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 1) {
    const int focused = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (focused >= 0 && (SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(focused), LVIS_SELECTED) & LVIS_SELECTED)) {
      SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&item));
      return;
    }
  }
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

void ensureListRowVisible(int gadget, int row) {
  if (HWND list = listWindow(gadget)) SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

int listCurrentRow(int gadget) {
  HWND list = listWindow(gadget);
  if (!list) return -1;
  LVHITTESTINFO hit = {};
  GetCursorPos(&hit.pt);
  ScreenToClient(list, &hit.pt);
  const int under = static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (under >= 0 && (hit.flags & LVHT_ONITEM)) return under;
  return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

std::string listRowText(int gadget, int row, int column) {
  auto found = lists.find(gadget);
  if (found == lists.end() || !found->second.text || row < 0 || row >= found->second.count) return {};
  return found->second.text(row, column);
}

void setListColours(int gadget, Colour text, Colour background) {
  HWND list = listWindow(gadget);
  if (!list) return;
  SendMessageA(list, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
  SendMessageA(list, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(background));
  SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(background));
  InvalidateRect(list, nullptr, TRUE);
}

namespace win32 {

bool listMessage(HWND window, UINT, WPARAM, LPARAM lParam, LRESULT& result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  const int gadget = static_cast<int>(header->idFrom);
  if (!lists.count(gadget) || gadgetWindow(gadget) != header->hwndFrom) return false;
  const int number = numberOfWindow(window);
  switch (header->code) {
    case LVN_GETDISPINFOA:
      fillDisplayInfo(gadget, *reinterpret_cast<NMLVDISPINFOA*>(lParam));
      result = 0;
      return true;
    case NM_CLICK:
      pushEvent({EVENT_GADGET, number, gadget, GADGET_LEFT_CLICK, reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem});
      break;
    case NM_DBLCLK:
      pushEvent({EVENT_GADGET, number, gadget, GADGET_DOUBLE_CLICK, reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem});
      break;
    case NM_RCLICK:
      pushEvent({EVENT_GADGET, number, gadget, GADGET_RIGHT_CLICK, reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem});
      break;
    case LVN_COLUMNCLICK:
      pushEvent({EVENT_GADGET, number, gadget, GADGET_COLUMN_CLICK, reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem});
      break;
    case LVN_BEGINDRAG:
      pushEvent({EVENT_GADGET, number, gadget, GADGET_DRAG_START, reinterpret_cast<const NMLISTVIEW*>(lParam)->iItem});
      break;
    default:
      break;
  }
  return false;  // the logic's proc sees list notifications too
}

}  // namespace win32

}  // namespace platform
