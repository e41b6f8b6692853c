// Pictures over GDI32 and COMDLG32: the picture box shows a bitmap of our own pixels, the
// standard save-file dialog, and the test for the Windows 95 family.
#include "platform/dialogs.h"
#include "platform/gadgets.h"

#include "platform/win32/win32.h"

#include <commdlg.h>

#include <cstring>
#include <vector>

namespace platform {
using namespace win32;

bool showImageView(int gadget, int width, int height, const std::uint8_t* pixels) {
  HWND view = gadgetWindow(gadget);
  if (!view || width <= 0 || height <= 0 || pixels == nullptr) return false;
  // 24 bits, not 32: a static control copies a bitmap that has alpha and leaks the copy.
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first, as our pixels are
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    clearImageView(gadget);
    return false;
  }
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
  auto* target = static_cast<std::uint8_t*>(bits);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* from = pixels + static_cast<std::size_t>(y) * width * 4;
    std::uint8_t* to = target + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < width; ++x, from += 4, to += 3) std::memcpy(to, from, 3);
  }
  GdiFlush();
  if (HGDIOBJ old = reinterpret_cast<HGDIOBJ>(
          SendMessageA(view, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap))))
    DeleteObject(old);
  InvalidateRect(view, nullptr, TRUE);
  return true;
}

Extent imageViewSize(int gadget) {
  HWND view = gadgetWindow(gadget);
  RECT inside;
  if (!view || !GetClientRect(view, &inside)) return {};
  return {static_cast<int>(inside.right - inside.left), static_cast<int>(inside.bottom - inside.top)};
}

std::optional<SaveFileAnswer> saveFileDialog(Hwnd owner, const std::string& title, const std::string& startName,
                                             const std::string& filter) {
  const std::string pairs = win32::dialogFilter(filter);
  std::vector<char> name(32768, '\0');
  startName.copy(name.data(), name.size() - 1);
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = toHwnd(owner);
  dialog.lpstrFilter = pairs.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrTitle = title.c_str();
  // The program asks about an existing file itself; the current folder stays where it was.
  dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameA(&dialog)) return std::nullopt;
  SaveFileAnswer answer;
  answer.path = name.data();
  answer.filterIndex = static_cast<int>(dialog.nFilterIndex);
  return answer;
}

bool runsOnWindows9x() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

}  // namespace platform
