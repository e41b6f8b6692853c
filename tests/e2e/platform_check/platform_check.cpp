// Checks of the Win32 platform layer itself, run under Wine: the parts whose
// faults the end-to-end tests of Tandrel.exe would only show indirectly
// (clipboard bounds, message routing, share modes, the notice thread), and the picture codecs
// as Tandrel.exe links them, over bitmaps the system itself makes.
// "platform_check" runs the checks; "platform_check crash" raises an access
// violation that the unhandled-exception handler must report and end with 42;
// "platform_check keys <port> <token>" watches the key bridge's keys (below).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "core/dib.h"
#include "core/image_codec.h"
#include "core/logo.h"
#include "platform/clipboard.h"
#include "platform/gadgets.h"
#include "platform/key_channel.h"
#include "platform/keyboard.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/window.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>  // before the <windows.h> of win32.h

#include "platform/win32/win32.h"

#include <commctrl.h>

using namespace platform;

namespace {

int failures = 0, passes = 0;

void check(bool ok, const char* what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
  (ok ? passes : failures)++;
}

std::vector<unsigned> seen;  // messages the logic's proc received

// The next event other than a list's selection change (selecting rows in code reports those too).
WindowEvent nextEvent() {
  for (int i = 0; i < 20; ++i)
    if (WindowEvent e = waitWindowEvent(10); e.kind && !(e.kind == EVENT_GADGET && e.type == GADGET_ITEM_CHANGE))
      return e;
  return {};
}

void putRaw(unsigned format, const std::string& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!bytes.empty()) {
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
  }
  openClipboard(0);
  emptyClipboard();
  SetClipboardData(format, block);
  closeClipboard();
}

void checkClipboard(Hwnd window) {
  seen.clear();
  setClipboardViewer(window);
  check(seen.size() == 1 && seen[0] == WM_DRAWCLIPBOARD, "joining the chain calls the proc before returning");

  openClipboard(window);
  emptyClipboard();
  check(setClipboardBytes(CF_TEXT, "caf\xe9 \x99"), "setClipboardBytes takes text");
  closeClipboard();
  openClipboard(0);
  check(getClipboardText() == std::string("caf\xe9 \x99"), "text comes back byte for byte");
  closeClipboard();

  putRaw(CF_TEXT, std::string(4096, 'A'));  // no terminating zero
  openClipboard(0);
  std::optional<std::string> text = getClipboardText();
  closeClipboard();
  check(text && !text->empty() && text->size() <= 4096 && text->find_first_not_of('A') == std::string::npos,
        "unterminated text stops at the end of its block");

  putRaw(CF_DIB, std::string(10, '\x01'));
  openClipboard(0);
  std::optional<std::string> dib = getClipboardBytes(CF_DIB);
  check(dib && dib->size() == 10, "raw bytes are bounded by their block");
  check(!getClipboardBytes(CF_TEXT), "an absent format answers nullopt");
  unsigned textOnly[] = {CF_TEXT};
  check(getPriorityClipboardFormat(textOnly, 1) == -1, "a clipboard of other formats answers -1");
  closeClipboard();

  putRaw(CF_DIB, "");
  openClipboard(0);
  std::optional<std::string> empty = getClipboardBytes(CF_DIB);
  closeClipboard();
  check(!empty || empty->empty(), "a zero-sized block reads as nothing");
  changeClipboardChain(window, 0);
}

void checkEvents(Hwnd window) {
  HWND h = win32::toHwnd(window);
  PostMessageA(h, WM_CLOSE, 0, 0);
  PostMessageA(h, WM_COMMAND, 559, 0);
  PostMessageA(h, win32::trayCallbackMessage, 1, WM_MOUSEMOVE);
  PostMessageA(h, win32::trayCallbackMessage, 1, WM_RBUTTONUP);
  WindowEvent close = nextEvent(), menu = nextEvent(), tray = nextEvent();
  check(close.kind == EVENT_CLOSE && close.window == 500 && IsWindow(h), "the close box queues an event and keeps the window");
  check(menu.kind == EVENT_MENU && menu.gadget == 559, "a menu command becomes a menu event");
  check(tray.kind == EVENT_TRAY && tray.type == 1, "a right click on the tray icon is tray event type 1");
  check(waitWindowEvent(5).kind == 0, "no event answers kind 0");

  seen.clear();
  check(sendMessage(window, WM_QUERYENDSESSION, 0, 0) == 1 && seen.back() == WM_QUERYENDSESSION,
        "a sent message reaches the proc, which answers it");

  const std::string program = windowProgramPath(window);
  check(program.size() > 18 && program.substr(program.size() - 18) == "platform_check.exe",
        "a window's program path names its program");

  check(createLabel(window, 42, 1, 262, 115, 18, "Tandrel\x99"), "a label is made");
  check(gadgetText(42) == "Tandrel\x99", "a label's text is its window text");
  setGadgetText(42, "Action Failed");
  setGadgetColours(42, rgb(255, 255, 255), rgb(0, 0, 255));
  HDC dc = CreateCompatibleDC(nullptr);
  LRESULT brush = SendMessageA(h, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(GetDlgItem(h, 42)));
  check(brush != 0 && GetTextColor(dc) == RGB(255, 255, 255) && GetBkColor(dc) == RGB(0, 0, 255),
        "a coloured label paints in its colours");
  DeleteDC(dc);
  check(setTrayIcon(window, TrayImage::Waiting, std::string(100, 'x')), "the tray icon takes a long tooltip");
  check(setTrayIcon(window, TrayImage::NotActive, "Tandrel Not Active"), "the tray icon changes");
  removeTrayIcon(window);
}

void checkControls(Hwnd window) {
  HWND h = win32::toHwnd(window);
  check(createPanel({window, 0, 0, 120, 260, 540, 235}, 6, {"Text", "Image"}, FontId::Tab) &&
            createEditor({window, 6, 0, 5, 5, 525, 195}, 7) && createImageView({window, 6, 1, 5, 5, 525, 195}, 8),
        "a panel with an editor and a picture box");
  setPanelTab(6, 1);
  auto shown = [h](int gadget) { return (GetWindowLongA(GetDlgItem(h, gadget), GWL_STYLE) & WS_VISIBLE) != 0; };
  check(panelTab(6) == 1 && !shown(7) && shown(8),
        "only the shown tab's controls are visible");
  std::string text = "{\\rtf1 looks rich} caf\xc3\xa9 \xe2\x84\xa2";  // the editor takes UTF-8
  while (text.size() < 100000) text += "\r\n" + std::string(78, 'x');
  setEditorText(7, text);
  check(editorText(7) == text, "the editor holds a long text byte for byte, a \"{\\rtf\" start included");

  check(createListView({window, 0, 0, 120, 30, 540, 225}, 5, true, false), "a list view");
  setListColumns(5, {"Clip ", "Note/Source "}, {392, 145});
  setListRows(5, 100000, [](int row, int column) { return "row " + std::to_string(row) + (column ? " note" : ""); });
  char cell[64] = "";
  LVITEMA item = {};
  item.iSubItem = 1;
  item.pszText = cell;
  item.cchTextMax = sizeof cell;
  SendMessageA(GetDlgItem(h, 5), LVM_GETITEMTEXTA, 99999, reinterpret_cast<LPARAM>(&item));
  check(listRowCount(5) == 100000 && std::string(cell) == "row 99999 note", "the list asks the program for its texts");
  selectListRow(5, 7);
  selectListRow(5, 99999);
  check(listSelectedRows(5) == std::vector<int>{7, 99999}, "selected rows read back");
  deselectListRows(5);
  check(listSelectedRows(5).empty(), "rows deselect");
  NMITEMACTIVATE click = {};
  click.hdr = {GetDlgItem(h, 5), 5, static_cast<UINT>(NM_DBLCLK)};
  click.iItem = 3;
  SendMessageA(h, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&click));
  const WindowEvent e = nextEvent();
  check(e.kind == EVENT_GADGET && e.gadget == 5 && e.type == GADGET_DOUBLE_CLICK && e.data == 3,
        "a double click on the list is a gadget event");
}

void checkFiles() {
  // Western code page: é is 0xE9 in the program's text and two bytes in the engine's file name.
  check(hostPath("C:\\caf\xe9\\tdclips.db") == "C:\\caf\xc3\xa9\\tdclips.db", "database file names go out in UTF-8");
  const std::string folder = tempFolder() + "td_check\\";
  deleteFolderTree(folder);
  check(createFolder(folder) && createFolder(folder) && createFolder(folder + "sub\\"), "folders are made, twice is fine");
  const std::string log = folder + "tandrel.log";
  Handle first = createSharedReadFile(log);
  check(first && writeToFile(first, "Tandrel\r\n") && flushFile(first), "the log is created and written");
  check(createSharedReadFile(log) == 0, "a second writer cannot open the log");
  check(readFile(log, 100) == std::string("Tandrel\r\n"), "others may read the open log");
  check(!readFile(log, 3), "a file over the limit is not read");
  closeFile(first);
  writeFile(folder + "a.txt", "new");
  writeFile(folder + "sub\\b.txt", "old");
  check(renameFile(folder + "a.txt", folder + "sub\\b.txt") && readFile(folder + "sub\\b.txt", 10) == std::string("new"),
        "a rename replaces its target");
  check(fileSize(folder + "sub\\b.txt") == 3u && !fileSize(folder + "none"), "file sizes");

  // What backup, restore and conversion lean on.
  writeFile(folder + "records.dbt", std::string(437, 'r') + "tail");
  Handle records = openReadFile(folder + "records.dbt");
  std::string bytes, tail, end;
  check(records && readFromFile(records, 437, bytes) && bytes == std::string(437, 'r') && readFromFile(records, 437, tail) &&
            tail == "tail" && readFromFile(records, 437, end) && end.empty(),
        "a file is read in records, a short tail, then nothing");
  check(readFile(folder + "records.dbt", 1000).has_value(), "others may read a file open for reading");
  closeFile(records);
  check(!openReadFile(folder + "none"), "a missing file does not open for reading");
  auto names = filesIn(folder);
  std::sort(names.begin(), names.end());
  check(names == std::vector<std::string>{"records.dbt", "tandrel.log"}, "filesIn lists the files, not the folders");
  SetFileAttributesA((folder + "records.dbt").c_str(), FILE_ATTRIBUTE_READONLY);
  check(clearReadOnly(folder + "records.dbt") &&
            !(GetFileAttributesA((folder + "records.dbt").c_str()) & FILE_ATTRIBUTE_READONLY),
        "the read-only mark is cleared");
  bool aborted = true;
  check(shellFileOperation(FO_COPY, folder + "records.dbt" + '\0', folder + "copy.dbk" + '\0', FOF_ALLOWUNDO, aborted) == 0 &&
            !aborted && readFile(folder + "copy.dbk", 1000) == readFile(folder + "records.dbt", 1000),
        "the shell copies a file to a new name");
  deleteFile(folder + "records.dbt");
  deleteFile(folder + "copy.dbk");
  check(deleteFilesIn(folder) == 1 && folderExists(folder + "sub\\"), "deleteFilesIn spares subfolders");
  check(deleteFolderTree(folder) && !folderExists(folder), "a folder tree goes whole");

  bool existed = true;
  Handle mutex = createMutex("TandrelCheck", existed);
  bool again = false;
  Handle second = createMutex("TandrelCheck", again);
  check(mutex && !existed && again, "a named mutex reports an earlier holder");
  closeMutex(second);
  closeMutex(mutex);

  const std::string appData = specialFolder(CSIDL_APPDATA);
  check(!appData.empty() && appData.back() == '\\' && folderExists(appData), "the application data folder");
  const std::string link = tempFolder() + "td_check.lnk";
  check(createShortcut({link, programFolder() + "platform_check.exe", "", programFolder(), "Tandrel", "", 0}) &&
            fileExists(link),
        "a shortcut is saved");
  deleteFile(link);
}

void checkNotice() {
  Hwnd notice = 0;
  bool topmost = false, labelled = false;
  std::thread shower([&] {
    Rect area = workArea();
    notice = openNotice({"Tandrel", "Tandrel\r\nShutting Down", area.right - 132, area.bottom - 60, 122, 60,
                         rgb(0, 0, 255), rgb(255, 255, 170), rgb(117, 236, 253)});
    HWND h = win32::toHwnd(notice);
    topmost = GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST;
    setNoticeLabel(notice, "Tandrel\r\nWriting Data Base");
    char text[64] = "";
    GetWindowTextA(GetWindow(h, GW_CHILD), text, sizeof text);
    labelled = std::strcmp(text, "Tandrel\r\nWriting Data Base") == 0;
    for (int i = 1; i <= 100 && IsWindow(h); ++i) {
      setNoticeProgress(notice, i);
      Sleep(2);
    }
  });
  shower.join();
  check(notice && topmost && labelled, "the notice is a topmost window with its label");
  closeNotice(notice);
  check(!IsWindow(win32::toHwnd(notice)), "the notice is gone with its thread");
}

// Pixels of a bitmap that GDI drew, read through the system's own CF_BITMAP to CF_DIB
// conversion, then stored as PNG and JPEG and read back.
void checkImages(Hwnd window) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 30);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all = {0, 0, 40, 30}, left = {0, 0, 10, 30};
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255)), yellow = CreateSolidBrush(RGB(255, 255, 0));
  FillRect(dc, &all, blue);
  FillRect(dc, &left, yellow);
  SelectObject(dc, old);
  DeleteObject(blue);
  DeleteObject(yellow);
  DeleteDC(dc);
  openClipboard(window);
  emptyClipboard();
  SetClipboardData(CF_BITMAP, bitmap);  // the clipboard owns it now
  closeClipboard();

  openClipboard(0);
  std::optional<std::string> dib = getClipboardBytes(CF_DIB);
  closeClipboard();
  check(dib.has_value(), "the system offers a drawn bitmap as CF_DIB");
  const core::DecodedImage read = core::dibToImage(dib.value_or(""));
  check(read.ok() && read.image.width == 40 && read.image.height == 30, "the system's bitmap passes the checks");
  auto bgrAt = [&](const core::Image& image, int x, int y) {
    const std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
    return RGB(p[2], p[1], p[0]);
  };
  if (!read.ok()) return;
  check(bgrAt(read.image, 2, 2) == RGB(255, 255, 0) && bgrAt(read.image, 30, 25) == RGB(0, 0, 255),
        "its pixels are where GDI drew them, top row first");

  const core::EncodedImage png = core::encodeImage(read.image, core::ImageFormat::Png);
  const core::DecodedImage fromPng = core::decodeImage(png.bytes);
  check(png.ok() && fromPng.ok() && fromPng.image.pixels == read.image.pixels, "PNG keeps every pixel");
  const core::EncodedImage jpeg = core::encodeImage(read.image, core::ImageFormat::Jpeg);
  const core::DecodedImage fromJpeg = core::decodeImage(jpeg.bytes);
  check(jpeg.ok() && fromJpeg.ok() && fromJpeg.image.width == 40 && fromJpeg.image.height == 30,
        "JPEG comes back at its size");
  check(!core::decodeImage(png.bytes.substr(0, png.bytes.size() / 2)).ok() &&
            !core::decodeImage(jpeg.bytes.substr(0, jpeg.bytes.size() / 2)).ok(),
        "a cut picture is refused, and the program goes on");
  check(core::logoJpeg().ok(), "the logo encodes");

  // Our own bitmap goes on the clipboard and comes back the same.
  const core::EncodedImage ours = core::imageToDib(read.image);
  openClipboard(window);
  emptyClipboard();
  setClipboardBytes(CF_DIB, ours.bytes);
  closeClipboard();
  openClipboard(0);
  std::optional<std::string> back = getClipboardBytes(CF_DIB);
  closeClipboard();
  const core::DecodedImage again = core::dibToImage(back.value_or(""));
  check(again.ok() && again.image.pixels == read.image.pixels, "our bitmap reads back from the clipboard");
}

// Sends a datagram to the key channel.
void sendDatagram(std::uint16_t port, const std::string& datagram) {
  SOCKET sender = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = inet_addr("127.0.0.1");
  to.sin_port = htons(port);
  check(sendto(sender, datagram.data(), static_cast<int>(datagram.size()), 0, reinterpret_cast<sockaddr*>(&to),
               sizeof to) == static_cast<int>(datagram.size()),
        "a datagram is sent");
  closesocket(sender);
}

// The keys mode, run by t02_key_bridge.sh with the key bridge on the X display and the channel
// file in TANDREL_KEYS_FILE. First the port must be closed while the keys are not watched; then
// forged datagrams must change nothing and a true one must give its key event. (The forgeries from
// another address are sent by the script: Wine's loopback delivers what this program sends as
// 127.0.0.1 whatever address its socket is bound to.) Then, as the main loop does, it sleeps until
// a message comes (at most 100 ms, to see keys.stop) and prints each key event it takes:
// "key V down ctrl=1 alt=1 altgr=0 bridge=1".
// With "focused" it shows a window titled "Key Check" first, so that Wine sees the keys too.
// It ends when the file keys.stop appears in its folder (or after two minutes).
int watchKeys(const std::string& port, const std::string& tokenHex, bool focused) {
  const auto channel = keychannel::parseChannel(port + " " + tokenHex);
  if (!channel) return 2;
  if (focused) {
    check(initToolkit() && openWindow(500, 50, 50, 300, 200, "Key Check", true) != 0, "a window to type into");
    setForegroundWindow(windowOfNumber(500));
  }
  WSADATA winsock;
  WSAStartup(MAKEWORD(2, 2), &winsock);
  // While the keys are not watched the port is closed (this program can take it) and nothing sent
  // there shows; watched again, the receiver listens anew.
  setKeysWatched(true);
  setKeysWatched(false);
  bool portFree = false;
  for (int i = 0; i < 200 && !portFree; ++i, Sleep(10)) {
    const SOCKET taker = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(channel->port);
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    portFree = bind(taker, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0;
    closesocket(taker);
  }
  check(portFree, "the port is closed while the keys are not watched");
  const std::uint8_t ctrlV = 1u << keychannel::Ctrl | 1u << keychannel::V;
  const keychannel::Report vDown{ctrlV, 1u << keychannel::V};
  sendDatagram(channel->port, keychannel::formatDatagram(channel->token, vDown));
  Sleep(50);
  setKeysWatched(true);
  Sleep(50);
  check(takeKeyEvents().empty(), "a press sent while the keys were not watched does not show");
  keychannel::Token wrong = channel->token;
  wrong[15] ^= 1;
  const std::string good = keychannel::formatDatagram(channel->token, vDown);
  const std::string marker =
      keychannel::formatDatagram(channel->token, {1u << keychannel::Ctrl, 1u << keychannel::T});
  // Takes the events of the next 5 s until one of `key` comes: 1 when one of V came before it, 0
  // when none did, -1 when `key` never came.
  const auto vBefore = [&](int key) {
    bool v = false;
    for (int i = 0; i < 1000; ++i) {
      waitWindowEvent(5);
      for (const KeyEvent& e : takeKeyEvents()) {
        if (e.virtualKey == key) return v ? 1 : 0;
        v |= e.virtualKey == VK_V;
      }
    }
    return -1;
  };
  // Each forged datagram is followed by a true one pressing T: once T shows, the forged one has
  // been through the receiver.
  const auto refused = [&](const std::string& forged) {
    sendDatagram(channel->port, forged);
    sendDatagram(channel->port, marker);
    return vBefore(VK_T) == 0;
  };
  check(refused(keychannel::formatDatagram(wrong, vDown)), "a datagram with another token changes nothing");
  check(refused(good.substr(0, good.size() - 1)), "a short datagram changes nothing");
  check(refused(good + '\0'), "a long datagram changes nothing");
  sendDatagram(channel->port, good);
  sendDatagram(channel->port, keychannel::formatDatagram(channel->token, {}));
  sendDatagram(channel->port, marker);
  check(vBefore(VK_T) == 1, "a datagram with the token from 127.0.0.1 is taken");
  std::printf("ready\n");
  std::fflush(stdout);

  const DWORD start = GetTickCount();
  while (GetFileAttributesA("keys.stop") == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 120000) {
    waitWindowEvent(100);
    for (const KeyEvent& e : takeKeyEvents()) {
      std::printf("key %c %s ctrl=%d alt=%d altgr=%d bridge=%d\n", static_cast<char>(e.virtualKey),
                  e.down ? "down" : "up", e.ctrl, e.leftAlt, e.rightAlt, e.fromBridge);
      std::fflush(stdout);
    }
  }
  setKeysWatched(false);
  return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "keys") == 0)
    return watchKeys(argv[2], argv[3], argc == 5 && std::strcmp(argv[4], "focused") == 0);
  if (argc > 1 && std::strcmp(argv[1], "crash") == 0) {
    setUnhandledExceptionHandler([](std::uint32_t code) {
      std::printf("code %d\n", static_cast<int>(code));
      std::fflush(stdout);
      endProcess(42);
    });
    volatile int* nowhere = nullptr;
    return *nowhere;
  }
  check(initToolkit(), "the toolkit starts");
  Hwnd window = openWindow(500, 50, 50, 700, 525, "Tandrel\x99 Check", false);
  check(window && windowOfNumber(500) == window && !isWindowVisible(window), "window 500 opens hidden");
  RECT client;
  GetClientRect(win32::toHwnd(window), &client);
  check(client.right == 700 && client.bottom == 525, "the client area is as asked");
  setWindowProc(window, [](Hwnd, unsigned message, WParam, LParam) -> std::optional<LResult> {
    seen.push_back(message);
    if (message == WM_QUERYENDSESSION) return 1;
    return std::nullopt;
  });
  checkClipboard(window);
  checkImages(window);
  checkEvents(window);
  checkControls(window);
  checkFiles();
  checkNotice();
  check(closeWindow(window) && windowOfNumber(500) == 0 && !closeWindow(window), "a closed window is forgotten");
  std::printf("%d passed, %d failed\n", passes, failures);
  return failures ? 1 : 0;
}
