// tdfloor: the least a clipboard viewer can do under Wine, as the floor for Tandrel's capture
// figures. It joins the viewer chain and, on every change, reads CF_TEXT and appends each text
// that differs from the one read before to a file, one line per text; nothing else.
//
//   tdfloor <output file>
//
// The measuring script counts the lines. It runs until its process is ended.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HWND nextViewer = nullptr;
std::FILE* out = nullptr;
std::string previous;

void readText() {
  // Another viewer (or Wine's own bridge) may hold the clipboard for a moment.
  bool opened = false;
  for (int i = 0; i < 50 && !(opened = OpenClipboard(nullptr)); ++i) Sleep(5);
  if (!opened) return;
  std::string text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  if (text.empty() || text == previous) return;
  previous = text;
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  std::fprintf(out, "%s\n", text.c_str());
  std::fflush(out);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DRAWCLIPBOARD:
      readText();
      if (nextViewer) SendMessageA(nextViewer, message, wParam, lParam);
      return 0;
    case WM_CHANGECBCHAIN:
      if (reinterpret_cast<HWND>(wParam) == nextViewer) nextViewer = reinterpret_cast<HWND>(lParam);
      else if (nextViewer) SendMessageA(nextViewer, message, wParam, lParam);
      return 0;
    case WM_DESTROY:
      ChangeClipboardChain(window, nextViewer);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: tdfloor <output file>\n");
    return 3;
  }
  out = std::fopen(argv[1], "ab");
  if (!out) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 2;
  }
  WNDCLASSA wc = {};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TdFloorViewer";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName, "Floor Viewer", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, wc.hInstance, nullptr);
  if (!window) return 2;
  nextViewer = SetClipboardViewer(window);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  std::fclose(out);
  return 0;
}
