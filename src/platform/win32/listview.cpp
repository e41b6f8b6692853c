// The list views: virtual (LVS_OWNERDATA), so the program keeps its rows and
// the control asks for the texts of the rows it draws; 100,000 clips cost no
// more to show than ten. Row texts are UTF-8, shown through the list's wide
// notifications. Clicks, column clicks and drags become gadget events.
#include "platform/gadgets.h"

#include "platform/win32/win32.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <map>

namespace platform {
using namespace win32;

namespace {

struct ListRows {
  int count = 0;
  RowText text;
  std::wstring shown;  // the text handed to the control last; it must outlive the notification
  bool lines = false;
  COLORREF lineColour = 0;
  bool brightSelection = false;  // the selection in the highlight colours even while the focus is elsewhere
  std::vector<int> widths;  // the columns as set; the first one gives way to a vertical scroll bar
};

std::map<int, ListRows> lists;

// The list view class's own procedure, under ours. Swapped in directly: under Wine a control
// subclassed through the common controls asks the server for its subclass at every message.
WNDPROC listViewProc = nullptr;

// Set while a list is hidden for a moment by its style alone: the list view must not hear of it.
bool hidingQuietly = false;

// The first column narrows while the columns are wider than the list, so that a vertical scroll bar
// never brings a horizontal one with it, and widens again up to its set width.
void fitFirstColumn(HWND list) {
  auto found = lists.find(gadgetOfWindow(list));
  if (found == lists.end() || found->second.widths.empty()) return;
  const std::vector<int>& widths = found->second.widths;
  RECT client;
  GetClientRect(list, &client);
  int others = 0;
  for (size_t i = 1; i < widths.size(); ++i) others += widths[i];
  const int fitted = std::max(40, std::min(widths[0], static_cast<int>(client.right) - others));
  if (SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0) != fitted) SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, fitted);
}

LRESULT CALLBACK listViewFittingColumns(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hidingQuietly && (message == WM_STYLECHANGING || message == WM_STYLECHANGED)) return 0;
  const LRESULT result = CallWindowProcW(listViewProc, list, message, wParam, lParam);
  if (message == WM_SIZE) fitFirstColumn(list);
  return result;
}

HWND listWindow(int gadget) { return lists.count(gadget) ? gadgetWindow(gadget) : nullptr; }

// Only the cells the list draws are converted, one at a time.
void fillDisplayInfo(int gadget, NMLVDISPINFOW& info) {
  auto found = lists.find(gadget);
  if (found == lists.end() || !(info.item.mask & LVIF_TEXT) || info.item.cchTextMax <= 0) return;
  ListRows& rows = found->second;
  const int row = info.item.iItem;
  rows.shown = rows.text && row >= 0 && row < rows.count ? toWide(rows.text(row, info.item.iSubItem)) : std::wstring();
  size_t length = std::min(rows.shown.size(), static_cast<size_t>(info.item.cchTextMax - 1));
  // Cut short, the text never ends in half a character.
  if (length < rows.shown.size() && length > 0 && IS_HIGH_SURROGATE(rows.shown[length - 1])) --length;
  rows.shown.copy(info.item.pszText, length);
  info.item.pszText[length] = L'\0';
}

// Lines under each shown row and between the columns, drawn over what the list painted: the list's
// own grid lines come only in the system's colour.
void drawLines(HWND list, HDC dc, COLORREF colour) {
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  const int top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
  const int last = std::min(count, top + static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0)) + 1);
  if (count <= 0 || top >= last) return;
  RECT first = {LVIR_BOUNDS, 0, 0, 0}, bottom = {LVIR_BOUNDS, 0, 0, 0};
  SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(top), reinterpret_cast<LPARAM>(&first));
  SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(last - 1), reinterpret_cast<LPARAM>(&bottom));
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  for (int row = top; row < last; ++row) {
    RECT item = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    MoveToEx(dc, item.left, item.bottom - 1, nullptr);
    LineTo(dc, item.right, item.bottom - 1);
  }
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  const int columns = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  int x = first.left;
  for (int column = 0; column < columns; ++column) {
    x += static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    MoveToEx(dc, x - 1, first.top, nullptr);
    LineTo(dc, x - 1, bottom.bottom);
  }
  SelectObject(dc, old);
  DeleteObject(pen);
}

SCROLLBARINFO verticalBar(HWND list) {
  SCROLLBARINFO bar = {};
  bar.cbSize = sizeof bar;
  GetScrollBarInfo(list, OBJID_VSCROLL, &bar);
  return bar;
}

// Two states of a bar that draw the same picture.
bool samePicture(const SCROLLBARINFO& a, const SCROLLBARINFO& b) {
  return EqualRect(&a.rcScrollBar, &b.rcScrollBar) && a.xyThumbTop == b.xyThumbTop &&
         a.xyThumbBottom == b.xyThumbBottom && std::equal(std::begin(a.rgstate), std::end(a.rgstate), std::begin(b.rgstate));
}

// Tells a list its row count; the rows it must draw again are the caller's to invalidate.
// Under Wine each scroll-bar update draws the themed bar again, and a list view sets its bars in
// two passes at every change of its count. Hidden by its style meanwhile, the list draws nothing;
// its bar is drawn afterwards, once, and only when its picture changed: past a few hundred rows
// the thumb keeps its least size and place as rows come in at the top.
void setRowCount(HWND list, int count) {
  const LONG_PTR before = GetWindowLongPtrW(list, GWL_STYLE);
  const auto tell = [&] {
    SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
  };
  if ((before & (WS_VSCROLL | WS_VISIBLE)) != (WS_VSCROLL | WS_VISIBLE)) {
    tell();
    return;
  }
  // A repaint already due (a frame uncovered, say) must not be dropped with the one the showing
  // schedules below.
  const bool nothingDue = !(HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT);
  const SCROLLBARINFO barBefore = verticalBar(list);
  hidingQuietly = true;
  SetWindowLongPtrW(list, GWL_STYLE, before & ~WS_VISIBLE);
  tell();
  const LONG_PTR after = GetWindowLongPtrW(list, GWL_STYLE) | WS_VISIBLE;
  SetWindowLongPtrW(list, GWL_STYLE, after);
  hidingQuietly = false;
  if ((before ^ after) & (WS_VSCROLL | WS_HSCROLL)) {
    RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
    return;
  }
  // Shown again, the list's whole frame is due for a repaint under Wine, its themed border with it.
  if (nothingDue) RedrawWindow(list, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
  if (samePicture(barBefore, verticalBar(list))) return;
  SCROLLINFO redrawOnly = {};
  redrawOnly.cbSize = sizeof redrawOnly;
  SetScrollInfo(list, SB_VERT, &redrawOnly, TRUE);
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
  // The window is ANSI, so the list would ask for its texts in the code page; asked in UTF-16, it
  // shows every character.
  SendMessageW(list, CCM_SETUNICODEFORMAT, TRUE, 0);
  listViewProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listViewFittingColumns)));
  return true;
}

void setListColumns(int gadget, const std::vector<std::string>& titles, const std::vector<int>& widths) {
  HWND list = listWindow(gadget);
  if (!list) return;
  while (SendMessageA(list, LVM_DELETECOLUMN, 0, 0)) {
  }
  std::vector<int>& set = lists[gadget].widths;
  set = widths;
  set.resize(titles.size(), 100);
  for (size_t i = 0; i < titles.size(); ++i) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(titles[i].c_str());
    column.cx = set[i];
    column.iSubItem = static_cast<int>(i);
    SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
  fitFirstColumn(list);
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
  setRowCount(list, count);
  InvalidateRect(list, nullptr, TRUE);
}

void insertListRow(int gadget, int row, int count, RowText text) {
  HWND list = listWindow(gadget);
  if (!list) return;
  ListRows& rows = lists[gadget];
  const int before = rows.count;
  // The picture can only be moved when it shows the rows as they were: not with a paint pending.
  RECT pending;
  if (count != before + 1 || before == 0 || GetUpdateRect(list, &pending, FALSE) || !IsWindowVisible(list)) {
    setListRows(gadget, count, std::move(text));
    return;
  }
  rows.count = count;
  rows.text = std::move(text);
  const int top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
  const int last = top + static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
  // Selection and focus stay with their row numbers, so their marks do not move with the picture.
  // Asked row by row in view: a search for the next selected row goes on to the end of the list.
  std::vector<int> marked;
  for (int r = top; r <= std::min(last, before - 1); ++r)
    if (SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(r), LVIS_SELECTED | LVIS_FOCUSED) != 0) marked.push_back(r);
  setRowCount(list, count);
  const int from = std::max(row, top);
  if (from > last) return;
  RECT item = {LVIR_BOUNDS, 0, 0, 0};
  SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&item));
  RECT moved;
  GetClientRect(list, &moved);
  moved.top = item.top;
  ScrollWindowEx(list, 0, item.bottom - item.top, &moved, &moved, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
  for (int r : marked)
    for (int shown : {r, r + 1}) {
      RECT mark = {LVIR_BOUNDS, 0, 0, 0};
      if (SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(shown), reinterpret_cast<LPARAM>(&mark)))
        InvalidateRect(list, &mark, TRUE);
    }
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

void setListLineColour(int gadget, Colour lines) {
  HWND list = listWindow(gadget);
  if (!list) return;
  lists[gadget].lines = true;
  lists[gadget].lineColour = static_cast<COLORREF>(lines);
  InvalidateRect(list, nullptr, TRUE);
}

void setListColours(int gadget, Colour text, Colour background) {
  HWND list = listWindow(gadget);
  if (!list) return;
  SendMessageA(list, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
  SendMessageA(list, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(background));
  SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(background));
  InvalidateRect(list, nullptr, TRUE);
}

void showSelectionUnfocused(int gadget) {
  lists[gadget].brightSelection = true;
  if (HWND list = gadgetWindow(gadget)) InvalidateRect(list, nullptr, TRUE);
}

namespace win32 {

bool listMessage(HWND window, UINT, WPARAM, LPARAM lParam, LRESULT& result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  const int gadget = static_cast<int>(header->idFrom);
  if (!lists.count(gadget) || gadgetWindow(gadget) != header->hwndFrom) return false;
  const int number = numberOfWindow(window);
  switch (header->code) {
    case LVN_GETDISPINFOW:
      fillDisplayInfo(gadget, *reinterpret_cast<NMLVDISPINFOW*>(lParam));
      result = 0;
      return true;
    case NM_CUSTOMDRAW: {
      const ListRows& rows = lists[gadget];
      if (!rows.lines && !rows.brightSelection) return false;
      auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        result = (rows.lines ? CDRF_NOTIFYPOSTPAINT : 0) | (rows.brightSelection ? CDRF_NOTIFYITEMDRAW : 0);
        return true;
      }
      if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        const int row = static_cast<int>(draw->nmcd.dwItemSpec);
        if (SendMessageA(header->hwndFrom, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0) {
          // Drawn as selected by our colours: the control's own would be the pale unfocused ones.
          draw->nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
          draw->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
          draw->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
        }
        result = CDRF_DODEFAULT;
        return true;
      }
      if (draw->nmcd.dwDrawStage == CDDS_POSTPAINT) drawLines(header->hwndFrom, draw->nmcd.hdc, rows.lineColour);
      result = CDRF_DODEFAULT;
      return true;
    }
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
    case LVN_ITEMCHANGED: {
      // Only a change of selection or check mark is reported; focus and the rest would flood the queue.
      const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
      const UINT flipped = change->uNewState ^ change->uOldState;
      if ((change->uChanged & LVIF_STATE) && (flipped & (LVIS_SELECTED | LVIS_STATEIMAGEMASK)))
        pushEvent({EVENT_GADGET, number, gadget, GADGET_ITEM_CHANGE, change->iItem});
      break;
    }
    case LVN_BEGINDRAG:
      pushEvent({EVENT_GADGET, number, gadget, GADGET_DRAG_START, reinterpret_cast<const NMLISTVIEW*>(lParam)->iItem});
      beginRowDrag(window, gadget);
      break;
    default:
      break;
  }
  return false;  // the logic's proc sees list notifications too
}

}  // namespace win32

}  // namespace platform
