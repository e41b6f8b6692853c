// Message boxes, the one-line input box and the text prompt over USER32, and the find and open-file
// dialogs of COMDLG32. The input box and the prompt are dialog templates built in memory, so the
// program needs no resource file; their texts are set as ANSI once they exist. The find dialog is
// wide: its texts are UTF-8 at our side.
#include "platform/dialogs.h"

#include "platform/win32/win32.h"

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

namespace platform {
using namespace win32;

namespace {

constexpr int promptId = 100;
constexpr int editId = 101;

struct InputState {
  const std::string* title;
  const std::string* prompt;
  const std::string* initial;
  std::string answer;
};

// A dialog template: header, then one item per control, each DWORD-aligned.
class Template {
 public:
  explicit Template(short width, short height) {
    DLGTEMPLATE header = {};
    header.style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    header.cx = width;
    header.cy = height;
    add(&header, sizeof header);
    word(0);  // no menu
    word(0);  // the standard dialog class
    word(0);  // the title comes later, as ANSI
    word(8);
    text(L"MS Shell Dlg");
  }

  void item(WORD id, WORD cls, DWORD style, short x, short y, short cx, short cy) {
    align();
    DLGITEMTEMPLATE control = {};
    control.style = WS_CHILD | WS_VISIBLE | style;
    control.x = x;
    control.y = y;
    control.cx = cx;
    control.cy = cy;
    control.id = id;
    add(&control, sizeof control);
    word(0xFFFF);
    word(cls);
    word(0);  // no text: set as ANSI in WM_INITDIALOG
    word(0);  // no creation data
    ++reinterpret_cast<DLGTEMPLATE*>(bytes_.data())->cdit;
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

 private:
  void add(const void* data, size_t size) {
    const auto* p = static_cast<const BYTE*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
  }
  void word(WORD w) { add(&w, sizeof w); }
  void text(const wchar_t* s) { add(s, (wcslen(s) + 1) * sizeof(wchar_t)); }
  void align() {
    while (bytes_.size() % 4) bytes_.push_back(0);
  }
  std::vector<BYTE> bytes_;
};

INT_PTR CALLBACK inputProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      state = reinterpret_cast<InputState*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      SetWindowTextA(dialog, state->title->c_str());
      SetDlgItemTextA(dialog, promptId, state->prompt->c_str());
      SetDlgItemTextA(dialog, editId, state->initial->c_str());
      SetDlgItemTextA(dialog, IDOK, "OK");
      SetDlgItemTextA(dialog, IDCANCEL, "Cancel");
      SetForegroundWindow(dialog);
      return TRUE;  // the focus goes to the edit box, the first tab stop
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        HWND edit = GetDlgItem(dialog, editId);
        std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
        text.resize(static_cast<size_t>(GetWindowTextA(edit, &text[0], static_cast<int>(text.size()))));
        state->answer = text;
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

constexpr int openUrlId = 102;
constexpr UINT_PTR keepInFrontTimer = 1;

struct PromptState {
  const PromptLayout* layout;
  PromptAnswer answer;
};

// The prompt takes the foreground back from whatever took it, as the user must answer it first.
void takeForeground(HWND dialog) {
  HWND front = GetForegroundWindow();
  if (front == dialog || front == nullptr || GetWindow(front, GW_OWNER) == dialog) return;
  const DWORD ours = GetCurrentThreadId();
  const DWORD theirs = GetWindowThreadProcessId(front, nullptr);
  const bool attached = theirs != ours && AttachThreadInput(ours, theirs, TRUE);
  SetForegroundWindow(dialog);
  Sleep(1);
  if (attached) AttachThreadInput(ours, theirs, FALSE);
  SetFocus(GetDlgItem(dialog, editId));
}

void placePrompt(HWND dialog, const PromptLayout& l) {
  RECT frame = {0, 0, l.width + 13, l.height + 75};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)));
  SetWindowPos(dialog, HWND_TOPMOST, l.x, l.y, frame.right - frame.left, frame.bottom - frame.top, 0);
  MoveWindow(GetDlgItem(dialog, promptId), 6, 8, l.width, l.height, FALSE);
  MoveWindow(GetDlgItem(dialog, editId), 6, l.height + 16, l.width, 20, FALSE);
  const int buttonsY = l.height + 44;
  MoveWindow(GetDlgItem(dialog, IDOK), l.width / 3, buttonsY, 60, 23, FALSE);
  MoveWindow(GetDlgItem(dialog, openUrlId), l.width / 2, buttonsY, 60, 23, FALSE);
  MoveWindow(GetDlgItem(dialog, IDCANCEL), 2 * l.width / 3, buttonsY, 60, 23, FALSE);
  ShowWindow(GetDlgItem(dialog, openUrlId), l.openUrlButton ? SW_SHOW : SW_HIDE);
}

std::string entryText(HWND dialog) {
  HWND edit = GetDlgItem(dialog, editId);
  std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(edit, &text[0], static_cast<int>(text.size()))));
  return text;
}

// A modal dialog box: Enter and Escape reach it only while it has the focus, so a key typed in
// another program never answers it.
INT_PTR CALLBACK promptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<PromptState*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<PromptState*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      const PromptLayout& l = *state->layout;
      SetWindowTextA(dialog, l.title.c_str());
      SetDlgItemTextA(dialog, promptId, l.prompt.c_str());
      SetDlgItemTextA(dialog, editId, l.text.c_str());
      SetDlgItemTextA(dialog, IDOK, "OK");
      SetDlgItemTextA(dialog, openUrlId, "Open URL");
      SetDlgItemTextA(dialog, IDCANCEL, "Cancel");
      HWND edit = GetDlgItem(dialog, editId);
      if (l.entryStyle != 0) SetWindowLongA(edit, GWL_STYLE, GetWindowLongA(edit, GWL_STYLE) | static_cast<LONG>(l.entryStyle));
      SendMessageA(edit, EM_LIMITTEXT, 0, 0);
      placePrompt(dialog, l);
      SendMessageA(edit, EM_SETSEL, 0, -1);
      SetForegroundWindow(dialog);
      SetFocus(edit);
      MessageBeep(MB_ICONQUESTION);
      SetTimer(dialog, keepInFrontTimer, 100, nullptr);
      return FALSE;  // the focus is set
    }
    case WM_TIMER:
      if (wParam == keepInFrontTimer) takeForeground(dialog);
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id != IDOK && id != IDCANCEL && id != openUrlId) break;
      state->answer.text = entryText(dialog);
      state->answer.button = id == IDOK ? PromptButton::Ok : id == openUrlId ? PromptButton::OpenUrl : PromptButton::Cancel;
      KillTimer(dialog, keepInFrontTimer);
      EndDialog(dialog, id);
      return TRUE;
    }
    default:
      break;
  }
  return FALSE;
}

}  // namespace

PromptAnswer promptDialog(const PromptLayout& layout) {
  constexpr WORD button = 0x0080, edit = 0x0081, stat = 0x0082;
  // Sizes in dialog units do not matter: the controls are placed in pixels once the dialog exists.
  Template dialog(200, 80);
  dialog.item(editId, edit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 10, 10);
  dialog.item(promptId, stat, SS_LEFT | SS_NOPREFIX, 0, 0, 10, 10);
  dialog.item(IDOK, button, WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 10, 10);
  dialog.item(openUrlId, button, WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 10, 10);
  dialog.item(IDCANCEL, button, WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 10, 10);
  PromptState state{&layout, {}};
  const INT_PTR ended = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog.get(), toHwnd(layout.owner),
                                                promptProc, reinterpret_cast<LPARAM>(&state));
  if (ended <= 0) return PromptAnswer{};
  return state.answer;
}

namespace {

// The find dialog's record and buffers live as long as the dialog: it writes into them until it
// reports that it closed. Wide, so that it finds any text the editor holds.
constexpr int findBoxLength = 80;

struct FindDialog {
  HWND window = nullptr;
  FINDREPLACEW record = {};
  wchar_t findWhat[findBoxLength] = L"";
  wchar_t replaceWith[findBoxLength] = L"";
} finder;

// Fills a find dialog buffer, cut short at a whole character.
template <size_t size>
void fillBuffer(wchar_t (&buffer)[size], const std::string& utf8) {
  const std::wstring wide = toWide(utf8);
  size_t length = std::min(wide.size(), size - 1);
  if (length < wide.size() && length > 0 && IS_HIGH_SURROGATE(wide[length - 1])) --length;
  wide.copy(buffer, length);
  buffer[length] = L'\0';
}

}  // namespace

namespace win32 {

bool findDialogMessage(MSG& msg) {
  return finder.window && IsWindow(finder.window) && IsDialogMessageW(finder.window, &msg);
}

}  // namespace win32

bool openFindDialog(Hwnd owner, bool replace, const std::string& findWhat, const std::string& replaceWith) {
  if (finder.window && IsWindow(finder.window)) return false;
  fillBuffer(finder.findWhat, findWhat);
  fillBuffer(finder.replaceWith, replaceWith);
  FINDREPLACEW& r = finder.record;
  r = FINDREPLACEW{};
  r.lStructSize = sizeof r;
  r.hwndOwner = toHwnd(owner);
  r.hInstance = GetModuleHandleA(nullptr);
  r.Flags = FR_DOWN | FR_HIDEUPDOWN;
  // The buffers' lengths in characters, which is never more than they hold, whether the system
  // counts them in characters or in bytes.
  r.lpstrFindWhat = finder.findWhat;
  r.wFindWhatLen = static_cast<WORD>(std::size(finder.findWhat));
  if (replace) {
    r.lpstrReplaceWith = finder.replaceWith;
    r.wReplaceWithLen = static_cast<WORD>(std::size(finder.replaceWith));
  }
  finder.window = replace ? ReplaceTextW(&r) : FindTextW(&r);
  // Wine's dialog carries its texts through the ANSI code page, record and boxes alike; its boxes
  // hold any text, so the texts go in there whole, and are read back from there.
  if (finder.window) {
    SetDlgItemTextW(finder.window, edt1, finder.findWhat);
    if (replace) SetDlgItemTextW(finder.window, edt2, finder.replaceWith);
  }
  return finder.window != nullptr;
}

FindReport readFindReport(LParam lParam) {
  FindReport report;
  const auto* r = reinterpret_cast<const FINDREPLACEW*>(lParam);
  if (r == nullptr) return report;
  report.flags = r->Flags;
  if (r->lpstrFindWhat) report.findWhat = toUtf8(r->lpstrFindWhat);
  if (r->lpstrReplaceWith) report.replaceWith = toUtf8(r->lpstrReplaceWith);
  // The boxes hold what the record would, short of Wine's trip through the code page.
  if (finder.window && IsWindow(finder.window) && !(r->Flags & FR_DIALOGTERM)) {
    const auto boxText = [](HWND box) {
      wchar_t text[findBoxLength] = L"";
      GetWindowTextW(box, text, findBoxLength);
      return toUtf8(text);
    };
    if (HWND box = GetDlgItem(finder.window, edt1); box && r->lpstrFindWhat) report.findWhat = boxText(box);
    if (HWND box = GetDlgItem(finder.window, edt2); box && r->lpstrReplaceWith) report.replaceWith = boxText(box);
  }
  if (r->Flags & FR_DIALOGTERM) finder.window = nullptr;
  return report;
}

int messageBox(Hwnd owner, const std::string& text, const std::string& title, unsigned style) {
  return MessageBoxA(toHwnd(owner), text.c_str(), title.c_str(), style);
}

std::optional<std::string> inputBox(Hwnd owner, const std::string& title, const std::string& prompt,
                                    const std::string& initial) {
  constexpr WORD button = 0x0080, edit = 0x0081, stat = 0x0082;
  Template dialog(240, 76);
  dialog.item(editId, edit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 34, 226, 14);
  dialog.item(promptId, stat, SS_LEFT | SS_NOPREFIX, 7, 7, 226, 24);
  dialog.item(IDOK, button, WS_TABSTOP | BS_DEFPUSHBUTTON, 129, 55, 50, 14);
  dialog.item(IDCANCEL, button, WS_TABSTOP | BS_PUSHBUTTON, 183, 55, 50, 14);
  InputState state{&title, &prompt, &initial, {}};
  const INT_PTR answer = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog.get(), toHwnd(owner), inputProc,
                                                 reinterpret_cast<LPARAM>(&state));
  if (answer != IDOK) return std::nullopt;
  return state.answer;
}

}  // namespace platform

namespace platform::win32 {

std::string dialogFilter(const std::string& filter) {
  std::string pairs = filter;
  for (char& c : pairs)
    if (c == '|') c = '\0';
  pairs.append(2, '\0');
  return pairs;
}

}  // namespace platform::win32

namespace platform {

std::vector<std::string> openFileDialog(Hwnd owner, const std::string& title, const std::string& folder,
                                        const std::string& filter, bool multiSelect) {
  const std::string filters = win32::dialogFilter(filter);
  std::vector<char> names(multiSelect ? 65536 : MAX_PATH * 2, '\0');
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = toHwnd(owner);
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = names.data();
  dialog.nMaxFile = static_cast<DWORD>(names.size());
  dialog.lpstrInitialDir = folder.c_str();
  dialog.lpstrTitle = title.c_str();
  // No "file must exist": a name typed in is the program's to judge, with its own message.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                 (multiSelect ? OFN_ALLOWMULTISELECT : 0);
  std::vector<std::string> chosen;
  if (!GetOpenFileNameA(&dialog)) return chosen;
  // One file: its full path. Several: the folder, then each name, each ended by a zero byte.
  const char* first = names.data();
  const std::size_t firstLength = strnlen(first, names.size());
  const char* next = first + firstLength + 1;
  if (!multiSelect || firstLength + 1 >= names.size() || *next == '\0') {
    chosen.emplace_back(first, firstLength);
    return chosen;
  }
  std::string base(first, firstLength);
  if (!base.empty() && base.back() != '\\') base += '\\';
  const char* end = names.data() + names.size();
  while (next < end && *next != '\0') {
    const std::size_t length = strnlen(next, static_cast<std::size_t>(end - next));
    chosen.push_back(base + std::string(next, length));
    next += length + 1;
  }
  return chosen;
}

}  // namespace platform
