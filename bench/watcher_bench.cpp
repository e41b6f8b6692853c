// One clipboard change of another program, through the viewer chain and the watcher to a stored
// and listed clip, per operation.
#include <benchmark/benchmark.h>

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
#include "store/clip_store.h"
#include "store/sets.h"

namespace {

const std::string companyFolder = "C:\\Users\\tester\\AppData\\Roaming\\Korvane\\";
const std::string dataFolder = companyFolder + "Tandrel\\";

// The state start-up leaves: the database open and the main window in the viewer chain.
std::unique_ptr<core::Program> startWatching() {
  sim::desktop().reset();
  auto p = std::make_unique<core::Program>();
  p->paths.companyFolder = companyFolder;
  p->paths.dataFolder = dataFolder;
  p->paths.databasePath = dataFolder + "tdclips.db";
  p->paths.setsFolder = dataFolder + "sets\\";
  for (const std::string& folder : {companyFolder, dataFolder, p->paths.setsFolder}) platform::createFolder(folder);
  p->db.DbBindLibrary(core::linkedSqliteApi());
  store::openClipDatabase(*p);
  ops::InitClipStore(*p);

  core::Program& program = *p;
  p->mainWindow = platform::openWindow(core::mainWindowNumber, 50, 50, 700, 525, "Tandrel", false);
  platform::setWindowProc(p->mainWindow, [&program](platform::Hwnd window, unsigned message, platform::WParam wParam,
                                                    platform::LParam lParam) {
    return app::mainWindowProc(program, window, message, wParam, lParam);
  });
  p->capture.ownWrite = 1;
  p->capture.nextViewer = platform::setClipboardViewer(p->mainWindow);
  p->capture.ownWrite = 0;
  return p;
}

void BM_ClipboardChangeToStoredClip(benchmark::State& state) {
  auto p = startWatching();
  const std::string body(1000, 'x');
  std::int64_t n = 0;
  for (auto _ : state) sim::desktop().copyText(std::to_string(++n) + body);  // distinct, so never a repeat
  if (static_cast<std::int64_t>(p->view.rows.size()) != n) state.SkipWithError("a change was not stored");
  state.SetItemsProcessed(state.iterations());
  p->db.DbClose(p->databaseHandle);
  sim::desktop().tearDown();
}
BENCHMARK(BM_ClipboardChangeToStoredClip);

}  // namespace
