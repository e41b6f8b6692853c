// What the Win32 files of the platform layer share among themselves: handle
// conversions, the event queue, window numbers, the label colours and the
// program's own icons. Nothing outside src/platform/win32/ includes this.
#pragma once

// The platform headers name their constants as Windows does (CF_TEXT, SW_HIDE, ...), so they
// must be read before <windows.h> turns those names into macros. Below this point the
// macros stand for the same values.
#include "platform/types.h"
#include "platform/window.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

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
// The 16x16 tray picture for an image; never null once the toolkit is up.
HICON trayIcon(TrayImage image);

}  // namespace platform::win32
