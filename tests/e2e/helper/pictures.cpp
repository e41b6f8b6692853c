// tdhelper's commands for pictures and printing:
//
//   makedib <file> <width> <height> [--bits 24|32|8] [--colours n] [--bad-index] [--shot]
//                                            write a bitmap of the test pattern (CF_DIB layout) to a file;
//                                            8 bits: a table of n colours (default 256), and with --bad-index
//                                            one pixel points past it; --shot: a screen-shot-like picture
//                                            (a noisy photo above lines of dark marks) instead of the pattern
//   checkdib <width> <height>                compare the clipboard's CF_DIB with the test pattern, exactly;
//                                            print "dib WxH bits N" and exit 0 when every pixel matches
//   patterncolour <width> <height> <x> <y>   print "r g b" of the pattern at that pixel
//   imagerect <title part>                   print "left top right bottom" (screen) of the window's picture box
//   spool <file> <folder>                    copy a file into a folder (a print command for text files)
//   sametext <title part> <class> <file>     exit 0 when the first such control's text (WM_GETTEXT) equals
//                                            the file's bytes; else print both
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// tdhelper.cpp
std::vector<HWND> childrenOf(HWND parent);
bool readWholeFile(const std::string& path, std::string& bytes);

namespace {

struct Rgb {
  int r, g, b;
};

// Smooth ramps with a flat block in the middle, so that a lossy copy still shows the middle's colour.
Rgb pattern(int width, int height, int x, int y) {
  const int dx = x - width / 2, dy = y - height / 2;
  if (std::abs(dx) <= width / 8 && std::abs(dy) <= height / 8) return {200, 40, 90};
  return {width > 1 ? x * 255 / (width - 1) : 0, height > 1 ? y * 255 / (height - 1) : 0, (x + y) * 7 & 0xFF};
}

void put32(std::string& b, size_t at, DWORD v) { std::memcpy(&b[at], &v, 4); }
void put16(std::string& b, size_t at, WORD v) { std::memcpy(&b[at], &v, 2); }

// The picture the benchmarks time: the upper half a noisy photo, the lower half lines of small
// dark marks on a light ground.
Rgb screenShot(int height, int x, int y, std::uint32_t& noise) {
  noise = noise * 1103515245u + 12345u;
  if (y < height / 2)
    return {(x + y) / 12 & 0xFF, (y / 3 + static_cast<int>(noise >> 29)) & 0xFF,
            (x / 8 + static_cast<int>(noise >> 28)) & 0xFF};
  if (y % 20 < 12 && x % 9 < 6 && (noise >> 30) != 0) return {0, 0, 0};
  return {236, 233, 216};
}

std::string makeDib(int width, int height, int bits, int colours, bool badIndex, bool shot) {
  std::uint32_t noise = 12345;
  const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  const size_t table = bits == 8 ? static_cast<size_t>(colours) * 4 : 0;
  std::string dib(40 + table + stride * height, '\0');
  put32(dib, 0, 40);
  put32(dib, 4, static_cast<DWORD>(width));
  put32(dib, 8, static_cast<DWORD>(height));
  put16(dib, 12, 1);
  put16(dib, 14, static_cast<WORD>(bits));
  put32(dib, 20, static_cast<DWORD>(stride * height));
  if (bits == 8) {
    put32(dib, 32, static_cast<DWORD>(colours));
    for (int i = 0; i < colours; ++i) put32(dib, 40 + i * 4, static_cast<DWORD>(i * 0x010203));
  }
  for (int y = 0; y < height; ++y) {
    char* row = &dib[40 + table + stride * static_cast<size_t>(height - 1 - y)];  // bottom row first
    for (int x = 0; x < width; ++x) {
      const Rgb c = shot ? screenShot(height, x, y, noise) : pattern(width, height, x, y);
      if (bits == 8) {
        row[x] = static_cast<char>((x + y) % colours);
      } else {
        char* pixel = row + x * (bits / 8);
        pixel[0] = static_cast<char>(c.b);
        pixel[1] = static_cast<char>(c.g);
        pixel[2] = static_cast<char>(c.r);
      }
    }
  }
  if (bits == 8 && badIndex) dib[40 + table + stride * static_cast<size_t>(height / 2) + width / 2] = static_cast<char>(colours);
  return dib;
}

int checkDib(int width, int height) {
  if (!OpenClipboard(nullptr)) return 2;
  HANDLE data = GetClipboardData(CF_DIB);
  std::string dib;
  if (data) {
    const void* locked = GlobalLock(data);
    if (locked) dib.assign(static_cast<const char*>(locked), GlobalSize(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  if (dib.size() < 40) {
    std::printf("no bitmap on the clipboard\n");
    return 1;
  }
  BITMAPINFOHEADER header;
  std::memcpy(&header, dib.data(), sizeof header);
  const int bits = header.biBitCount, w = header.biWidth, h = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  std::printf("dib %dx%d bits %d\n", w, h, bits);
  if (w != width || h != height || (bits != 24 && bits != 32) || header.biCompression != BI_RGB) return 1;
  const size_t stride = ((static_cast<size_t>(w) * bits + 31) / 32) * 4;
  const size_t start = header.biSize + header.biClrUsed * 4;
  if (dib.size() < start + stride * h) {
    std::printf("bitmap block too short\n");
    return 1;
  }
  int wrong = 0;
  for (int y = 0; y < h; ++y) {
    const int stored = header.biHeight < 0 ? y : h - 1 - y;
    const unsigned char* row = reinterpret_cast<const unsigned char*>(dib.data()) + start + stride * stored;
    for (int x = 0; x < w; ++x) {
      const unsigned char* pixel = row + x * (bits / 8);
      const Rgb c = pattern(width, height, x, y);
      if (pixel[0] != c.b || pixel[1] != c.g || pixel[2] != c.r) {
        if (wrong++ < 5)
          std::printf("pixel %d,%d is %d %d %d, not %d %d %d\n", x, y, pixel[2], pixel[1], pixel[0], c.r, c.g, c.b);
      }
    }
  }
  if (wrong > 0) std::printf("%d pixels differ\n", wrong);
  return wrong == 0 ? 0 : 1;
}


struct TitleSearch {
  std::string part;
  HWND found = nullptr;
};

BOOL CALLBACK findByTitle(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TitleSearch*>(data);
  char title[512] = "";
  GetWindowTextA(window, title, sizeof title);
  if (IsWindowVisible(window) && std::strstr(title, search->part.c_str())) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}


std::string classOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string shown(const std::string& text) {
  std::string out;
  char hex[8];
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out;
}

}  // namespace

// The first visible top-level window whose title holds `part` (the help view and popup commands use it too).
HWND topWindow(const std::string& part) {
  TitleSearch search{part, nullptr};
  EnumWindows(findByTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Answers the exit code of a command of this file, -1 for a command that is not one of them.
int pictureCommand(const std::string& command, int argc, char** argv) {
  if (command == "makedib" && argc >= 5) {
    int bits = 24, colours = 256;
    bool badIndex = false, shot = false;
    for (int i = 5; i < argc; ++i) {
      if (std::strcmp(argv[i], "--bits") == 0 && i + 1 < argc) bits = std::atoi(argv[++i]);
      else if (std::strcmp(argv[i], "--colours") == 0 && i + 1 < argc) colours = std::atoi(argv[++i]);
      else if (std::strcmp(argv[i], "--bad-index") == 0) badIndex = true;
      else if (std::strcmp(argv[i], "--shot") == 0) shot = true;
    }
    const int width = std::atoi(argv[3]), height = std::atoi(argv[4]);
    if (width <= 0 || height <= 0 || (bits != 8 && bits != 24 && bits != 32) || colours < 1 || colours > 255 + !badIndex)
      return 3;
    const std::string dib = makeDib(width, height, bits, colours, badIndex, shot);
    FILE* file = std::fopen(argv[2], "wb");
    if (!file) return 2;
    const bool written = std::fwrite(dib.data(), 1, dib.size(), file) == dib.size();
    std::fclose(file);
    std::printf("bitmap %dx%d, %d bits, %u bytes\n", width, height, bits, static_cast<unsigned>(dib.size()));
    return written ? 0 : 2;
  }
  if (command == "checkdib" && argc >= 4) return checkDib(std::atoi(argv[2]), std::atoi(argv[3]));
  if (command == "patterncolour" && argc >= 6) {
    const Rgb c = pattern(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
    std::printf("%d %d %d\n", c.r, c.g, c.b);
    return 0;
  }
  if (command == "imagerect" && argc >= 3) {
    HWND window = topWindow(argv[2]);
    if (!window) return 1;
    for (HWND child : childrenOf(window)) {
      if (lstrcmpiA(classOf(child).c_str(), "Static") != 0) continue;
      if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) continue;
      RECT inside;
      GetClientRect(child, &inside);
      MapWindowPoints(child, nullptr, reinterpret_cast<POINT*>(&inside), 2);
      std::printf("%ld %ld %ld %ld\n", inside.left, inside.top, inside.right, inside.bottom);
      return 0;
    }
    return 1;
  }
  if (command == "spool" && argc >= 4) {
    std::string from = argv[2];
    const size_t slash = from.find_last_of("\\/");
    std::string folder = argv[3];
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string to = folder + (slash == std::string::npos ? from : from.substr(slash + 1));
    return CopyFileA(from.c_str(), to.c_str(), FALSE) ? 0 : 2;
  }
  if (command == "sametext" && argc >= 5) {
    HWND window = topWindow(argv[2]);
    std::string expected;
    if (!window || !readWholeFile(argv[4], expected)) return 1;
    for (HWND child : childrenOf(window)) {
      if (lstrcmpiA(classOf(child).c_str(), argv[3]) != 0) continue;
      DWORD_PTR length = 0;
      SendMessageTimeoutA(child, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
      std::string text(static_cast<size_t>(length) + 1, '\0');
      DWORD_PTR got = 0;
      SendMessageTimeoutA(child, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000,
                          &got);
      text.resize(std::min<size_t>(static_cast<size_t>(got), text.size() - 1));
      if (text == expected) return 0;
      std::printf("control: %s\nfile:    %s\n", shown(text).c_str(), shown(expected).c_str());
      return 1;
    }
    return 1;
  }
  return -1;
}
