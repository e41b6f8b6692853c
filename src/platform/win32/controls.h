// What the control files share: the fonts, where a Place lands on the window,
// and the handlers the window procedure's notifications are routed to.
#pragma once

#include "platform/gadgets.h"
#include "platform/win32/win32.h"

#include <commctrl.h>

namespace platform::win32 {

// The program's fonts, made on first use and kept for the life of the process.
HFONT fontOf(FontId font);

// Creates a control at a Place (inside the page of a panel's tab when it names one), records it under
// its gadget number and answers it; nullptr on failure. A tab page's control is shown only while its
// tab is.
HWND createControl(const Place& place, int gadget, const char* windowClass, const char* text, DWORD style,
                   DWORD exStyle);

// WM_DRAWITEM for our owner-drawn buttons; false when the item is not one of ours.
bool drawButton(const DRAWITEMSTRUCT& item);
// Notifications of our list views; true when answered (answer set), false to let the logic see them too.
bool listNotify(int window, const NMHDR& header, LRESULT& answer);
// TCN_SELCHANGE of our panels.
void panelNotify(int window, const NMHDR& header);

}  // namespace platform::win32
