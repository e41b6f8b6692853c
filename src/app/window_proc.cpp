// The cases of the main window's message callback, tested in a fixed order.
#include "app/window_proc.h"

#include "app/shutdown.h"
#include "capture/watcher.h"
#include "core/program.h"
#include "platform/gadgets.h"
#include "platform/system.h"
#include "platform/window.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/layout.h"

namespace app {

using namespace core;
using namespace ui;

std::optional<platform::LResult> mainWindowProc(core::Program& p, platform::Hwnd window, unsigned message,
                                                platform::WParam wParam, platform::LParam lParam) {
  if (message == platform::WM_DRAWCLIPBOARD) return capture::onDrawClipboard(p, wParam, lParam);
  if (message == platform::WM_CHANGECBCHAIN) return capture::onChangeClipboardChain(p, wParam, lParam);
  if (p.msgActivate != 0 && message == p.msgActivate) {
    if (platform::isIconic(window)) {
      platform::showWindow(window, platform::SW_MINIMIZE);
      platform::sleep(250);
      platform::showWindow(window, platform::SW_RESTORE);
    }
    platform::setForegroundWindow(window);
    platform::updateWindow(window);
    return 0;
  }
  if (p.msgTaskbarCreated != 0 && message == p.msgTaskbarCreated) {
    platform::setTrayIcon(window, platform::TrayImage::Waiting, "Tandrel\x99 Waiting");
    return 0;
  }
  if (message == platform::WM_QUERYENDSESSION) {
    p.cleanOnExit = 0;
    p.quitRequested = 1;
    app::shutDown(p);
  }
  if (message == platform::WM_ACTIVATEAPP && !p.shuttingDown) {
    if (wParam != 0 && p.capture.capturing == 1) {
      platform::setTrayIcon(window, platform::TrayImage::Waiting, "Tandrel\x99 Waiting");
      platform::deselectListRows(gadgetClipList);
      if (p.view.currentRow < 0) p.view.currentRow = 0;
      if (!p.view.rows.empty()) {
        platform::selectListRow(gadgetClipList, p.view.currentRow);
        platform::ensureListRowVisible(gadgetClipList, p.view.currentRow);
        refreshSourceMenuItem(p);
      }
    }
    if (p.capture.combineCount > 0) platform::setTrayIcon(window, platform::TrayImage::Combining, "Tandrel\x99 Waiting");
  }
  if (message == platform::WM_SIZE && !p.shuttingDown) {
    // A minimised window stays minimised; any other size moves the controls that follow the edges.
    constexpr platform::WParam sizeMinimized = 1;
    if (wParam == sizeMinimized && platform::isIconic(window)) platform::showWindow(window, platform::SW_MINIMIZE);
    else resizeMainWindow(p, static_cast<int>(lParam & 0xFFFF), static_cast<int>((lParam >> 16) & 0xFFFF));
    return 0;
  }
  return std::nullopt;
}

}  // namespace app
