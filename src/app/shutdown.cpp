// The shutdown order and the notice shown while the database is compacted at exit.
#include "app/shutdown.h"

#include <thread>

#include "capture/watcher.h"
#include "core/log.h"
#include "core/program.h"
#include "core/settings.h"
#include "core/step_timer.h"
#include "platform/clipboard.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/window.h"
#include "store/clip_store.h"
#include "ui/gadgets.h"

namespace app {

using namespace core;
namespace {

// Runs on its own thread; the main thread sets the stop flag once the compaction is done.
void shutdownNotice(std::atomic<int>& stop) {
  const platform::Rect area = platform::workArea();
  platform::NoticeLayout layout;
  layout.title = appName;
  layout.label = appName + "\r\nShutting Down";
  layout.width = 122;
  layout.height = 60;
  layout.x = area.right - 132;
  layout.y = area.bottom - 60;
  layout.labelText = ui::colour::blue;
  layout.background = ui::colour::lightYellow;
  layout.barColour = ui::colour::lightCyan;
  const platform::Hwnd notice = platform::openNotice(layout);
  if (notice == 0) return;
  platform::setNoticeLabel(notice, appName + "\r\nWriting Data Base");
  while (stop.load() == 0) {
    for (int percent = 1; percent <= 100 && stop.load() == 0; ++percent) {
      platform::setNoticeProgress(notice, percent);
      platform::sleep(15);
    }
  }
  platform::closeNotice(notice);
}

}  // namespace

void shutDown(Program& p) {
  // An error raised while shutting down must not start the shutdown again.
  if (p.shuttingDown) platform::endProcess(1);
  p.shuttingDown = true;
  {
    // Written before the last log line; what follows it is the system's own end of the process.
    StepTimer timer(p, "shutdown");
    capture::storeReadChangesAtExit(p);
    markStep(p, "changes read");

    if (p.mainWindow != 0) platform::changeClipboardChain(p.mainWindow, p.capture.nextViewer);
    markStep(p, "viewer chain");
    saveSettings(p);
    markStep(p, "settings");

    platform::deleteFile(p.paths.dataFolder + "Tandrel_.htm");
    if (!p.paths.printFolder.empty()) platform::deleteFilesIn(p.paths.printFolder);
    platform::deleteFolderTree(p.paths.setsFolder);
    markStep(p, "scratch files");

    if (p.oleacc != 0) platform::freeLibrary(p.oleacc);
    p.oleacc = 0;
    if (p.mutex != 0) platform::closeMutex(p.mutex);
    p.mutex = 0;
    if (p.mainWindow != 0) {
      platform::removeTrayIcon(p.mainWindow);
      markStep(p, "tray icon");
      platform::closeWindow(p.mainWindow);
    }
    markStep(p, "window");

    if (p.databaseHandle != nullptr) {
      store::EmptyTrash(p);
      markStep(p, "trash");
      if (p.cleanOnExit == 1) {
        p.noticeStop = 0;
        std::thread notice(shutdownNotice, std::ref(p.noticeStop));
        store::VacuumClips(p);
        p.noticeStop = 1;
        notice.join();
        markStep(p, "compaction");
      }
      p.db.DbClose(p.databaseHandle);
      p.databaseHandle = nullptr;
      markStep(p, "database close");
    }
  }

  writeLog(p, p.captureTime + "Program ended ");
  closeLog(p);
  platform::endProcess(0);
}

}  // namespace app
