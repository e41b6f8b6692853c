// Message boxes and the one-line input box over USER32. The input box is a
// dialog template built in memory, so the program needs no resource file; its
// texts are set as ANSI once it exists.
#include "platform/dialogs.h"

#include "platform/win32/win32.h"

#include <commdlg.h>

#include <cstring>
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

}  // namespace

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

namespace platform {

std::vector<std::string> openFileDialog(Hwnd owner, const std::string& title, const std::string& folder,
                                        const std::string& filter, bool multiSelect) {
  std::string filters = filter;
  for (char& c : filters)
    if (c == '|') c = '\0';
  filters += std::string(2, '\0');
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
