// The program's own pictures for the tray and the window class: a small
// clipboard drawn with GDI, one look per capture state, so the program ships no
// image files.
#include "platform/win32/win32.h"

namespace platform::win32 {

namespace {

constexpr int size = 16;
constexpr COLORREF transparent = RGB(255, 0, 255);

void fillRect(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  RECT r = {left, top, right, bottom};
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int width) {
  HPEN pen = CreatePen(PS_SOLID, width, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
}

// The board with its sheet of paper; the look of each state is painted over it.
void drawClipboard(HDC dc, COLORREF board, COLORREF lines) {
  fillRect(dc, 2, 1, 14, 16, board);
  fillRect(dc, 4, 4, 12, 14, RGB(255, 255, 255));
  fillRect(dc, 6, 0, 10, 3, RGB(120, 120, 120));
  for (int y = 6; y <= 12; y += 2) fillRect(dc, 5, y, 11, y + 1, lines);
}

void drawState(HDC dc, TrayImage image) {
  fillRect(dc, 0, 0, size, size, transparent);
  switch (image) {
    case TrayImage::Waiting:
      drawClipboard(dc, RGB(160, 110, 50), RGB(0, 0, 200));
      break;
    case TrayImage::NewClip:
      drawClipboard(dc, RGB(160, 110, 50), RGB(0, 0, 200));
      fillRect(dc, 9, 9, 16, 16, RGB(0, 170, 0));
      line(dc, 10, 12, 15, 12, RGB(255, 255, 255), 1);
      line(dc, 12, 10, 12, 15, RGB(255, 255, 255), 1);
      break;
    case TrayImage::NotActive:
      drawClipboard(dc, RGB(128, 128, 128), RGB(170, 170, 170));
      line(dc, 1, 15, 15, 1, RGB(220, 0, 0), 2);
      break;
    case TrayImage::Combining:
      fillRect(dc, 0, 3, 9, 16, RGB(240, 150, 0));
      fillRect(dc, 1, 5, 8, 15, RGB(255, 255, 255));
      drawClipboard(dc, RGB(240, 150, 0), RGB(0, 0, 200));
      break;
  }
}

HICON makeIcon(TrayImage image) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top-down, so row y is bits[y * size]
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!colour) return nullptr;

  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, colour);
  drawState(dc, image);
  GdiFlush();
  SelectObject(dc, old);
  DeleteDC(dc);

  // The key colour becomes the mask: 1 bits show the screen through, and the colour there is black.
  BYTE maskBits[size * 2] = {};
  auto* pixels = static_cast<DWORD*>(bits);
  const DWORD key = 0x00FF00FF;  // RGB(255, 0, 255) as the DIB stores it
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      DWORD& pixel = pixels[y * size + x];
      if ((pixel & 0x00FFFFFF) == key) {
        pixel = 0;
        maskBits[y * 2 + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
      }
    }
  HBITMAP mask = CreateBitmap(size, size, 1, 1, maskBits);

  ICONINFO iconInfo = {TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&iconInfo);
  DeleteObject(mask);
  DeleteObject(colour);
  return icon;
}

}  // namespace

HICON trayIcon(TrayImage image) {
  static HICON icons[5] = {};
  const int index = static_cast<int>(image);
  if (index < 1 || index > 4) return nullptr;
  if (!icons[index]) icons[index] = makeIcon(image);
  return icons[index] ? icons[index] : LoadIcon(nullptr, IDI_APPLICATION);
}

}  // namespace platform::win32
