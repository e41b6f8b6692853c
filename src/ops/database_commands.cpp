// Backup and restore as the user meets them: the questions, the file choice, the messages and the
// window brought up to date. The file work is the store's (store/backup, store/recovery).
#include "ops/database_commands.h"

#include <string>

#include "core/log.h"
#include "core/program.h"
#include "core/text.h"
#include "ops/set_commands.h"
#include "ops/target_set.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "store/backup.h"
#include "store/recovery.h"
#include "ui/gadgets.h"
#include "ui/prompt.h"
#include "ui/status.h"

namespace ops {
namespace {

void tell(core::Program& p, const std::string& text) {
  platform::messageBox(p.mainWindow, text, core::appName, platform::MB_OK | platform::MB_ICONINFORMATION);
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool readable(const std::string& path) {
  const platform::Handle file = path.empty() ? 0 : platform::openReadFile(path);
  if (file == 0) return false;
  platform::closeFile(file);
  return true;
}

// The two kinds of file a restore takes.
struct RestoreKind {
  const char* title;
  const char* filter;
  const char* extension;
  bool cancelIsSilent;
  int waitBeforeCopyMs;
};

constexpr RestoreKind backupKind = {"Tandrel Database restore: - Please select database to restore.", "dbk file|*.dbk",
                                    ".dbk", false, 100};
constexpr RestoreKind maintenanceKind = {"Tandrel Database maintenance: - Please select prior database to restore.",
                                         "dbkm file|*.dbkm", ".dbkm", true, 50};

// The file to restore from; empty when the command ends here.
std::string chooseRestoreFile(core::Program& p, const RestoreKind& kind) {
  for (;;) {
    const auto chosen = platform::openFileDialog(p.mainWindow, kind.title, p.paths.dataFolder, kind.filter, false);
    const std::string path = chosen.empty() ? std::string() : chosen.front();
    if (kind.cancelIsSilent && core::trimBlanks(path).empty()) return "";
    if (!readable(path)) {
      tell(p, "Unable to Open the Database " + path);
      return "";
    }
    if (endsWith(path, kind.extension)) return path;
    tell(p, path + " is not a proper Database to restore. Please select another. ");
  }
}

int restoreFrom(core::Program& p, const RestoreKind& kind) {
  const std::string path = chooseRestoreFile(p, kind);
  if (path.empty()) return 0;
  platform::sleep(200);
  const store::ReplaceResult result = store::replaceDatabase(p, path, kind.waitBeforeCopyMs);
  switch (result.outcome) {
    case store::ReplaceResult::CloseFailed:
      tell(p, "Unable to Close the existing database " + result.reason + " Restore failed.");
      return 0;
    case store::ReplaceResult::LiveLost:
      core::writeLog(p, p.captureTime + " Restore from " + path + " failed and the database did not open again");
      tell(p, "Unable to properly reopen the database. " +
                  (result.leftAside ? "Your clips from before the restore are kept in " + result.asidePath +
                                          "; Tandrel puts them back when it starts again."
                                    : "Your clips from before the restore are in " + p.paths.databasePath + "."));
      if (p.hooks.shutDown) p.hooks.shutDown(p);
      p.quitRequested = 1;
      return 0;
    case store::ReplaceResult::CopyFailed:
      tell(p, "Unable to copy " + path + " over the database: " + result.reason + ".");
      break;
    case store::ReplaceResult::Invalid:
      tell(p, "The restored database does not appear to be a valid tdclips database.");
      break;
    case store::ReplaceResult::Replaced:
      ReloadClipStore(p);
      core::writeLog(p, p.captureTime + " Database restored from " + path);
      ui::showStatus(p, "Action Complete", ui::colour::blue, ui::colour::white);
      return 1;
  }
  // Backed out: the live database is open again.
  ReloadClipStore(p);
  tell(p, "The Restore was backed out.  " + path);
  return 0;
}

}  // namespace

void ReloadClipStore(core::Program& p) {
  // The target was a set of the file that is gone.
  if (p.view.targetSetOpen == 1) closeTargetSet(p);
  p.view.targetSet.clear();
  p.freshStart = 0;  // the welcome clip belongs to a first start only
  // The file may lack the active set: the main set is shown then, and the user is told.
  InitClipStore(p, false);
  ui::refreshStatus(p);
}

void BackupDatabase(core::Program& p) {
  char number = 0;
  while (number == 0) {
    const std::string answer =
        ui::promptText(p, 300, 30, core::appName,
                       "Your last backup was  " + p.settings.backupNumber + " on " + p.settings.lastBackup + "\r\n" +
                           "Please enter a tdclips backup number 1-9",
                       "", 0);
    if (answer.empty()) return;
    if (answer.size() == 1 && answer[0] >= '1' && answer[0] <= '9') {
      number = answer[0];
    } else if (platform::messageBox(p.mainWindow, "Invalid specification. Do you wish to re enter?", core::appName,
                                    platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION) != platform::IDYES) {
      return;
    }
  }
  // The date of the backup is today's, whenever the last clip came.
  p.captureTime = core::currentTimeText();
  if (!store::backUpDatabase(p, store::backupPath(p, number))) {
    tell(p, "Backup did NOT complete successfully");
    core::writeLog(p, p.captureTime + " Backup did NOT complete successfully");
    return;
  }
  tell(p, "Backup completed successfully");
  core::writeLog(p, p.captureTime + " Backup completed successfully");
  p.settings.backupMadeThisRun = true;
  p.settings.lastBackup = p.captureTime.substr(0, 10);
  p.settings.backupNumber = std::string(1, number);
}

int RestoreBackup(core::Program& p) { return restoreFrom(p, backupKind); }

int RestoreMaintenanceCopy(core::Program& p) { return restoreFrom(p, maintenanceKind); }

}  // namespace ops
