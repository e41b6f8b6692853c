// tdhelper's commands for text beyond the ANSI code page. Wine hands command line arguments over in
// the ANSI code page, so texts come in as the hex of their UTF-8 bytes; texts go out as UTF-8, with
// bytes below 0x20 (other than line feeds) and 0x7F as \xNN.
//
//   codepage                                 print "<ANSI code page> <OEM code page>"
//   ansiform <hex>                           print the hex of the text's ANSI form (what CF_TEXT gives
//                                            for it: WideCharToMultiByte of the ANSI code page)
//   getunicode                               print the clipboard's CF_UNICODETEXT
//   setunicode <hex> [--title-hex H] [--hold ms]
//                                            put CF_UNICODETEXT alone on the clipboard from a visible,
//                                            foreground window whose title SetWindowTextW gave (the
//                                            system adds CF_TEXT); the window stays in front for the hold
//   seteditwide <dialog title> <hex>          set the first edit box of the dialog to the text, wide
//   pastewide <title> <seconds>              show a window with a wide edit box in front, focused, for
//                                            that long (or until it is closed); print the box's text
//                                            after every change, one line each
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// UTF-8 as it is, control bytes (but line feeds) as \\xNN.
std::string escapeControls(const std::string& text) {
  std::string out;
  char hex[8];
  for (unsigned char c : text) {
    if ((c < 0x20 && c != '\n') || c == 0x7F) {
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// Handles the messages of this thread's windows for a while.
void pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  } while (GetTickCount() - start < milliseconds);
}

namespace {

std::wstring wideOf(const std::string& utf8) {
  if (utf8.empty()) return L"";
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
  return wide;
}

std::string utf8Of(const std::wstring& wide) {
  if (wide.empty()) return "";
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], n, nullptr, nullptr);
  return utf8;
}

std::string fromHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
  return bytes;
}

std::string hexOf(const std::string& bytes) {
  std::string hex;
  char two[3];
  for (unsigned char c : bytes) {
    std::snprintf(two, sizeof two, "%02X", c);
    hex += two;
  }
  return hex;
}

// Written as bytes: the console would convert them again.
void printLine(const std::string& text) {
  const std::string out = escapeControls(text) + '\n';
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
}

bool openClipboardSoon(HWND owner) {
  for (int i = 0; i < 100; ++i) {
    if (OpenClipboard(owner)) return true;
    Sleep(20);
  }
  return false;
}

std::wstring editText(HWND edit) {
  const int length = GetWindowTextLengthW(edit);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(edit, &text[0], length + 1)));
  return text;
}

LRESULT CALLBACK wideWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS:
      if (HWND edit = GetWindow(window, GW_CHILD)) SetFocus(edit);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_CHANGE) printLine(utf8Of(editText(reinterpret_cast<HWND>(lParam))));
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

HWND makeWideWindow(const wchar_t* className, const std::wstring& title, int x) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = wideWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className;
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, className, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 60, 360, 100, nullptr, nullptr,
                                wc.hInstance, nullptr);
  // Set apart from the creation, as a program that retitles its window does.
  if (window) SetWindowTextW(window, title.c_str());
  return window;
}

int setUnicode(int argc, char** argv) {
  const std::wstring text = wideOf(fromHex(argv[2]));
  std::wstring title = L"Source Window";
  DWORD holdMs = 1500;
  for (int i = 3; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--title-hex") == 0) title = wideOf(fromHex(argv[i + 1]));
    if (std::strcmp(argv[i], "--hold") == 0) holdMs = std::strtoul(argv[i + 1], nullptr, 10);
  }
  HWND window = makeWideWindow(L"TdHelperWideSource", title, 60);
  if (!window) return 2;
  SetForegroundWindow(window);
  pump(300);
  const size_t size = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  void* target = block ? GlobalLock(block) : nullptr;
  if (!target) return 2;
  std::memcpy(target, text.c_str(), size);
  GlobalUnlock(block);
  if (!openClipboardSoon(window)) {
    std::fprintf(stderr, "cannot open the clipboard\n");
    GlobalFree(block);
    return 2;
  }
  EmptyClipboard();
  const bool set = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  CloseClipboard();
  if (!set) {
    GlobalFree(block);
    return 2;
  }
  pump(holdMs);
  DestroyWindow(window);
  std::printf("set %u characters\n", static_cast<unsigned>(text.size()));
  return 0;
}

}  // namespace

int unicodeCommand(const std::string& command, int argc, char** argv) {
  if (command == "codepage") {
    std::printf("%u %u\n", GetACP(), GetOEMCP());
    return 0;
  }
  if (command == "ansiform" && argc >= 3) {
    const std::wstring wide = wideOf(fromHex(argv[2]));
    std::string ansi;
    if (!wide.empty()) {
      const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
      ansi.assign(static_cast<size_t>(n), '\0');
      WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &ansi[0], n, nullptr, nullptr);
    }
    std::printf("%s\n", hexOf(ansi).c_str());
    return 0;
  }
  if (command == "getunicode") {
    if (!openClipboardSoon(nullptr)) return 2;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (!text) {
      CloseClipboard();
      return 1;
    }
    const std::wstring copy(text, wcsnlen(text, GlobalSize(data) / sizeof(wchar_t)));
    GlobalUnlock(data);
    CloseClipboard();
    printLine(utf8Of(copy));
    return 0;
  }
  if (command == "setunicode" && argc >= 3) return setUnicode(argc, argv);
  if (command == "seteditwide" && argc >= 4) {
    HWND dialog = FindWindowW(L"#32770", wideOf(argv[2]).c_str());
    HWND edit = dialog ? FindWindowExW(dialog, nullptr, L"Edit", nullptr) : nullptr;
    if (!edit) return 1;
    const std::wstring text = wideOf(fromHex(argv[3]));
    DWORD_PTR ok = 0;
    if (!SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &ok) || !ok)
      return 2;
    std::printf("set %u characters\n", static_cast<unsigned>(text.size()));
    return 0;
  }
  if (command == "pastewide" && argc >= 4) {
    HWND window = makeWideWindow(L"TdHelperWidePaste", wideOf(argv[2]), 400);
    if (!window) return 2;
    HWND edit = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 4, 4, 340, 24,
                                window, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!edit) return 2;
    SetForegroundWindow(window);
    SetFocus(edit);
    const DWORD start = GetTickCount();
    const DWORD limit = static_cast<DWORD>(std::atof(argv[3]) * 1000);
    while (IsWindow(window) && GetTickCount() - start < limit) pump(50);
    if (IsWindow(window)) DestroyWindow(window);
    return 0;
  }
  return -1;
}
