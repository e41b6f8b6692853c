// What the Win32 files of the platform layer share among themselves: handle
// conversions, the event queue, window numbers, the label colours and the
// program's own icons. Nothing outside src/platform/win32/ includes this.
#pragma once

// The platform headers name their constants as Windows does (CF_TEXT, SW_HIDE, ...), so they
// must be read before <windows.h> turns those names into macros. Below this point the
// macros stand for the same values.
#include "platform/gadgets.h"
#include "platform/types.h"
#include "platform/window.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>

namespace platform::win32 {

inline HWND toHwnd(Hwnd window) { return reinterpret_cast<HWND>(window); }
inline Hwnd fromHwnd(HWND window) { return reinterpret_cast<Hwnd>(window); }
inline HANDLE toHandle(Handle handle) { return reinterpret_cast<HANDLE>(handle); }
inline Handle fromHandle(HANDLE handle) { return reinterpret_cast<Handle>(handle); }

// A function of a loaded library, typed; nullptr when the library lacks it.
template <class Function>
Function procAddress(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// UTF-8, the form the logic hands its texts in, as UTF-16 for the wide calls. A text that is not
// UTF-8 was handed over in the ANSI code page and is read as such, so no caller's text turns into
// replacement marks.
inline std::wstring toWide(const std::string& utf8) {
  std::wstring wide;
  bool ascii = true;
  for (char c : utf8)
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  // Most texts are ASCII: widened byte by byte, they need neither call.
  if (ascii) return std::wstring(utf8.begin(), utf8.end());
  if (utf8.size() > 0x7FFFFFFF) return wide;
  const int count = static_cast<int>(utf8.size());
  UINT page = CP_UTF8;
  int units = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, utf8.data(), count, nullptr, 0);
  if (units <= 0) units = MultiByteToWideChar(page = CP_ACP, 0, utf8.data(), count, nullptr, 0);
  if (units <= 0) return wide;
  wide.resize(static_cast<size_t>(units));
  wide.resize(static_cast<size_t>(std::max(0, MultiByteToWideChar(page, 0, utf8.data(), count, &wide[0], units))));
  return wide;
}

// UTF-16 as UTF-8; `length` -1 reads up to the terminating zero.
inline std::string toUtf8(const wchar_t* wide, int length = -1) {
  std::string utf8;
  if (!wide) return utf8;
  if (length < 0) length = static_cast<int>(wcslen(wide));
  if (length == 0) return utf8;
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return utf8;
  utf8.resize(static_cast<size_t>(bytes));
  utf8.resize(static_cast<size_t>(std::max(0, WideCharToMultiByte(CP_UTF8, 0, wide, length, &utf8[0], bytes, nullptr, nullptr))));
  return utf8;
}
inline std::string toUtf8(const std::wstring& wide) { return toUtf8(wide.c_str(), static_cast<int>(wide.size())); }

// The class of the program's top-level windows; registered by initToolkit.
constexpr const char* windowClassName = "TandrelWindow";
// The tray icon's notifications reach the owning window as this message.
constexpr UINT trayCallbackMessage = WM_APP + 1;

bool registerWindowClass();
// Queues an event for waitWindowEvent.
void pushEvent(const WindowEvent& event);
// The number given to openWindow for a top-level window, 0 for windows that are not ours.
int numberOfWindow(HWND window);
// Answers the brush for a coloured label and sets the DC colours, nullptr for any other control.
HBRUSH labelColours(HWND control, HDC dc);
// Drops the gadgets that lived in a window being destroyed.
void forgetGadgetsOf(HWND window);
// The control of a gadget number, nullptr when there is none; and the record of a new one.
HWND gadgetWindow(int gadget);
void rememberGadget(int gadget, HWND control);
// The gadget a control (or a control inside it, such as a list's edit box) belongs to; 0 for none.
int gadgetOfWindow(HWND control);
// Turns a key press meant for one of our windows into its menu command; true when it did.
bool translateKeyCommand(const MSG& msg);
// Creates a control of a gadget at a place (a tab page's control shows with its tab); nullptr on failure.
HWND createControl(const Place& place, int gadget, DWORD exStyle, const char* cls, const std::string& text,
                   DWORD style);
HFONT font(FontId id);
// The clip list's share of WM_NOTIFY; true when answered with `result`.
bool listMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
// The controls' share of a top-level window's messages (owner-drawn buttons, list and tab
// notifications, the minimum size). True when the message is answered with `result`.
bool controlMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
// A drag of list rows that the list view began: the window follows the mouse until the button is up.
void beginRowDrag(HWND window, int gadget);
// The drag's share of the window's messages; true when answered with `result`.
bool dragMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
// The rich-text editor's share of WM_NOTIFY (its link clicks); true when answered.
bool editorMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
// Gives the open find dialog its keyboard handling; true when the message was its.
bool findDialogMessage(MSG& msg);
// Shows and hides a control's tooltip from the mouse messages the control is sent.
void relayToTooltip(const MSG& msg);
// The 16x16 tray picture for an image; never null once the toolkit is up.
HICON trayIcon(TrayImage image);

// A file dialog's filter "Name|*.ext|..." as the dialog wants it: zero-separated pairs ended by
// two zeros.
std::string dialogFilter(const std::string& filter);

}  // namespace platform::win32
