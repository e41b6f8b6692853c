// Checks of the main window's controls as Windows (here: Wine) makes them: tab
// pages, the virtual list, the rich-text editor, the find dialog, drawn buttons,
// tooltips, the minimum size and the input box. What the logic does with them is tested over
// the simulated desktop; these catch faults only a real control shows.
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/window.h"
#include "platform/win32/win32.h"

#include <commctrl.h>

using namespace platform;

namespace {

int failures = 0, passes = 0;

void check(bool ok, const char* what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
  (ok ? passes : failures)++;
}

enum { panel = 6, editor = 7, list = 5, setList = 10, button = 11, pageButton = 33, logo = 1, count = 2 };

HWND control(int gadget) { return win32::gadgetWindow(gadget); }

// A control's rectangle in its parent's client coordinates.
RECT rectOf(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

WindowEvent nextEvent() {
  for (int i = 0; i < 20; ++i)
    if (WindowEvent e = waitWindowEvent(10); e.kind) return e;
  return {};
}

void drainEvents() {
  while (nextEvent().kind) {
  }
}

void checkTabPages(Hwnd window) {
  RECT area;
  GetWindowRect(control(panel), &area);
  MapWindowPoints(nullptr, win32::toHwnd(window), reinterpret_cast<POINT*>(&area), 2);
  SendMessageA(control(panel), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  const RECT e = rectOf(control(editor));
  check(e.left == area.left + 20 && e.top == area.top + 15 && e.right - e.left == 530 && e.bottom - e.top == 180,
        "a tab page's control sits at its place inside the panel's display area");
  HRGN shown = CreateRectRgn(0, 0, 0, 0);
  const int kind = GetWindowRgn(control(editor), shown);
  RECT box = {};
  GetRgnBox(shown, &box);
  DeleteObject(shown);
  check(kind == SIMPLEREGION && e.left + box.right == area.right && box.left == 0 && box.bottom == e.bottom - e.top,
        "a page control reaching past its page is cut off at the page's edge");
  POINT centre = {(e.left + e.right) / 2, (e.top + e.bottom) / 2};
  check(ChildWindowFromPointEx(win32::toHwnd(window), centre, CWP_SKIPINVISIBLE) == control(editor),
        "the page's control lies above the panel, where clicks reach it");
  check(IsWindowVisible(control(editor)) && !IsWindowVisible(control(setList)) && !IsWindowVisible(control(pageButton)),
        "only the first tab's controls show at first");

  setPanelTab(panel, 3);
  check(panelTab(panel) == 3 && !IsWindowVisible(control(editor)) && IsWindowVisible(control(setList)) &&
            IsWindowVisible(control(pageButton)),
        "setPanelTab shows that tab's controls and hides the others");
  check(!nextEvent().kind, "setPanelTab is not reported as the user's tab change");

  SendMessageA(control(panel), TCM_SETCURFOCUS, 0, 0);  // as a click on the first tab
  const WindowEvent change = nextEvent();
  check(change.kind == EVENT_GADGET && change.window == 500 && change.gadget == panel &&
            change.type == GADGET_TAB_CHANGE && change.data == 0,
        "the user's tab change is an event with the new tab");
  check(IsWindowVisible(control(editor)) && !IsWindowVisible(control(setList)), "the user's tab change switches pages");
  drainEvents();

  moveGadget(editor, 20, 15, 600, 300);
  const RECT moved = rectOf(control(editor));
  check(moved.left == e.left && moved.top == e.top && moved.right - moved.left == 600,
        "a page control moves relative to its page");
  moveGadget(editor, 20, 15, 530, 180);
}

COLORREF pixel(HWND window, int x, int y);

void checkList() {
  const std::string accented = "caf\xc3\xa9 \xe2\x84\xa2";  // "café ™" in UTF-8
  setListRows(list, 100000, [&](int row, int column) {
    if (column == 1) return accented + std::to_string(row);
    return std::string(row % 2 ? "Banana " : "Apple ") + std::to_string(row);
  });
  check(listRowCount(list) == 100000 && SendMessageA(control(list), LVM_GETITEMCOUNT, 0, 0) == 100000,
        "a list of 100,000 rows is filled at once");
  // The columns (392 + 145) fill the list without its scroll bar; with one, the first gives way.
  const LONG_PTR style = GetWindowLongPtrA(control(list), GWL_STYLE);
  RECT client;
  GetClientRect(control(list), &client);
  check((style & WS_VSCROLL) && !(style & WS_HSCROLL) &&
            SendMessageA(control(list), LVM_GETCOLUMNWIDTH, 0, 0) == client.right - 145,
        "a vertical scroll bar narrows the first column instead of bringing a horizontal one");
  setListLineColour(list, rgb(117, 236, 253));
  UpdateWindow(control(list));
  RECT first = {LVIR_BOUNDS, 0, 0, 0};
  SendMessageA(control(list), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  const int firstColumn = static_cast<int>(SendMessageA(control(list), LVM_GETCOLUMNWIDTH, 0, 0));
  check(pixel(control(list), first.left + 20, first.bottom - 1) == RGB(117, 236, 253) &&
            pixel(control(list), first.left + firstColumn - 1, first.top + 3) == RGB(117, 236, 253) &&
            pixel(control(list), first.left + 20, first.top + 3) != RGB(117, 236, 253),
        "the list draws its lines between rows and columns in the line colour");
  wchar_t text[64] = L"";
  LVITEMW item = {};
  item.iSubItem = 1;
  item.pszText = text;
  item.cchTextMax = 64;
  SendMessageW(control(list), LVM_GETITEMTEXTW, 99999, reinterpret_cast<LPARAM>(&item));
  check(std::wstring(L"caf\u00e9 \u2122") + L"99999" == text, "the list draws the program's UTF-8 text of a row");

  drainEvents();
  selectListRow(list, 3);
  const WindowEvent change = nextEvent();
  check(change.kind == EVENT_GADGET && change.gadget == list && change.type == GADGET_ITEM_CHANGE && change.data == 3,
        "a row whose selection changes is reported as an item change of that row");
  deselectListRows(list);
  drainEvents();

  selectListRow(list, 7);
  selectListRow(list, 99998);
  check(listSelectedRows(list) == std::vector<int>({7, 99998}), "the clip list keeps several rows selected");
  deselectListRows(list);
  check(listSelectedRows(list).empty(), "deselecting clears every row");
  selectListRow(list, 7);
  deselectListRows(list);
  check(listSelectedRows(list).empty(), "deselecting clears the one selected row");
  selectListRow(list, 7);
  selectListRow(list, 99998);
  LVITEMA off = {};
  off.stateMask = LVIS_SELECTED;
  SendMessageA(control(list), LVM_SETITEMSTATE, 99998, reinterpret_cast<LPARAM>(&off));  // the focus stays there
  deselectListRows(list);
  check(listSelectedRows(list).empty(), "deselecting clears a selected row that has not the focus");
  selectListRow(list, 100000);
  check(listSelectedRows(list).empty(), "a row past the end is not selected");

  setListRows(setList, 3, [](int row, int) { return std::string(row == 1 ? "td_clips" : "other"); });
  selectListRow(setList, 0);
  selectListRow(setList, 2);
  check(listSelectedRows(setList) == std::vector<int>({2}), "the set list keeps one row selected");

  LVFINDINFOA find = {};
  find.flags = LVFI_PARTIAL | LVFI_STRING | LVFI_WRAP;
  find.psz = "ban";
  check(SendMessageA(control(list), LVM_FINDITEMA, 10, reinterpret_cast<LPARAM>(&find)) == 11,
        "type-ahead finds the next row starting with the typed text");
  find.psz = "APPLE";
  check(SendMessageA(control(list), LVM_FINDITEMA, 99999, reinterpret_cast<LPARAM>(&find)) == 0,
        "type-ahead wraps to the top");
  find.psz = "cherry";
  check(SendMessageA(control(list), LVM_FINDITEMA, -1, reinterpret_cast<LPARAM>(&find)) == -1,
        "type-ahead without a match leaves the selection alone");

  setListColumnTitle(list, 0, "Click (sorted)");
  char title[64] = "";
  LVCOLUMNA column = {};
  column.mask = LVCF_TEXT;
  column.pszText = title;
  column.cchTextMax = sizeof title;
  SendMessageA(control(list), LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  check(std::strcmp(title, "Click (sorted)") == 0, "a column title can be changed");
  drainEvents();  // the selection changes above were reported
}

void checkEditor() {
  std::string big;
  for (int i = 0; big.size() < 300000; ++i) big += "caf\xc3\xa9 \xe2\x84\xa2 " + std::to_string(i) + " ";
  setEditorText(editor, big);
  check(editorText(editor) == big, "the editor holds a 300,000-byte clip whole, byte for byte");
  setEditorText(editor, "{\\rtf1 not rich}");
  check(editorText(editor) == "{\\rtf1 not rich}", "plain text that looks like rich text stays plain");
  setEditorRichText(editor, "{\\rtf1\\ansi plain \\b bold\\b0}");
  check(editorText(editor) == "plain bold", "rich text shows as its text");
  check(editorRichText(editor).compare(0, 5, "{\\rtf") == 0 &&
            editorRichText(editor).find("bold") != std::string::npos,
        "the editor's contents come back as rich text");
  setEditorCaret(editor, 3);
  DWORD from = 0, to = 0;
  SendMessageA(control(editor), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  check(from == 3 && to == 3, "the caret goes where it is put");
}

// Text beyond the ANSI code page (Cyrillic, Polish, CJK, an emoji) through every control that
// carries a clip's text, as UTF-8 in and out.
void checkUnicode(Hwnd window) {
  const std::string wide = "Gr\xc3\xbc\xc3\x9f" "e \xe2\x86\x92 \xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82, "
                           "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e \xf0\x9f\x98\x80 \xe2\x9c\x93 \xc5\x81\xc3\xb3" "d\xc5\xba";
  const std::string lower = "\xd0\xbf\xd1\x80\xd0\xb8";  // "при"
  setListRows(setList, 3, [&](int row, int) { return row == 2 ? "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82" : wide; });
  wchar_t shown[128] = L"";
  LVITEMW item = {};
  item.pszText = shown;
  item.cchTextMax = 128;
  SendMessageW(control(setList), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
  const bool row = win32::toUtf8(shown) == wide && listRowText(setList, 0, 0) == wide;
  LVFINDINFOW find = {};
  find.flags = LVFI_PARTIAL | LVFI_STRING;
  const std::wstring typed = win32::toWide(lower);
  find.psz = typed.c_str();
  const bool typeAhead = SendMessageW(control(setList), LVM_FINDITEMW, 1, reinterpret_cast<LPARAM>(&find)) == 2;
  drainEvents();

  setEditorText(editor, wide + "\r\n" + wide);
  const bool text = editorText(editor) == wide + "\r\n" + wide;
  const auto found = editorFindText(editor, "\xf0\x9f\x98\x80", 0, -1, FIND_DOWN);  // the emoji: two UTF-16 units
  bool selection = false;
  if (found) {
    setEditorSelection(editor, 0, found->end);
    selection = found->end - found->start == 2 && editorSelectedText(editor) == wide.substr(0, wide.find(" \xe2\x9c\x93"));
  }
  setEditorSelection(editor, 0, -1);
  editorReplaceSelection(editor, wide);
  const bool replaced = editorText(editor) == wide;
  // Wine writes rich text with the code page's nearest letter for some (L for \xc5\x81): not those.
  const std::string beyond = wide.substr(wide.find("\xd0\x9f"), wide.find(" \xe2\x9c\x93") - wide.find("\xd0\x9f"));
  setEditorText(editor, beyond);
  setEditorRichText(editor, editorRichText(editor));
  const bool rich = editorText(editor) == beyond;
  check(row && typeAhead && text && found && selection && replaced && rich,
        "Cyrillic, CJK and an emoji in UTF-8 come back exactly from a list row, the editor's text, selection, "
        "replace and rich text; type-ahead ignores their case");
  if (!(row && typeAhead && text && found && selection && replaced && rich))
    std::printf("     row %d, type-ahead %d, text %d, find %d, selection %d, replace %d, rich %d\n", row, typeAhead,
                text, found.has_value(), selection, replaced, rich);

  // The find dialog shows the texts given and reports what it holds when a button is pressed.
  const unsigned findMessage = registerWindowMessage("commdlg_FindReplace");
  FindReport report;
  int reports = 0;
  setWindowProc(window, [&](Hwnd, unsigned message, WParam, LParam lParam) -> std::optional<LResult> {
    if (message != findMessage) return std::nullopt;
    report = readFindReport(lParam);
    ++reports;
    return 0;
  });
  bool dialog = openFindDialog(window, true, wide, lower);
  HWND box = nullptr;
  for (HWND w = nullptr; dialog && (w = FindWindowExW(nullptr, w, nullptr, nullptr));)
    if (GetWindow(w, GW_OWNER) == win32::toHwnd(window) && GetDlgItem(w, 0x480)) box = w;
  wchar_t what[128] = L"", with[128] = L"";
  if (box) {
    GetDlgItemTextW(box, 0x480, what, 128);
    GetDlgItemTextW(box, 0x481, with, 128);
    SendMessageW(box, WM_COMMAND, IDOK, 0);  // Find Next
  }
  check(box && win32::toUtf8(what) == wide && win32::toUtf8(with) == lower && reports == 1 &&
            report.findWhat == wide && report.replaceWith == lower && (report.flags & FIND_FINDNEXT),
        "the find dialog shows and reports Cyrillic, CJK and an emoji exactly");
  if (box) SendMessageW(box, WM_COMMAND, IDCANCEL, 0);
  check(reports == 2 && (report.flags & FIND_DIALOGTERM) && openFindDialog(window, false, "", ""),
        "the find dialog reports its close, and another can be opened");
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, nullptr, nullptr));)
    if (GetWindow(w, GW_OWNER) == win32::toHwnd(window) && GetDlgItem(w, 0x480)) SendMessageW(w, WM_COMMAND, IDCANCEL, 0);
  setWindowProc(window, [](Hwnd, unsigned, WParam, LParam) -> std::optional<LResult> { return std::nullopt; });
  drainEvents();
}

// Every third pixel of a window, its frame and scroll bars included.
std::vector<COLORREF> windowPicture(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  HDC dc = GetWindowDC(window);
  std::vector<COLORREF> picture;
  for (int y = 0; y < r.bottom - r.top; y += 3)
    for (int x = 0; x < r.right - r.left; x += 3) picture.push_back(GetPixel(dc, x, y));
  ReleaseDC(window, dc);
  return picture;
}

// Rows come in at the top one by one, as captures add them, past the point where the list needs
// its scroll bar: after each, the list must look as a full repaint draws it.
void checkInsertedRows() {
  HWND view = control(list);
  int rows = 5;
  const auto textOf = [&rows](int row, int column) {
    return (column ? "note " : "clip ") + std::to_string(rows - 1 - row);
  };
  bool same = true, barRight = true;
  int firstDifference = -1;
  // From a list that fits to one with a scroll bar; then where the thumb has its least size.
  for (const auto& [from, to] : {std::pair<int, int>{5, 40}, std::pair<int, int>{400, 406}}) {
    rows = from;
    setListRows(list, rows, textOf);
    selectListRow(list, 0);
    UpdateWindow(view);
    while (rows < to) {
      ++rows;
      if (rows == 20) {
        // A repaint already due when the row comes: the list uncovered, its left edge painted over.
        RECT client;
        GetClientRect(view, &client);
        HDC dc = GetWindowDC(view);
        RECT edge = {0, 0, 2, client.bottom};
        FillRect(dc, &edge, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(view, dc);
        RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
      }
      insertListRow(list, 0, rows, textOf);
      deselectListRows(list);
      selectListRow(list, 0);
      UpdateWindow(view);
      const std::vector<COLORREF> inserted = windowPicture(view);
      RedrawWindow(view, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      if (inserted != windowPicture(view) && same) {
        same = false;
        firstDifference = rows;
      }
      SCROLLINFO bar = {};
      bar.cbSize = sizeof bar;
      bar.fMask = SIF_RANGE;
      const bool scrolls = GetWindowLongPtrA(view, GWL_STYLE) & WS_VSCROLL;
      if (scrolls && (!GetScrollInfo(view, SB_VERT, &bar) || bar.nMax != rows - 1)) barRight = false;
    }
    if (from == 5)
      check(IsWindowVisible(view) && SendMessageA(view, LVM_GETITEMCOUNT, 0, 0) == 40 &&
                (GetWindowLongPtrA(view, GWL_STYLE) & WS_VSCROLL),
            "rows inserted one by one leave the list shown, with all its rows and its scroll bar");
  }
  check(barRight, "the scroll bar's range follows each inserted row");
  if (!same) std::printf("     first differs with %d rows\n", firstDifference);
  check(same, "after each inserted row the list looks as a full repaint draws it");
  drainEvents();  // the selection changes, reported as the user's
}

COLORREF pixel(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

void checkButtons(Hwnd window) {
  drawButtonCaption(button, "Move To Trash", rgb(255, 0, 0), rgb(255, 255, 170), FontId::Caption);
  char text[64] = "";
  GetWindowTextA(control(button), text, sizeof text);
  check(std::strcmp(text, "Move To Trash") == 0, "a button's window text is its drawn caption");
  UpdateWindow(win32::toHwnd(window));
  check(pixel(control(button), 3, 3) == RGB(255, 255, 170), "the button is painted in its background colour");

  SendMessageA(control(button), BM_CLICK, 0, 0);
  const WindowEvent click = nextEvent();
  check(click.kind == EVENT_GADGET && click.gadget == button && click.type == GADGET_LEFT_CLICK,
        "a click on a button is a left-click event");
  enableGadget(button, false);
  check(!gadgetIsEnabled(button), "a button can be disabled");
  enableGadget(button, true);

  const int bold = measureText(FontId::Measure, "Combine Captures");
  check(bold > measureText(FontId::Tab, "Combine Captures") && measureText(FontId::Measure, "") == 0,
        "text is measured in the font asked for");

  setGadgetText(count, "100000");
  check(gadgetText(count) == "100000", "the number box shows the count");
}

void checkMinimumSize(Hwnd window) {
  setMinimumClientSize(window, 700, 525);
  MINMAXINFO info = {};
  SendMessageA(win32::toHwnd(window), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  RECT frame = {0, 0, 700, 525};
  AdjustWindowRectEx(&frame, GetWindowLongA(win32::toHwnd(window), GWL_STYLE), FALSE,
                     GetWindowLongA(win32::toHwnd(window), GWL_EXSTYLE));
  check(info.ptMinTrackSize.x == frame.right - frame.left && info.ptMinTrackSize.y == frame.bottom - frame.top,
        "the window cannot be sized below its starting client area");
}

int tooltipsOf(Hwnd window) {
  int found = 0;
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, TOOLTIPS_CLASSA, nullptr));)
    if (GetWindow(w, GW_OWNER) == win32::toHwnd(window)) ++found;
  return found;
}

void checkTooltips(Hwnd window) {
  const int before = tooltipsOf(window);
  createTooltip({button, "Move To Trash", "Move the selected clip(s) to the Trash set.", false, false},
                rgb(255, 255, 170));
  createTooltip({list, "Clips List", "Doubleclick an item", false, true}, rgb(255, 255, 170));
  check(tooltipsOf(window) == before + 2, "one tooltip window per control");
  HWND tip = nullptr;
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, TOOLTIPS_CLASSA, nullptr));)
    if (GetWindow(w, GW_OWNER) == win32::toHwnd(window)) tip = w;
  check(tip && SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0) == RGB(255, 255, 170) &&
            SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0) == 200 &&
            SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0) == 800 &&
            SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0) == 12000,
        "a tooltip has its colour, width and delays");
  // The pointer resting on the button: the message loop hands the button's mouse moves on.
  RECT r;
  GetWindowRect(control(button), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  HWND buttonTip = nullptr;
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, TOOLTIPS_CLASSA, nullptr));) {
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = win32::toHwnd(window);
    tool.uId = reinterpret_cast<UINT_PTR>(control(button));
    if (SendMessageA(w, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool))) buttonTip = w;
  }
  // One move: each further one would start the tooltip's wait again.
  PostMessageA(control(button), WM_MOUSEMOVE, 0, MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2));
  bool shown = false;
  for (int i = 0; i < 30 && !shown; ++i) {
    waitWindowEvent(100);
    shown = buttonTip && IsWindowVisible(buttonTip);
  }
  check(shown, "a control's tooltip shows while the pointer rests on it");
  removeTooltips();
  check(tooltipsOf(window) == before, "removing the tooltips destroys them all");
}

// Answers the next input box from another thread; `initial` gets what it showed.
std::thread answerInput(const char* title, bool ok, const char* answer, std::string& initial, bool& ownerDisabled,
                        Hwnd owner) {
  return std::thread([=, &initial, &ownerDisabled] {
    HWND dialog = nullptr;
    for (int i = 0; i < 500 && !(dialog = FindWindowA(nullptr, title)); ++i) Sleep(10);
    if (!dialog) return;
    HWND edit = FindWindowExA(dialog, nullptr, "Edit", nullptr);
    char text[256] = "";
    GetWindowTextA(edit, text, sizeof text);
    initial = text;
    ownerDisabled = !IsWindowEnabled(win32::toHwnd(owner));
    SetWindowTextA(edit, answer);
    PostMessageA(dialog, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
  });
}

void checkInputBox(Hwnd window) {
  std::string initial;
  bool disabled = false;
  std::thread answering = answerInput("New Set\x99", true, "caf\xe9", initial, disabled, window);
  const auto answer = inputBox(window, "New Set\x99", "Enter Name For New Set (1 - 32 Characters)", "old name");
  answering.join();
  check(answer && *answer == "caf\xe9", "OK answers the text typed, byte for byte");
  check(initial == "old name", "the input box starts with the text given");
  check(disabled && IsWindowEnabled(win32::toHwnd(window)), "the owner is disabled while the box is up, and after");

  answering = answerInput("New Set\x99", false, "ignored", initial, disabled, window);
  check(!inputBox(window, "New Set\x99", "Enter Name", ""), "Cancel answers nothing");
  answering.join();
}

}  // namespace

int main() {
  check(initToolkit(), "the toolkit starts");
  Hwnd window = openWindow(500, 50, 50, 700, 525, "Tandrel\x99 Controls", true);
  auto at = [window](int x, int y, int width, int height) { return Place{window, 0, 0, x, y, width, height}; };
  auto onTab = [window](int tab, int x, int y, int width, int height) {
    return Place{window, panel, tab, x, y, width, height};
  };
  bool made = createPictureButton(at(5, 4, 41, 51), logo, Picture::Logo, "Online Help");
  made &= createNumberBox(at(72, 5, 40, 18), count);
  made &= createListView(at(120, 30, 540, 225), list, true, false);
  setListColumns(list, {"Click", "Note/Source "}, {392, 145});
  made &= createPanel(at(120, 260, 540, 235), panel, {"Text", "Image", "Online Help", "Clip Sets"}, FontId::Tab);
  made &= createEditor(onTab(0, 20, 15, 530, 180), editor);
  made &= createListView(onTab(3, 20, 15, 265, 180), setList, false, false);
  setListColumns(setList, {"Name"}, {220});
  made &= createButton(onTab(3, 295, 28, 142, 18), pageButton, "Change Active Set");
  made &= createButton(at(3, 140, 112, 18), button, "Move To Trash");
  check(made, "every control is made");
  drainEvents();

  checkTabPages(window);
  checkList();
  checkInsertedRows();
  checkEditor();
  checkUnicode(window);
  checkButtons(window);
  checkMinimumSize(window);
  checkTooltips(window);
  checkInputBox(window);

  closeWindow(window);
  std::printf("%d passed, %d failed\n", passes, failures);
  return failures ? 1 : 0;
}
