// The state start-up leaves, for the benchmarks of captures: a fresh data folder on the simulated
// desktop, the database open and the main window in the viewer chain.
#pragma once

#include <memory>
#include <string>

#include "app/window_proc.h"
#include "core/program.h"
#include "ops/set_commands.h"
#include "platform/clipboard.h"
#include "platform/shell.h"
#include "platform/sim/desktop.h"
#include "platform/window.h"
#include "store/clip_database.h"
#include "ui/layout.h"

namespace bench {

inline const std::string companyFolder = "C:\\Users\\tester\\AppData\\Roaming\\Korvane\\";
inline const std::string dataFolder = companyFolder + "Tandrel\\";

// With `wholeWindow` the main window has all its controls (what a picture shows in); without, it
// is a bare window, so that only the watcher and the store are measured.
inline std::unique_ptr<core::Program> startWatching(bool wholeWindow, bool png = false) {
  sim::desktop().reset();
  auto p = std::make_unique<core::Program>();
  p->paths.companyFolder = companyFolder;
  p->paths.dataFolder = dataFolder;
  p->paths.databasePath = dataFolder + "tdclips.db";
  p->paths.setsFolder = dataFolder + "sets\\";
  p->settings.usePng = png ? 1 : 0;
  for (const std::string& folder : {companyFolder, dataFolder, p->paths.setsFolder}) platform::createFolder(folder);
  p->db.DbBindLibrary(core::linkedSqliteApi());
  if (wholeWindow) ui::buildMainWindow(*p);
  store::openClipDatabase(*p);
  ops::InitClipStore(*p);
  if (!wholeWindow) p->mainWindow = platform::openWindow(core::mainWindowNumber, 50, 50, 700, 525, "Tandrel", false);

  core::Program& program = *p;
  platform::setWindowProc(p->mainWindow, [&program](platform::Hwnd window, unsigned message, platform::WParam wParam,
                                                    platform::LParam lParam) {
    return app::mainWindowProc(program, window, message, wParam, lParam);
  });
  p->capture.ownWrite = 1;
  p->capture.nextViewer = platform::setClipboardViewer(p->mainWindow);
  p->capture.ownWrite = 0;
  return p;
}

}  // namespace bench
