// tdhelper: plays "the other programs" of the desktop for the end-to-end tests
// of Tandrel.exe under Wine. One command per run, given on the command line:
//
//   settext <text> [--title T] [--hold ms]   put CF_TEXT on the clipboard from a visible, foreground window
//   setraw <format> <file> [--title T] [--hold ms]
//                                            put a file's bytes on the clipboard as they are (no zero added);
//                                            format: CF_TEXT, CF_DIB or a number
//   gettext                                  print the clipboard's CF_TEXT
//   findwindow <title part>                  print "<handle> <visible> <title>" of each top-level match
//   waitwindow <title part> <seconds> [visible] [exact]
//                                            wait for such a window (shown; with exactly that title), print its handle
//   waitgone <title part> <seconds>          wait until no such window is left
//   dialogtext <title> [seconds]             print the static texts of the dialog with that exact title
//   press <dialog title> <button> [seconds]  press a dialog button ("Yes", "&Yes" and "yes" are the same)
//   send <title part> <message> <wParam> <lParam>
//                                            SendMessage (numbers in C notation), print "result <n>"
//
// Texts are printed with bytes outside 0x20..0x7E (other than line feeds) as \xNN, and text
// arguments accept \xNN, so that Windows-1252 bytes survive Wine's code page conversions.
// Exit codes: 0 done, 1 not found / timed out, 2 failed, 3 usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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

void pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  } while (GetTickCount() - start < milliseconds);
}

// A visible window of our own, in front, so that the watcher takes its title as the source.
HWND makeSourceWindow(const std::string& title) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "TdHelperSource";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 320,
                                120, nullptr, nullptr, wc.hInstance, nullptr);
  if (!window) return nullptr;
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

bool readWholeFile(const std::string& path, std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  std::fclose(file);
  return true;
}

// Puts `bytes` on the clipboard as `format` from a titled foreground window, then keeps that
// window in front for `holdMs` so the watcher can look at it.
int putOnClipboard(UINT format, const std::string& bytes, const std::string& title, DWORD holdMs) {
  HWND source = makeSourceWindow(title);
  if (!source) return 2;
  // A moveable block of size 0 is "discarded" and the clipboard refuses it; a fixed one is a real empty block.
  HGLOBAL block = GlobalAlloc(bytes.empty() ? GMEM_FIXED : GMEM_MOVEABLE, bytes.size());
  if (!block) return 2;
  if (!bytes.empty()) {
    void* target = GlobalLock(block);
    if (!target) return 2;
    std::memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(block);
  }
  if (!openClipboardPatiently(source)) {
    std::fprintf(stderr, "cannot open the clipboard\n");
    return 2;
  }
  EmptyClipboard();
  const bool set = SetClipboardData(format, block) != nullptr;
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

// Options after the positional arguments: --title T, --hold ms.
void readOptions(int argc, char** argv, int first, std::string& title, DWORD& holdMs) {
  for (int i = first; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--title") == 0) title = unescape(argv[i + 1]);
    if (std::strcmp(argv[i], "--hold") == 0) holdMs = std::strtoul(argv[i + 1], nullptr, 10);
  }
}

BOOL CALLBACK collectChild(HWND child, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
  return TRUE;
}

std::vector<HWND> childrenOf(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

int usage() {
  std::fprintf(stderr, "usage: tdhelper settext|setraw|gettext|findwindow|waitwindow|waitgone|dialogtext|press|send ...\n");
  return 3;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const std::string command = argv[1];
  std::string title = "Source Window";
  DWORD holdMs = 1500;

  if (command == "settext" && argc >= 3) {
    readOptions(argc, argv, 3, title, holdMs);
    std::string text = unescape(argv[2]);
    text += '\0';
    return putOnClipboard(CF_TEXT, text, title, holdMs);
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
  return usage();
}
