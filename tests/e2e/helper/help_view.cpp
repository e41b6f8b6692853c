// tdhelper's commands for the Online Help tab's view (a window of class TandrelHelpView with a
// picture control and a page text control of class TandrelPageText):
//
//   helpview <title part>                    print "<visible|hidden>", then the page text's lines
//   helppoint <title part> <text>            print "<x> <y>", the screen point of the middle of the
//                                            first occurrence of that text in the page text (for xdotool)
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

// tdhelper.cpp, pictures.cpp
std::vector<HWND> childrenOf(HWND parent);
HWND topWindow(const std::string& part);

namespace {

HWND childOfClass(HWND parent, const char* cls) {
  for (HWND child : childrenOf(parent)) {
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, cls) == 0) return child;
  }
  return nullptr;
}

// The page text as the control gives it to another process; lines end with CR LF.
std::string pageText(HWND text) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(text, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return "";
  std::string bytes(static_cast<size_t>(length) + 1, '\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(text, WM_GETTEXT, bytes.size(), reinterpret_cast<LPARAM>(&bytes[0]), SMTO_ABORTIFHUNG, 5000,
                           &got))
    return "";
  bytes.resize(got < bytes.size() ? static_cast<size_t>(got) : bytes.size() - 1);
  return bytes;
}

}  // namespace

// Answers the exit code of a command of this file, -1 for a command that is not one of them.
int helpViewCommand(const std::string& command, int argc, char** argv) {
  if (!((command == "helpview" && argc >= 3) || (command == "helppoint" && argc >= 4))) return -1;
  HWND window = topWindow(argv[2]);
  HWND view = window ? childOfClass(window, "TandrelHelpView") : nullptr;
  HWND text = view ? childOfClass(view, "TandrelPageText") : nullptr;
  if (!text) {
    std::fprintf(stderr, "no help view\n");
    return 1;
  }
  std::string shown = pageText(text);
  if (command == "helpview") {
    std::string lines;
    for (char c : shown)
      if (c != '\r') lines += c;
    std::printf("%s\n%s\n", IsWindowVisible(view) ? "visible" : "hidden", lines.c_str());
    return 0;
  }
  // The control counts a line end as one character.
  std::string counted;
  for (size_t i = 0; i < shown.size(); ++i)
    if (!(shown[i] == '\n' && i > 0 && shown[i - 1] == '\r')) counted += shown[i];
  const size_t at = counted.find(argv[3]);
  if (at == std::string::npos) return 1;
  // The one-argument form of EM_POSFROMCHAR answers the point itself, so no memory of the
  // other process is needed.
  DWORD_PTR packed = 0;
  const WPARAM middle = at + std::string(argv[3]).size() / 2;
  if (!SendMessageTimeoutA(text, EM_POSFROMCHAR, middle, 0, SMTO_ABORTIFHUNG, 5000, &packed)) return 2;
  POINT point = {static_cast<short>(LOWORD(packed)) + 1, static_cast<short>(HIWORD(packed)) + 6};
  ClientToScreen(text, &point);
  std::printf("%ld %ld\n", point.x, point.y);
  return 0;
}
