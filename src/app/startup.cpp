// Start-up in its fixed order, the single-instance rule, the migration of an older release's files
// and the main loop.
#include "app/startup.h"

#include <memory>

#include "app/dispatcher.h"
#include "app/error_report.h"
#include "app/shutdown.h"
#include "app/window_proc.h"
#include "capture/shortcut_keys.h"
#include "capture/watcher.h"
#include "core/log.h"
#include "core/program.h"
#include "core/settings.h"
#include "core/step_timer.h"
#include "ops/database_commands.h"
#include "ops/quick_paste.h"
#include "ops/set_commands.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/entry.h"
#include "platform/gadgets.h"
#include "platform/keyboard.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/window.h"
#include "store/clip_database.h"
#include "store/clip_store.h"
#include "store/quick_search.h"
#include "store/recovery.h"
#include "ui/gadgets.h"
#include "ui/help_page.h"
#include "ui/layout.h"
#include "ui/main_window.h"
#include "ui/menus.h"
#include "ui/options_dialog.h"
#include "ui/quick_paste_window.h"
#include "ui/status.h"

namespace app {

using namespace core;
namespace {

// A start-up step that stops the program ends it at once, without the shutdown; only the tray icon
// is taken away, or the shell would keep showing it after the program is gone.
[[noreturn]] void endStartUp(Program& p) {
  if (p.mainWindow != 0) {
    platform::removeTrayIcon(p.mainWindow);
    platform::closeWindow(p.mainWindow);
  }
  closeLog(p);
  platform::endProcess(0);
}

void setFolders(Program& p) {
  Paths& f = p.paths;
  f.programFolder = platform::programFolder();
  f.companyFolder = platform::specialFolder(platform::CSIDL_APPDATA) + "Korvane\\";
  f.dataFolder = f.companyFolder + appName + "\\";
  f.setsFolder = f.dataFolder + "sets\\";
  f.settingsPath = f.dataFolder + "tandrel.ini";
  f.logPath = f.dataFolder + "tandrel.log";
  f.databasePath = f.dataFolder + "tdclips.db";
}

bool makeDataFolders(Program& p) {
  platform::createFolder(p.paths.companyFolder);
  platform::createFolder(p.paths.dataFolder);
  return platform::folderExists(p.paths.dataFolder);
}

// Where are the settings: here, beside the program (an older release), in the copy Windows made of
// the program folder, or nowhere (a first start, which the user confirms).
void locateSettings(Program& p) {
  const Paths& f = p.paths;
  const std::string virtualStore =
      platform::specialFolder(platform::CSIDL_LOCAL_APPDATA) + "virtualstore\\Program Files\\Tandrel\\";
  if (platform::fileExists(f.settingsPath)) {
    writeLog(p, "ini exists at startup " + f.dataFolder);
    const auto bytes = readSettingsFile(p);
    const bool converted = bytes && settingValue(parseSettings(*bytes), "VistaConverted").value_or("") == "Y";
    writeLog(p, (converted ? "VistaConverted switch is set " : "Vista AppCoPgm does not exist ") + f.dataFolder);
  } else if (platform::fileExists(f.programFolder + "tandrel.ini")) {
    writeLog(p, "Vista old file location does exist " + f.programFolder + "tandrel.ini");
    migrateOldFiles(p, f.programFolder);
  } else if (platform::fileExists(virtualStore + "tandrel.ini")) {
    migrateOldFiles(p, virtualStore);
    writeLog(p, "Vista virtualstore exists ");
  } else {
    writeLog(p, "Vista virtualstore does not exist ");
    const int answer = platform::messageBox(
        0,
        "Tandrel has not located any previous Tandrel files on your computer. If this is correct, press 'Yes' to "
        "continue, otherwise press 'No' to end the program",
        appName, platform::MB_YESNO | platform::MB_ICONQUESTION);
    if (answer != platform::IDYES) endStartUp(p);
    makeDataFolders(p);
  }
}

void joinViewerChain(Program& p) {
  p.capture.ownWrite = 1;
  platform::setWindowProc(p.mainWindow, [&p](platform::Hwnd window, unsigned message, platform::WParam wParam,
                                             platform::LParam lParam) {
    return guarded(p, [&] { return app::mainWindowProc(p, window, message, wParam, lParam); });
  });
  p.capture.nextViewer = capture::joinChain(p);
  p.capture.ownWrite = 0;
}

// A restore that could not put the live database back left it aside, with a note naming it.
void putBackUnfinishedRestore(Program& p) {
  const store::RestoreRecovery r = store::recoverUnfinishedRestore(p);
  std::string text;
  if (r.outcome == store::RestoreRecovery::PutBack)
    text = "A restore of the clip database did not finish. Your clips from before it are back from " + r.asidePath +
           (r.badPath.empty() ? std::string(".")
                              : "; the file that stood in their place is kept as " + r.badPath + ".");
  else if (r.outcome == store::RestoreRecovery::NotPutBack)
    text = "A restore of the clip database did not finish, and your clips from before it could not be put back from " +
           r.asidePath + ". Please close any program that uses the file and start Tandrel again.";
  if (!text.empty()) platform::messageBox(0, text, appName, platform::MB_OK | platform::MB_ICONWARNING);
}

void resetStatus(Program& p) {
  p.view.statusMsg = p.settings.activeSetName;
  p.view.statusBackground = ui::colour::lightCyan;
  p.view.statusText = ui::colour::black;
}

}  // namespace

void migrateOldFiles(Program& p, const std::string& oldFolder) {
  if (!makeDataFolders(p)) return;
  const std::string from = oldFolder.empty() || oldFolder.back() == '\\' ? oldFolder : oldFolder + "\\";
  // The data folder's own database is never replaced by an older copy.
  if (platform::fileExists(p.paths.databasePath)) {
    writeLog(p, "Old files left in place, the data folder has a database " + p.paths.databasePath);
    return;
  }
  if (!platform::copyFile(from + "tdclips.db", p.paths.databasePath, false)) return;
  platform::deleteFile(from + "tdclips.db");
  // The old settings go only once they are here: a copy refused would otherwise lose them.
  if (platform::copyFile(from + "tandrel.ini", p.paths.settingsPath, true)) platform::deleteFile(from + "tandrel.ini");
  else writeLog(p, "Old settings left in place, they could not be copied " + from + "tandrel.ini");
  platform::deleteFile(from + "tandrel.log");
  platform::deleteFile(from + "tandrelLogo.jpg");
}

void mainLoopPass(Program& p) {
  // The keys are watched only while a shortcut can fire; either way the loop sleeps until a message
  // comes, and a key event posts one.
  const bool watching = capture::shortcutsCanFire(p);
  platform::setKeysWatched(watching);
  // Keys that came while a command or a message box held the loop (their wake-up went to that
  // box's loop) are served before the wait.
  if (watching) guarded(p, [&] { capture::serveShortcutKeys(p); });
  // The chord served here, or by the dispatcher in the pass before, opens the window before the wait.
  if (p.quickPasteAsk.asked) guarded(p, [&] { ops::serveQuickPasteAsk(p); });
  // A short step of the search index's upkeep, and then only a look for events, until it is done.
  if (p.quickIndex.workDue) {
    p.quickIndex.workDue = false;  // a step that failed is not tried at every pass
    p.quickIndex.commitsSinceWork = 0;
    guarded(p, [&] { p.quickIndex.workDue = store::QuickIndexWork(p); });
  }
  // The status goes back to the set's name before a wait that may last, as it did after every short one.
  resetStatus(p);
  const platform::WindowEvent event = app::nextEvent(p, p.quickIndex.workDue ? 0 : platform::waitForever);
  resetStatus(p);
  if (event.kind != 0 && event.window == mainWindowNumber) {
    guarded(p, [&] { app::handleMainEvent(p, event); });
    return;
  }
  if (event.kind != 0 && event.window == optionsWindowNumber) guarded(p, [&] { ui::handleOptionsEvent(p, event); });
  if (event.kind != 0 && event.window == ui::quickPasteWindowNumber)
    guarded(p, [&] { ops::handleQuickPasteEvent(p, event); });
  // The dispatcher serves the keys before the main window's events; every other pass serves here.
  if (watching) guarded(p, [&] { capture::serveShortcutKeys(p); });
  if (p.quickPasteAsk.asked) guarded(p, [&] { ops::serveQuickPasteAsk(p); });
}

void startUp(Program& p) {
  // 1-3: toolkit, texts, images, sound.
  platform::initToolkit();
  p.windowsVersion = platform::windowsVersion();
  p.captureTime = currentTimeText();
  p.capture.capturing = 1;
  p.doubleClickWait = platform::doubleClickTime() / 3 * 2;
  p.settings.captureSound = platform::initSound() != 0 ? 1 : 0;
  if (p.settings.captureSound != 0) platform::loadCaptureSound();

  // 4-5: folders and the log, the first barrier against a second instance.
  setFolders(p);
  if (!makeDataFolders(p)) {
    platform::messageBox(0, "Tandrel could not create its data folder " + p.paths.dataFolder +
                                ". Please check that the folder can be created and start Tandrel again.",
                         appName, platform::MB_OK | platform::MB_ICONERROR);
    endStartUp(p);
  }
  if (!openLog(p)) {
    platform::messageBox(0, "Tandrel was unable to start correctly. Another copy may be running. " + p.paths.dataFolder,
                         appName, platform::MB_OK | platform::MB_ICONERROR);
    endStartUp(p);
  }
  writeLog(p, appName + p.captureTime);
  writeLog(p, "Opened Logfile " + p.paths.dataFolder);

  // 6-8: settings, found where an older release may have left them.
  locateSettings(p);
  flushLog(p);
  platform::createFolder(p.paths.setsFolder);
  loadSettings(p);
  auto timer = std::make_unique<StepTimer>(p, "start");

  // 9-11: the window, hidden, with its tray icon and controls.
  if (!ui::buildMainWindow(p)) {
    platform::messageBox(0,
                         "Tandrel is unable to initialize window properly. Please try running again and report to "
                         "Tandrel support",
                         appName, platform::MB_OK | platform::MB_ICONERROR);
    endStartUp(p);
  }
  ui::chooseButtonWidths(p);
  ui::buildMainMenu(p);
  ui::setWindowKeys(p);
  markStep(p, "window");

  // 12: one instance per desktop, then the database.
  p.msgActivate = platform::registerWindowMessage("WM_ACTIVATEOLDINST_TANDREL");
  bool alreadyExists = false;
  p.mutex = platform::createMutex(mutexName, alreadyExists);
  if (alreadyExists) {
    platform::broadcastMessage(p.msgActivate, 0, 0, 2000);
    endStartUp(p);
  }
  p.paths.printFolder = platform::tempFolder() + "td_print\\";
  platform::createFolder(p.paths.printFolder);
  writeLog(p, appName + "Print Dir = " + p.paths.printFolder);
  if (p.db.DbBindLibrary(core::linkedSqliteApi()) == 0) {
    platform::messageBox(0, "Fatal error - Couldn't initialize database.dll. Please restart program.", productName,
                         platform::MB_OK | platform::MB_ICONERROR);
    endStartUp(p);
  }
  // What the store needs from above when the database under it must be reloaded or cannot go on.
  p.hooks.reloadClipStore = [](Program& program) { ops::ReloadClipStore(program); };
  p.hooks.shutDown = [](Program& program) { shutDown(program); };
  putBackUnfinishedRestore(p);
  if (!store::openClipDatabase(p)) endStartUp(p);
  markStep(p, "open database");
  const bool firstRun = p.firstRun == 1;  // the list clears it once the help page is shown
  ops::InitClipStore(p);
  markStep(p, "clip store");
  // A first run that ends without its shutdown (a crash, a power cut) must not ask the first-run
  // question again: the settings exist from here on.
  if (firstRun) saveSettings(p);
  p.msgTaskbarCreated = platform::registerWindowMessage("TaskbarCreated");

  // 13-16: the help page, the list, the status line, mouse, the Find/Replace message, the accessibility library.
  if (!p.view.rows.empty()) {
    ui::buildHelpPage(p);
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabHelp);
  }
  platform::setListColumnTitle(ui::gadgetClipList, 0, ui::listTitle(p) + " ");
  ui::showActiveSetStatus(p);
  ui::refreshStatus(p);
  ui::createTooltips(p);
  if (!platform::mousePresent()) writeLog(p, appName + p.captureTime + " Information: - No mouse Found");
  p.msgFindReplace = platform::registerWindowMessage("commdlg_FindReplace");
  p.oleacc = platform::loadLibrary("Oleacc.dll");
  markStep(p, "help, status and tooltips");

  // 17: shown, or only the tray icon.
  if (p.settings.startMinimized.empty()) {
    platform::showWindow(p.mainWindow, platform::SW_SHOWNORMAL);
    platform::setForegroundWindow(p.mainWindow);
  } else {
    platform::showWindow(p.mainWindow, platform::SW_MINIMIZE);
    platform::showWindow(p.mainWindow, platform::SW_HIDE);
  }
  markStep(p, "shown");
  timer.reset();

  // 18-20: error reports, the viewer chain, the main loop.
  p.quitRequested = 0;
  installErrorHandlers(p);
  joinViewerChain(p);
  while (p.quitRequested != 1) mainLoopPass(p);
  shutDown(p);
}

}  // namespace app

int tandrelMain() {
  static core::Program program;
  app::startUp(program);
}
