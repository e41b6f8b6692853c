// tdhelper: plays "the other programs" of the desktop for the end-to-end tests
// of Tandrel.exe under Wine. One command per run, given on the command line:
//
//   settext <text> [--title T] [--hold ms] [--with <format name> <bytes>]... [--class C] [--edit E]
//                                            put CF_TEXT on the clipboard from a visible, foreground window,
//                                            with registered formats beside it (bytes as is, \xNN allowed);
//                                            the window of class C, with an Edit child holding E
//   setraw <format> <file> [--title T] [--hold ms]
//                                            put a file's bytes on the clipboard as they are (no zero added);
//                                            format: CF_TEXT, CF_DIB or a number
//   gettext                                  print the clipboard's CF_TEXT
//   formats                                  print "<number> <name>" of each format on the clipboard
//   findwindow <title part>                  print "<handle> <visible> <title>" of each top-level match
//   waitwindow <title part> <seconds> [visible] [exact]
//                                            wait for such a window (shown; with exactly that title), print its handle
//   waitgone <title part> <seconds>          wait until no such window is left
//   dialogtext <title> [seconds]             print the static texts of the dialog with that exact title
//   press <dialog title> <button> [seconds]  press a dialog button ("Yes", "&Yes" and "yes" are the same)
//   send <title part> <message> <wParam> <lParam>
//                                            SendMessage (numbers in C notation), print "result <n>"
//   children <title part>                    print "<id> <class> <visible> <text>" of each child control
//   click <title part> <caption>[|<caption>...]
//                                            press the child button with one of these captions
//   setedit <dialog title> <text> [seconds]  put a text into the dialog's edit box
//   filedialog <dialog title> <names> [seconds]
//                                            type names into an open-file dialog's file name box and
//                                            press its Open button (several as "a.dbt" "b.dbt")
//   front <title part>                       bring a top-level window to the front
//   pointer <x> <y>                          move the mouse pointer to that screen point
//   viewer                                   print "<handle> <title>" of the first window of the clipboard viewer chain
//   listrows <title part> <column title> [wide]
//                                            print "<row> <selected 0/1>\t<column texts, tab-separated>" of the
//                                            list view whose first column title starts with <column title>;
//                                            wide: read with LVM_GETITEMTEXTW, printed as UTF-8
//   listclick <title part> <column title> <row> [double]
//                                            click (or double-click) that list view's row with the mouse
//   listselect <title part> <column title> <row>...
//                                            select exactly these rows of that list view (as Ctrl+clicks leave them)
//   windowstate <title part>                 print "<enabled|disabled> <topmost|normal> <x> <y> <width> <height>"
//                                            of the window's outer rectangle on the screen
//   boxes <title part>                       print "<id> <ticked 0/1> <x> <y> <width> <height> <caption>" of each
//                                            check box, placed in the window's client area
//   tick <title part> <caption>              click the check box with that caption (it changes and tells its window)
//   listpoint <title part> <column title> <row>
//                                            print "<x> <y>", the screen point of that list view row (for xdotool)
//   edittext <title part> [wide]             print the text of the window's rich edit control; wide: read
//                                            with EM_GETTEXTEX in UTF-16, printed as UTF-8
//   editsel <title part> <start> <end>       select characters start..end of that control (end -1: to the end)
//   edittype <title part> <text>             replace its selection by a text, as typing would
//   editpoint <title part> <character>       print "<x> <y>", the screen point of that character of the control
//   pastewindow <title> <seconds>            show a window with an edit box in front, focused, for that long
//                                            (or until it is closed), then print the box's text
//   keys <chord> [<chord> ...] [--hold ms]   type chords such as ctrl+alt+v with SendInput, each key held
//                                            (default 200 ms) so that a program polling the keyboard sees it
//
// Texts are printed with bytes outside 0x20..0x7E (other than line feeds) as \xNN, and text
// arguments accept \xNN, so that Windows-1252 bytes survive Wine's code page conversions. Wide
// reads print UTF-8 with only bytes below 0x20 (other than line feeds) and 0x7F as \xNN.
// The commands for texts beyond the ANSI code page are in unicode.cpp.
// Exit codes: 0 done, 1 not found / timed out, 2 failed, 3 usage.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static BOOL CALLBACK collectChild(HWND child, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
  return TRUE;
}

// Every child window of a window, also shared with the picture commands.
std::vector<HWND> childrenOf(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

// A file's bytes appended to `bytes`; false when it cannot be opened. Shared with the picture commands.
bool readWholeFile(const std::string& path, std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  std::fclose(file);
  return true;
}

// In unicode.cpp: the escaping of control bytes, and the message pump (wide, which serves every
// window of ours).
std::string escapeControls(const std::string& text);
void pump(DWORD milliseconds);

namespace {

std::string unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' && isxdigit((unsigned char)text[i + 2]) &&
        isxdigit((unsigned char)text[i + 3])) {
      out += static_cast<char>(std::strtoul(text.substr(i + 2, 2).c_str(), nullptr, 16));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string escape(const std::string& text) {
  std::string out;
  char hex[8];
  for (unsigned char c : text) {
    if ((c >= 0x20 && c < 0x7F) || c == '\n') {
      out += static_cast<char>(c);
    } else {
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out;
}

std::string utf8Of(const wchar_t* text, size_t length) {
  if (length == 0) return "";
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &utf8[0], n, nullptr, nullptr);
  return utf8;
}

std::string windowText(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string className(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

// A button's text as the user reads it: no mnemonic ampersand, any letter case.
std::string plainLabel(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '&') out += static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return out;
}

struct Search {
  std::string title;
  bool exact = false;
  bool dialogsOnly = false;
  bool visibleOnly = false;
  std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  const std::string title = windowText(window);
  const bool match = search->exact ? title == search->title : title.find(search->title) != std::string::npos;
  if (match && (!search->dialogsOnly || className(window) == "#32770") &&
      (!search->visibleOnly || IsWindowVisible(window)))
    search->found.push_back(window);
  return TRUE;
}

std::vector<HWND> findWindows(const std::string& title, bool exact, bool dialogsOnly, bool visibleOnly = false) {
  Search search{title, exact, dialogsOnly, visibleOnly, {}};
  EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Waits up to `seconds` for a top-level window; nullptr when none came.
HWND waitForWindow(const std::string& title, bool exact, bool dialogsOnly, double seconds, bool visibleOnly = false) {
  const DWORD start = GetTickCount();
  for (;;) {
    std::vector<HWND> found = findWindows(title, exact, dialogsOnly, visibleOnly);
    if (!found.empty()) return found.front();
    if (GetTickCount() - start >= static_cast<DWORD>(seconds * 1000)) return nullptr;
    Sleep(100);
  }
}

// A visible window of our own, in front, so that the watcher takes its title as the source; of
// another class and with an Edit child when asked (a browser window with its address field).
HWND makeSourceWindow(const std::string& title, const std::string& windowClass = "TdHelperSource",
                      const std::string* editText = nullptr) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = windowClass.c_str();
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 320,
                                120, nullptr, nullptr, wc.hInstance, nullptr);
  if (!window) return nullptr;
  if (editText)
    CreateWindowExA(0, "Edit", editText->c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 4, 4, 300, 22, window,
                    nullptr, wc.hInstance, nullptr);
  SetForegroundWindow(window);
  pump(300);
  return window;
}

bool openClipboardPatiently(HWND owner) {
  for (int i = 0; i < 100; ++i) {
    if (OpenClipboard(owner)) return true;
    Sleep(20);
  }
  return false;
}

UINT formatNumber(const std::string& name) {
  if (name == "CF_TEXT" || name == "text") return CF_TEXT;
  if (name == "CF_DIB" || name == "dib") return CF_DIB;
  return static_cast<UINT>(std::strtoul(name.c_str(), nullptr, 0));
}


// A memory block holding `bytes`.
HGLOBAL blockOf(const std::string& bytes) {
  // A moveable block of size 0 is "discarded" and the clipboard refuses it; a fixed one is a real empty block.
  HGLOBAL block = GlobalAlloc(bytes.empty() ? GMEM_FIXED : GMEM_MOVEABLE, bytes.size());
  if (!block || bytes.empty()) return block;
  void* target = GlobalLock(block);
  if (!target) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(target, bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

using Extras = std::vector<std::pair<std::string, std::string>>;  // registered format name, bytes

// The source window's class, and the text of an Edit child when it has one.
struct SourceLook {
  std::string windowClass = "TdHelperSource";
  bool hasEdit = false;
  std::string editText;
};

// Puts `bytes` on the clipboard as `format` (and the extra formats beside it, in one change) from
// a titled foreground window, then keeps that window in front for `holdMs` so the watcher can look at it.
int putOnClipboard(UINT format, const std::string& bytes, const std::string& title, DWORD holdMs,
                   const Extras& extras = {}, const SourceLook& look = {}) {
  HWND source = makeSourceWindow(title, look.windowClass, look.hasEdit ? &look.editText : nullptr);
  if (!source) return 2;
  HGLOBAL block = blockOf(bytes);
  if (!block) return 2;
  if (!openClipboardPatiently(source)) {
    std::fprintf(stderr, "cannot open the clipboard\n");
    return 2;
  }
  EmptyClipboard();
  bool set = true;
  for (const auto& [name, extra] : extras) {
    const UINT number = RegisterClipboardFormatA(name.c_str());
    HGLOBAL extraBlock = blockOf(extra);
    if (!number || !extraBlock || !SetClipboardData(number, extraBlock)) {
      if (extraBlock) GlobalFree(extraBlock);
      set = false;
    }
  }
  set = SetClipboardData(format, block) != nullptr && set;
  CloseClipboard();
  if (!set) {
    GlobalFree(block);
    std::fprintf(stderr, "SetClipboardData failed (%lu)\n", GetLastError());
    return 2;
  }
  pump(holdMs);
  DestroyWindow(source);
  std::printf("set %u bytes as format %u\n", static_cast<unsigned>(bytes.size()), format);
  return 0;
}

// Options after the positional arguments: --title T, --hold ms, --with name bytes, --class C, --edit E.
void readOptions(int argc, char** argv, int first, std::string& title, DWORD& holdMs, Extras* extras = nullptr,
                 SourceLook* look = nullptr) {
  for (int i = first; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--title") == 0) title = unescape(argv[i + 1]);
    if (std::strcmp(argv[i], "--hold") == 0) holdMs = std::strtoul(argv[i + 1], nullptr, 10);
    if (std::strcmp(argv[i], "--class") == 0 && look) look->windowClass = argv[i + 1];
    if (std::strcmp(argv[i], "--edit") == 0 && look) {
      look->hasEdit = true;
      look->editText = unescape(argv[i + 1]);
    }
    if (std::strcmp(argv[i], "--with") == 0 && i + 2 < argc && extras) {
      extras->emplace_back(argv[i + 1], unescape(argv[i + 2]));
      ++i;
    }
  }
}

// The virtual key of a chord's part: ctrl, alt, shift, down, return, escape, space or one letter or digit;
// 0 when unknown.
WORD virtualKeyOf(const std::string& name) {
  if (name == "ctrl") return VK_CONTROL;
  if (name == "alt") return VK_MENU;
  if (name == "shift") return VK_SHIFT;
  if (name == "down") return VK_DOWN;
  if (name == "return") return VK_RETURN;
  if (name == "escape") return VK_ESCAPE;
  if (name == "space") return VK_SPACE;
  if (name.size() == 1 && isalnum(static_cast<unsigned char>(name[0])))
    return static_cast<WORD>(toupper(static_cast<unsigned char>(name[0])));
  return 0;
}

bool sendKey(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, 0));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return SendInput(1, &input, sizeof input) == 1;
}

// Types one chord: its keys down in order, the last held, then all up in reverse order.
bool typeChord(const std::string& chord, DWORD holdMs) {
  std::vector<WORD> keys;
  for (size_t start = 0;;) {
    const size_t plus = chord.find('+', start);
    std::string name = chord.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
    for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    const WORD key = virtualKeyOf(name);
    if (key == 0) {
      std::fprintf(stderr, "unknown key %s\n", name.c_str());
      return false;
    }
    keys.push_back(key);
    if (plus == std::string::npos) break;
    start = plus + 1;
  }
  bool sent = true;
  for (WORD key : keys) {
    sent = sendKey(key, false) && sent;
    Sleep(40);
  }
  Sleep(holdMs);
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
    sent = sendKey(*key, true) && sent;
    Sleep(40);
  }
  return sent;
}

LRESULT CALLBACK pasteWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETFOCUS) {
    // The focus goes on to the edit box, which takes the typed keys.
    if (HWND edit = GetWindow(window, GW_CHILD)) SetFocus(edit);
    return 0;
  }
  if (message == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}


// A control's text as another process reads it: WM_GETTEXT, which Windows carries across processes
// (GetWindowText of a foreign window would only see the text stored by DefWindowProc).
std::string controlText(HWND control) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return windowText(control);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                           5000, &got))
    return windowText(control);
  text.resize(std::min<size_t>(static_cast<size_t>(got), text.size() - 1));
  return text;
}

// A block of memory inside the process of another window, for the list and header messages
// that take pointers (the system carries only its own messages' pointers across processes).
class RemoteBlock {
 public:
  RemoteBlock(HWND window, size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                           FALSE, pid);
    if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBlock() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;
  bool ok() const { return address_ != nullptr; }
  char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool write(size_t offset, const void* data, size_t size) {
    SIZE_T done = 0;
    return offset + size <= size_ && WriteProcessMemory(process_, at(offset), data, size, &done) && done == size;
  }
  bool read(size_t offset, void* data, size_t size) {
    SIZE_T done = 0;
    return offset + size <= size_ && ReadProcessMemory(process_, at(offset), data, size, &done) && done == size;
  }
  std::string readText(size_t offset, size_t most) {
    std::string text(most, '\0');
    if (!read(offset, &text[0], most)) return "";
    text.resize(strnlen(text.c_str(), most));
    return text;
  }
  // UTF-16 of at most `most` bytes, as UTF-8.
  std::string readWideText(size_t offset, size_t most) {
    std::wstring text(most / sizeof(wchar_t), L'\0');
    if (text.empty() || !read(offset, &text[0], text.size() * sizeof(wchar_t))) return "";
    return utf8Of(text.c_str(), wcsnlen(text.c_str(), text.size()));
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  size_t size_;
};

constexpr size_t remoteTextOffset = 256;  // the structure first, then the text buffer
constexpr size_t remoteTextSize = 2048;

std::string headerTitle(HWND list, int column) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  if (!header) return "";
  RemoteBlock block(list, remoteTextOffset + remoteTextSize);
  if (!block.ok()) return "";
  HDITEMA item = {};
  item.mask = HDI_TEXT;
  item.pszText = block.at(remoteTextOffset);
  item.cchTextMax = remoteTextSize;
  const char empty = 0;
  if (!block.write(0, &item, sizeof item) || !block.write(remoteTextOffset, &empty, 1)) return "";
  DWORD_PTR ok = 0;
  if (!SendMessageTimeoutA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(block.at(0)),
                           SMTO_ABORTIFHUNG, 5000, &ok) || !ok)
    return "";
  return block.readText(remoteTextOffset, remoteTextSize);
}

std::string rowText(HWND list, int row, int column) {
  RemoteBlock block(list, remoteTextOffset + remoteTextSize);
  if (!block.ok()) return "";
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = block.at(remoteTextOffset);
  item.cchTextMax = remoteTextSize;
  const char empty = 0;
  if (!block.write(0, &item, sizeof item) || !block.write(remoteTextOffset, &empty, 1)) return "";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.at(0)),
                           SMTO_ABORTIFHUNG, 5000, &length))
    return "";
  return block.readText(remoteTextOffset, remoteTextSize);
}

std::string rowTextWide(HWND list, int row, int column) {
  RemoteBlock block(list, remoteTextOffset + remoteTextSize);
  if (!block.ok()) return "";
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(block.at(remoteTextOffset));
  item.cchTextMax = remoteTextSize / sizeof(wchar_t);
  const wchar_t empty = 0;
  if (!block.write(0, &item, sizeof item) || !block.write(remoteTextOffset, &empty, sizeof empty)) return "";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.at(0)),
                           SMTO_ABORTIFHUNG, 5000, &length))
    return "";
  return block.readWideText(remoteTextOffset, remoteTextSize);
}

// The whole text of a rich edit control in UTF-16 (EM_GETTEXTEX, code page 1200), as UTF-8.
bool richTextWide(HWND editor, std::string& text) {
  RemoteBlock lengthBlock(editor, sizeof(GETTEXTLENGTHEX));
  GETTEXTLENGTHEX how = {GTL_NUMCHARS | GTL_PRECISE, 1200};
  DWORD_PTR length = 0;
  if (!lengthBlock.ok() || !lengthBlock.write(0, &how, sizeof how) ||
      !SendMessageTimeoutW(editor, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(lengthBlock.at(0)), 0, SMTO_ABORTIFHUNG,
                           5000, &length))
    return false;
  const size_t bufferSize = (static_cast<size_t>(length) + 1) * sizeof(wchar_t);
  RemoteBlock block(editor, remoteTextOffset + bufferSize);
  GETTEXTEX get = {};
  get.cb = static_cast<DWORD>(bufferSize);
  get.flags = GT_DEFAULT;
  get.codepage = 1200;
  const wchar_t empty = 0;
  DWORD_PTR got = 0;
  if (!block.ok() || !block.write(0, &get, sizeof get) || !block.write(remoteTextOffset, &empty, sizeof empty) ||
      !SendMessageTimeoutW(editor, EM_GETTEXTEX, reinterpret_cast<WPARAM>(block.at(0)),
                           reinterpret_cast<LPARAM>(block.at(remoteTextOffset)), SMTO_ABORTIFHUNG, 5000, &got))
    return false;
  text = block.readWideText(remoteTextOffset, bufferSize);
  return true;
}

int columnCount(HWND list) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
}

// The row's rectangle in the list's client coordinates.
bool rowRect(HWND list, int row, RECT& rect) {
  RemoteBlock block(list, sizeof(RECT));
  RECT wanted = {};
  wanted.left = LVIR_BOUNDS;
  DWORD_PTR ok = 0;
  return block.ok() && block.write(0, &wanted, sizeof wanted) &&
         SendMessageTimeoutA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.at(0)),
                             SMTO_ABORTIFHUNG, 5000, &ok) &&
         ok && block.read(0, &rect, sizeof rect);
}

// The list view among a window's children whose first column title starts with `title`.
HWND findListView(HWND window, const std::string& title) {
  for (HWND child : childrenOf(window)) {
    if (lstrcmpiA(className(child).c_str(), WC_LISTVIEWA) != 0) continue;
    if (headerTitle(child, 0).compare(0, title.size(), title) == 0) return child;
  }
  return nullptr;
}

bool isCheckBox(HWND control) {
  if (lstrcmpiA(className(control).c_str(), "Button") != 0) return false;
  const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX;
}

HWND findTopWindow(const std::string& title) {
  HWND window = waitForWindow(title, false, false, 5, true);
  return window ? window : waitForWindow(title, false, false, 0);
}

int usage() {
  std::fprintf(stderr,
               "usage: tdhelper settext|setraw|gettext|formats|findwindow|waitwindow|waitgone|dialogtext|press|send|children|"
               "click|setedit|filedialog|front|pointer|viewer|listrows|listclick|windowstate|boxes|tick|pastewindow|keys|"
               "listselect|listpoint|edittext|editsel|edittype|editpoint|codepage|ansiform|getunicode|setunicode|pastewide ...\n");
  return 3;
}

}  // namespace

// The commands for pictures and printing (pictures.cpp); -1 for any other command.
int pictureCommand(const std::string& command, int argc, char** argv);
// The commands for the Online Help tab's view (help_view.cpp); -1 for any other command.
int helpViewCommand(const std::string& command, int argc, char** argv);
// The command for other programs' popup menus (popups.cpp); -1 for any other command.
int popupCommand(const std::string& command, int argc, char** argv);
// The commands for other programs in the viewer chain and on the clipboard (chain.cpp); -1 for any other.
int chainCommand(const std::string& command, int argc, char** argv);
// The commands for texts beyond the ANSI code page (unicode.cpp); -1 for any other command.
int unicodeCommand(const std::string& command, int argc, char** argv);

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const std::string command = argv[1];
  std::string title = "Source Window";
  DWORD holdMs = 1500;

  if (command == "settext" && argc >= 3) {
    Extras extras;
    SourceLook look;
    readOptions(argc, argv, 3, title, holdMs, &extras, &look);
    std::string text = unescape(argv[2]);
    text += '\0';
    return putOnClipboard(CF_TEXT, text, title, holdMs, extras, look);
  }
  if (command == "formats") {
    if (!openClipboardPatiently(nullptr)) return 2;
    for (UINT format = 0; (format = EnumClipboardFormats(format)) != 0;) {
      char name[256] = "";
      if (!GetClipboardFormatNameA(format, name, sizeof name)) std::snprintf(name, sizeof name, "(standard)");
      std::printf("%u %s\n", format, escape(name).c_str());
    }
    CloseClipboard();
    return 0;
  }
  if (command == "setraw" && argc >= 4) {
    readOptions(argc, argv, 4, title, holdMs);
    std::string bytes;
    if (!readWholeFile(argv[3], bytes)) {
      std::fprintf(stderr, "cannot read %s\n", argv[3]);
      return 2;
    }
    return putOnClipboard(formatNumber(argv[2]), bytes, title, holdMs);
  }
  if (command == "keys" && argc >= 3) {
    DWORD holdMs = 200;
    std::vector<std::string> chords;
    for (int i = 2; i < argc; ++i) {
      if (std::strcmp(argv[i], "--hold") == 0 && i + 1 < argc) holdMs = std::strtoul(argv[++i], nullptr, 10);
      else chords.push_back(argv[i]);
    }
    for (const std::string& chord : chords) {
      if (!typeChord(chord, holdMs)) return 2;
      Sleep(holdMs);
    }
    std::printf("typed %u chords\n", static_cast<unsigned>(chords.size()));
    return 0;
  }
  if (command == "pastewindow" && argc >= 4) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = pasteWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "TdHelperPaste";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, unescape(argv[2]).c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  400, 60, 360, 100, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window) return 2;
    HWND edit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 4, 4, 340, 24,
                                window, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(window);
    SetFocus(edit);
    const DWORD start = GetTickCount();
    const DWORD limit = static_cast<DWORD>(std::atof(argv[3]) * 1000);
    while (IsWindow(window) && GetTickCount() - start < limit) pump(50);
    if (!IsWindow(window)) return 0;
    std::printf("%s\n", escape(windowText(edit)).c_str());
    DestroyWindow(window);
    return 0;
  }
  if (command == "gettext") {
    if (!openClipboardPatiently(nullptr)) return 2;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (!text) {
      CloseClipboard();
      return 1;
    }
    std::string copy(text, strnlen(text, GlobalSize(data)));
    GlobalUnlock(data);
    CloseClipboard();
    std::printf("%s\n", escape(copy).c_str());
    return 0;
  }
  if (command == "findwindow" && argc >= 3) {
    std::vector<HWND> found = findWindows(unescape(argv[2]), false, false);
    for (HWND window : found)
      std::printf("%p %s %s\n", static_cast<void*>(window), IsWindowVisible(window) ? "visible" : "hidden",
                  escape(windowText(window)).c_str());
    return found.empty() ? 1 : 0;
  }
  if ((command == "waitwindow" || command == "waitgone") && argc >= 4) {
    const std::string part = unescape(argv[2]);
    const double seconds = std::atof(argv[3]);
    if (command == "waitwindow") {
      bool visible = false, exact = false;
      for (int i = 4; i < argc; ++i) {
        visible |= std::strcmp(argv[i], "visible") == 0;
        exact |= std::strcmp(argv[i], "exact") == 0;
      }
      HWND window = waitForWindow(part, exact, false, seconds, visible);
      if (!window) return 1;
      std::printf("%p\n", static_cast<void*>(window));
      return 0;
    }
    const DWORD start = GetTickCount();
    while (!findWindows(part, false, false).empty()) {
      if (GetTickCount() - start >= static_cast<DWORD>(seconds * 1000)) return 1;
      Sleep(100);
    }
    return 0;
  }
  if (command == "dialogtext" && argc >= 3) {
    HWND dialog = waitForWindow(unescape(argv[2]), true, true, argc >= 4 ? std::atof(argv[3]) : 10);
    if (!dialog) return 1;
    for (HWND child : childrenOf(dialog)) {
      if (lstrcmpiA(className(child).c_str(), "Static") != 0) continue;
      const std::string text = windowText(child);
      if (!text.empty()) std::printf("%s\n", escape(text).c_str());
    }
    return 0;
  }
  if (command == "press" && argc >= 4) {
    HWND dialog = waitForWindow(unescape(argv[2]), true, true, argc >= 5 ? std::atof(argv[4]) : 10);
    if (!dialog) return 1;
    const std::string wanted = plainLabel(unescape(argv[3]));
    for (HWND child : childrenOf(dialog)) {
      if (lstrcmpiA(className(child).c_str(), "Button") != 0 || plainLabel(windowText(child)) != wanted) continue;
      // The dialog's own WM_COMMAND path works whether or not the box is active, unlike a simulated click.
      const int id = GetDlgCtrlID(child);
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(child));
      std::printf("pressed %s\n", escape(windowText(child)).c_str());
      return 0;
    }
    std::fprintf(stderr, "no button %s\n", argv[3]);
    return 1;
  }
  if (command == "send" && argc >= 6) {
    HWND window = waitForWindow(unescape(argv[2]), false, false, 5);
    if (!window) return 1;
    DWORD_PTR result = 0;
    const UINT message = static_cast<UINT>(std::strtoul(argv[3], nullptr, 0));
    const WPARAM wParam = static_cast<WPARAM>(std::strtoul(argv[4], nullptr, 0));
    const LPARAM lParam = static_cast<LPARAM>(std::strtol(argv[5], nullptr, 0));
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 60000, &result)) {
      // Also what a receiver that ends its process while answering looks like.
      std::printf("failed %lu\n", GetLastError());
      return 2;
    }
    std::printf("result %ld\n", static_cast<long>(result));
    return 0;
  }
  if (command == "children" && argc >= 3) {
    HWND window = findTopWindow(unescape(argv[2]));
    if (!window) return 1;
    for (HWND child : childrenOf(window))
      std::printf("%d %s %s %s\n", GetDlgCtrlID(child), className(child).c_str(),
                  IsWindowVisible(child) ? "visible" : "hidden", escape(controlText(child)).c_str());
    return 0;
  }
  if (command == "click" && argc >= 4) {
    HWND window = findTopWindow(unescape(argv[2]));
    if (!window) return 1;
    std::vector<std::string> wanted;
    const std::string captions = unescape(argv[3]);
    for (size_t start = 0;;) {
      const size_t bar = captions.find('|', start);
      wanted.push_back(plainLabel(captions.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
      if (bar == std::string::npos) break;
      start = bar + 1;
    }
    for (HWND child : childrenOf(window)) {
      if (lstrcmpiA(className(child).c_str(), "Button") != 0) continue;
      const std::string caption = controlText(child);  // read before the click redraws it
      if (std::find(wanted.begin(), wanted.end(), plainLabel(caption)) == wanted.end()) continue;
      // What the button itself sends its parent when it is clicked.
      PostMessageA(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                   reinterpret_cast<LPARAM>(child));
      std::printf("clicked %s\n", escape(caption).c_str());
      return 0;
    }
    std::fprintf(stderr, "no button %s\n", argv[3]);
    return 1;
  }
  if (command == "setedit" && argc >= 4) {
    // A dialog's edit box, or else the first of a window of ours (the quick paste window's filter).
    HWND dialog = waitForWindow(unescape(argv[2]), true, true, argc >= 5 ? std::atof(argv[4]) : 10);
    if (!dialog) dialog = waitForWindow(unescape(argv[2]), true, false, 1);
    if (!dialog) return 1;
    const std::string text = unescape(argv[3]);
    for (HWND child : childrenOf(dialog)) {
      if (lstrcmpiA(className(child).c_str(), "Edit") != 0) continue;
      DWORD_PTR ok = 0;
      if (!SendMessageTimeoutA(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                               &ok) || !ok)
        return 2;
      std::printf("set %s\n", escape(controlText(child)).c_str());
      return 0;
    }
    std::fprintf(stderr, "no edit box\n");
    return 1;
  }
  if (command == "filedialog" && argc >= 4) {
    const double seconds = argc >= 5 ? std::atof(argv[4]) : 10;
    HWND dialog = waitForWindow(unescape(argv[2]), true, true, seconds);
    if (!dialog) return 1;
    // The file name box: the combo box of explorer-style dialogs, the edit box of older ones. A
    // dialog found while it is still being made shows its controls a moment later.
    HWND box = nullptr;
    const DWORD start = GetTickCount();
    while (!box && GetTickCount() - start < static_cast<DWORD>(seconds * 1000)) {
      for (int id : {0x47c, 0x480}) {
        for (HWND child : childrenOf(dialog))
          if (GetDlgCtrlID(child) == id && IsWindowVisible(child)) box = child;
        if (box) break;
      }
      if (!box) Sleep(100);
    }
    if (!box) {
      std::fprintf(stderr, "no file name box\n");
      return 1;
    }
    const std::string names = unescape(argv[3]);
    DWORD_PTR ok = 0;
    if (!SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(names.c_str()), SMTO_ABORTIFHUNG, 5000, &ok))
      return 2;
    HWND open = GetDlgItem(dialog, IDOK);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(open));
    std::printf("chose %s\n", escape(controlText(box)).c_str());
    return 0;
  }
  if (command == "front" && argc >= 3) {
    HWND window = findTopWindow(unescape(argv[2]));
    if (!window) return 1;
    SetForegroundWindow(window);
    for (int i = 0; i < 50 && GetForegroundWindow() != window; ++i) Sleep(50);
    HWND now = GetForegroundWindow();
    std::printf("front %s\n", escape(windowText(now)).c_str());
    return now == window ? 0 : 2;
  }
  if (command == "viewer") {
    HWND viewer = GetClipboardViewer();
    if (!viewer) return 1;
    std::printf("%p %s\n", static_cast<void*>(viewer), escape(windowText(viewer)).c_str());
    return 0;
  }
  if (command == "pointer" && argc >= 4) {
    if (!SetCursorPos(std::atoi(argv[2]), std::atoi(argv[3]))) return 2;
    POINT at;
    GetCursorPos(&at);
    std::printf("pointer at %ld,%ld\n", at.x, at.y);
    return 0;
  }
  if ((command == "listrows" && argc >= 4) || (command == "listclick" && argc >= 5)) {
    HWND window = findTopWindow(unescape(argv[2]));
    if (!window) return 1;
    HWND list = findListView(window, unescape(argv[3]));
    if (!list) {
      std::fprintf(stderr, "no list view titled %s\n", argv[3]);
      return 1;
    }
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    if (command == "listrows") {
      const bool wide = argc >= 5 && std::strcmp(argv[4], "wide") == 0;
      const int columns = std::max(1, columnCount(list));
      for (int row = 0; row < count; ++row) {
        const bool selected = SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0;
        std::string line = std::to_string(row) + (selected ? " 1" : " 0");
        for (int column = 0; column < columns; ++column)
          line += "\t" + (wide ? escapeControls(rowTextWide(list, row, column)) : escape(rowText(list, row, column)));
        line += '\n';
        // As bytes: the console would convert them again.
        std::fwrite(line.data(), 1, line.size(), stdout);
      }
      return 0;
    }
    const int row = std::atoi(argv[4]);
    const bool twice = argc >= 6 && std::strcmp(argv[5], "double") == 0;

    if (row < 0 || row >= count) {
      std::fprintf(stderr, "row %d of %d\n", row, count);
      return 1;
    }
    SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    RECT rect;
    if (!rowRect(list, row, rect)) return 2;
    POINT at = {std::min<LONG>(rect.left + 24, (rect.left + rect.right) / 2), (rect.top + rect.bottom) / 2};
    // The pointer goes there too: a mouse move from elsewhere while the button is down would start a drag.
    POINT screen = at;
    ClientToScreen(list, &screen);
    SetCursorPos(screen.x, screen.y);
    const LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageA(list, WM_LBUTTONUP, 0, where);
    if (twice) {
      PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
      PostMessageA(list, WM_LBUTTONUP, 0, where);
    }
    std::printf("%s row %d at %ld,%ld\n", twice ? "double-clicked" : "clicked", row, at.x, at.y);
    return 0;
  }
  if (command == "windowstate" && argc >= 3) {
    HWND window = findTopWindow(unescape(argv[2]));
    if (!window) return 1;
    RECT r;
    GetWindowRect(window, &r);
    const bool topmost = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    std::printf("%s %s %ld %ld %ld %ld\n", IsWindowEnabled(window) ? "enabled" : "disabled",
                topmost ? "topmost" : "normal", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (command == "boxes" && argc >= 3) {
    HWND window = findTopWindow(unescape(argv[2]));
    if (!window) return 1;
    for (HWND child : childrenOf(window)) {
      if (!isCheckBox(child)) continue;
      RECT r;
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
      const bool ticked = SendMessageA(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
      std::printf("%d %d %ld %ld %ld %ld %s\n", GetDlgCtrlID(child), ticked ? 1 : 0, r.left, r.top, r.right - r.left,
                  r.bottom - r.top, escape(controlText(child)).c_str());
    }
    return 0;
  }
  if (command == "tick" && argc >= 4) {
    HWND window = findTopWindow(unescape(argv[2]));
    if (!window) return 1;
    const std::string wanted = unescape(argv[3]);
    for (HWND child : childrenOf(window)) {
      if (!isCheckBox(child) || controlText(child) != wanted) continue;
      DWORD_PTR ignored = 0;
      // BM_CLICK is the button's own press and release: the box changes, then tells its window.
      if (!SendMessageTimeoutA(child, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored)) return 2;
      std::printf("ticked %s %d\n", escape(wanted).c_str(), SendMessageA(child, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
      return 0;
    }
    std::fprintf(stderr, "no check box %s\n", argv[3]);
    return 1;
  }
  if (const int done = pictureCommand(command, argc, argv); done >= 0) return done;
  if (const int done = helpViewCommand(command, argc, argv); done >= 0) return done;
  if (const int done = popupCommand(command, argc, argv); done >= 0) return done;
  if (const int done = chainCommand(command, argc, argv); done >= 0) return done;
  if (const int done = unicodeCommand(command, argc, argv); done >= 0) return done;
  if (command == "listselect" && argc >= 5) {
    HWND window = findTopWindow(unescape(argv[2]));
    HWND list = window ? findListView(window, unescape(argv[3])) : nullptr;
    if (!list) return 1;
    RemoteBlock block(list, sizeof(LVITEMA));
    if (!block.ok()) return 2;
    auto setState = [&](int row, UINT state) {
      LVITEMA item = {};
      item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      item.state = state;
      DWORD_PTR done = 0;
      return block.write(0, &item, sizeof item) &&
             SendMessageTimeoutA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.at(0)),
                                 SMTO_ABORTIFHUNG, 5000, &done);
    };
    if (!setState(-1, 0)) return 2;
    for (int i = 4; i < argc; ++i)
      if (!setState(std::atoi(argv[i]), LVIS_SELECTED | (i == 4 ? LVIS_FOCUSED : 0))) return 2;
    std::printf("selected %d rows\n", argc - 4);
    return 0;
  }
  if (command == "listpoint" && argc >= 5) {
    HWND window = findTopWindow(unescape(argv[2]));
    HWND list = window ? findListView(window, unescape(argv[3])) : nullptr;
    if (!list) return 1;
    const int row = std::atoi(argv[4]);
    SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    RECT rect;
    if (!rowRect(list, row, rect)) return 2;
    POINT at = {std::min<LONG>(rect.left + 24, (rect.left + rect.right) / 2), (rect.top + rect.bottom) / 2};
    ClientToScreen(list, &at);
    std::printf("%ld %ld\n", at.x, at.y);
    return 0;
  }
  if ((command == "edittext" && argc >= 3) || (command == "editsel" && argc >= 5) ||
      (command == "edittype" && argc >= 4) || (command == "editpoint" && argc >= 4)) {
    HWND window = findTopWindow(unescape(argv[2]));
    if (!window) return 1;
    HWND editor = nullptr;
    for (HWND child : childrenOf(window))
      if (className(child).compare(0, 8, "RichEdit") == 0 || className(child).compare(0, 8, "RICHEDIT") == 0) editor = child;
    if (!editor) {
      std::fprintf(stderr, "no rich edit control\n");
      return 1;
    }
    DWORD_PTR result = 0;
    if (command == "edittext") {
      if (argc >= 4 && std::strcmp(argv[3], "wide") == 0) {
        std::string text;
        if (!richTextWide(editor, text)) return 2;
        const std::string line = escapeControls(text) + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
        return 0;
      }
      std::printf("%s\n", escape(controlText(editor)).c_str());
      return 0;
    }
    if (command == "editpoint") {
      // The rich edit control's EM_POSFROMCHAR writes the point into a POINTL of its own process.
      RemoteBlock block(editor, sizeof(POINTL));
      POINTL at = {0, 0};
      if (!block.ok() || !SendMessageTimeoutA(editor, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(block.at(0)),
                                              std::atoi(argv[3]), SMTO_ABORTIFHUNG, 5000, &result) ||
          !block.read(0, &at, sizeof at))
        return 2;
      POINT screen = {at.x + 2, at.y + 4};
      ClientToScreen(editor, &screen);
      std::printf("%ld %ld\n", screen.x, screen.y);
      return 0;
    }
    if (command == "editsel") {
      if (!SendMessageTimeoutA(editor, EM_SETSEL, std::atoi(argv[3]), std::atoi(argv[4]), SMTO_ABORTIFHUNG, 5000, &result))
        return 2;
      std::printf("selected %s..%s\n", argv[3], argv[4]);
      return 0;
    }
    // EM_REPLACESEL is one of the messages whose text the system carries to the other process.
    const std::string text = unescape(argv[3]);
    if (!SendMessageTimeoutA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                             &result))
      return 2;
    std::printf("typed %s\n", escape(text).c_str());
    return 0;
  }
  return usage();
}
