// Plain types and Win32 constants shared by the platform layer and the logic.
// The logic never includes <windows.h>; it sees window handles, messages and
// clipboard formats only through these names.
#pragma once

#include <cstdint>

namespace platform {

using Hwnd = std::uintptr_t;     // a window; 0 is none
using Handle = std::uintptr_t;   // a mutex, file or library; 0 is none
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// Window messages the logic handles or sends.
constexpr unsigned WM_SIZE = 0x0005;
constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_QUERYENDSESSION = 0x0011;
constexpr unsigned WM_ACTIVATEAPP = 0x001C;
constexpr unsigned WM_GETMINMAXINFO = 0x0024;
constexpr unsigned WM_NOTIFY = 0x004E;
constexpr unsigned WM_RBUTTONDOWN = 0x0204;
constexpr unsigned WM_DRAWCLIPBOARD = 0x0308;
constexpr unsigned WM_CHANGECBCHAIN = 0x030D;

// Clipboard formats.
constexpr unsigned CF_TEXT = 1;
constexpr unsigned CF_DIB = 8;
constexpr unsigned CF_UNICODETEXT = 13;

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

// Shell special folders.
constexpr int CSIDL_STARTUP = 0x07;
constexpr int CSIDL_APPDATA = 0x1A;
constexpr int CSIDL_LOCAL_APPDATA = 0x1C;

// Message box styles and answers.
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_YESNO = 0x04;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Processor exception codes reported by the unhandled-exception filter.
constexpr std::uint32_t EXCEPTION_ACCESS_VIOLATION = 0xC0000005u;
constexpr std::uint32_t EXCEPTION_DATATYPE_MISALIGNMENT = 0x80000002u;
constexpr std::uint32_t EXCEPTION_ARRAY_BOUNDS_EXCEEDED = 0xC000008Cu;
constexpr std::uint32_t EXCEPTION_FLT_DIVIDE_BY_ZERO = 0xC000008Eu;
constexpr std::uint32_t EXCEPTION_INT_DIVIDE_BY_ZERO = 0xC0000094u;
constexpr std::uint32_t EXCEPTION_ILLEGAL_INSTRUCTION = 0xC000001Du;
constexpr std::uint32_t EXCEPTION_STACK_OVERFLOW = 0xC00000FDu;

constexpr std::uint32_t ERROR_ALREADY_EXISTS = 183;

// A colour as Windows keeps it: 0x00BBGGRR.
using Colour = std::uint32_t;
constexpr Colour rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

}  // namespace platform
