// Replacing the clip database and reopening it. Every file step here is synchronous and shows
// nothing, so no window message (and no capture) can reach the database while it is closed or
// while a copy that has not been checked is open; the callers tell the user afterwards.
#include "store/recovery.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/log.h"
#include "core/program.h"
#include "core/text.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "store/clip_database.h"
#include "store/clip_store.h"

namespace store {
namespace {

const std::string journal = "-journal";

void tell(core::Program& p, const std::string& text) {
  platform::messageBox(p.mainWindow, text, core::appName, platform::MB_OK | platform::MB_ICONWARNING);
}

std::string dateStamp() {
  const platform::LocalTime t = platform::localTime();
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

// A name that no file there has yet (two replacements may come in one second).
std::string unusedPath(const std::string& base) {
  std::string path = base;
  for (int n = 2; platform::fileExists(path) || platform::fileExists(path + journal); ++n)
    path = base + "-" + std::to_string(n);
  return path;
}

std::string newAsidePath(const core::Program& p) { return unusedPath(p.paths.dataFolder + asidePrefix + dateStamp()); }

std::string markerPath(const core::Program& p) { return p.paths.dataFolder + restoreMarkerName; }

// The note names the copy by its file name: the data folder is where it is looked for. Written
// through to the disk, since it is what a start after a power cut has to go by.
bool writeMarker(const core::Program& p, const std::string& aside) {
  const std::string marker = markerPath(p);
  const platform::Handle file = platform::createSharedReadFile(marker);
  if (file == 0) return false;
  const bool written = platform::writeToFile(file, aside.substr(p.paths.dataFolder.size()) + "\r\n") &&
                       platform::flushFile(file);
  platform::closeFile(file);
  if (!written) platform::deleteFile(marker);
  return written;
}

// A file and the journal the engine may have left beside it move together, so that the journal is
// never rolled back into another file.
bool moveWithJournal(const std::string& from, const std::string& to) {
  if (!platform::renameFile(from, to)) return false;
  if (platform::fileExists(from + journal)) platform::renameFile(from + journal, to + journal);
  return true;
}

bool sameSize(const std::string& a, const std::string& b) {
  const auto sizeA = platform::fileSize(a), sizeB = platform::fileSize(b);
  return sizeA && sizeB && *sizeA == *sizeB;
}

// Moves the copy set aside to the database's place, where nothing stands any more; false when it
// did not arrive there.
bool moveBack(const std::string& aside, const std::string& path) {
  if (moveWithJournal(aside, path)) return true;
  // A rename refused (a scanner holding the copy, say) still leaves a copy to be made.
  if (!platform::copyFile(aside, path, false) || !sameSize(aside, path)) return false;
  platform::deleteFile(aside);
  return true;
}

enum class PutBack { Open, Unopenable, Aside };
// Puts the live file back in place and opens it.
PutBack putLiveBack(core::Program& p, const std::string& aside) {
  const std::string& path = p.paths.databasePath;
  platform::deleteFile(path + journal);
  if (platform::fileExists(path) && !platform::deleteFile(path)) return PutBack::Aside;
  if (!moveBack(aside, path)) return PutBack::Aside;
  p.databaseHandle = p.db.DbOpen(path);
  if (p.databaseHandle == nullptr) return PutBack::Unopenable;
  std::string reason;
  return checkSets(p, p.databaseHandle, reason) == SetsCheck::Valid ? PutBack::Open : PutBack::Unopenable;
}

ReplaceResult backOut(core::Program& p, ReplaceResult result) {
  const PutBack back = putLiveBack(p, result.asidePath);
  // Only a live file still aside needs the note: the next start puts it back.
  if (back != PutBack::Aside) platform::deleteFile(markerPath(p));
  if (back != PutBack::Open) {
    result.reason = p.db.DbLastMessage();
    result.outcome = ReplaceResult::LiveLost;
    result.leftAside = back == PutBack::Aside;
    core::writeLog(p, p.captureTime + " Restore could not put the database back from " + result.asidePath +
                         (result.leftAside ? ", it stays there until the next start" : ", it does not open"));
    return result;
  }
  core::writeLog(p, p.captureTime + " Restore backed out, the database is back from " + result.asidePath);
  return result;
}

void endProgram(core::Program& p) {
  if (p.databaseHandle != nullptr) p.db.DbClose(p.databaseHandle);
  p.databaseHandle = nullptr;
  p.reopeningDatabase = false;
  if (p.hooks.shutDown) p.hooks.shutDown(p);
  p.quitRequested = 1;
}

}  // namespace

SetsCheck checkSets(core::Program& p, sqlite3* db, std::string& reason) {
  core::Recordset rs;
  if (p.db.DbQuery("select * from sets", db, rs) == 0) {
    reason = p.db.DbLastMessage();
    return SetsCheck::QueryFailed;
  }
  SetsCheck state = SetsCheck::Valid;
  for (int row = 1; row <= rs.rowCount && state == SetsCheck::Valid; ++row) {
    if (p.db.RecordsetValueByName("setName", rs) == 0) state = SetsCheck::NoSetName;
    else if (p.db.RecordsetValueByName("setID", rs) == 0) state = SetsCheck::NoSetId;
    reason = p.db.DbLastMessage();
    p.db.RecordsetNext(rs);
  }
  p.db.RecordsetRelease(rs);
  return state;
}

ReplaceResult replaceDatabase(core::Program& p, const std::string& chosen, int waitMs) {
  ReplaceResult result;
  const std::string& path = p.paths.databasePath;
  // Without the note a replacement cut short would leave the clips where no start looks for them;
  // a note still there is an earlier one's, whose copy the next start has to put back first.
  result.asidePath = newAsidePath(p);
  const bool earlier = platform::fileExists(markerPath(p));
  if (earlier || !writeMarker(p, result.asidePath)) {
    result.outcome = ReplaceResult::CopyFailed;
    result.reason = earlier ? "an earlier restore is not finished (" + markerPath(p) + ")"
                            : "the note " + markerPath(p) + " could not be written";
    return result;
  }
  p.db.StmtFinalizeAll(p.databaseHandle);
  if (p.databaseHandle != nullptr && p.db.DbClose(p.databaseHandle) == 0) {
    result.reason = p.db.DbLastMessage();
    platform::deleteFile(markerPath(p));
    return result;
  }
  p.databaseHandle = nullptr;
  platform::sleep(waitMs);

  if (!moveWithJournal(path, result.asidePath)) {
    result.outcome = ReplaceResult::CopyFailed;
    result.reason = "the database could not be set aside";
    platform::deleteFile(markerPath(p));
    p.databaseHandle = p.db.DbOpen(path);
    if (p.databaseHandle == nullptr) result.outcome = ReplaceResult::LiveLost;
    return result;
  }
  if (!platform::copyFile(chosen, path, false) || !sameSize(chosen, path)) {
    result.outcome = ReplaceResult::CopyFailed;
    result.reason = "the copy did not arrive whole";
    return backOut(p, result);
  }
  // A copy keeps the attributes of its source: a backup on a CD or marked read-only would
  // otherwise refuse every write.
  platform::clearReadOnly(path);

  sqlite3* restored = p.db.DbOpen(path);
  const SetsCheck check = restored == nullptr ? SetsCheck::QueryFailed : checkSets(p, restored, result.reason);
  if (restored == nullptr) result.reason = p.db.DbLastMessage();
  if (check != SetsCheck::Valid) {
    if (restored != nullptr) p.db.DbClose(restored);
    result.outcome = ReplaceResult::Invalid;
    return backOut(p, result);
  }
  p.databaseHandle = restored;
  platform::deleteFile(markerPath(p));
  CreateClipSchema(p);
  convertOlderText(p);
  pruneAsideCopies(p);
  result.outcome = ReplaceResult::Replaced;
  core::writeLog(p, p.captureTime + " Database replaced by " + chosen + ", the one before is " + result.asidePath);
  return result;
}

void pruneAsideCopies(core::Program& p) {
  std::vector<std::string> copies;
  for (const std::string& name : platform::filesIn(p.paths.dataFolder)) {
    if (name.compare(0, asidePrefix.size(), asidePrefix) != 0) continue;
    if (name.size() >= journal.size() && name.compare(name.size() - journal.size(), journal.size(), journal) == 0)
      continue;
    copies.push_back(name);
  }
  // The stamp sorts by time; a second copy of the same second carries "-2" and sorts after it.
  std::sort(copies.begin(), copies.end(), [](const std::string& a, const std::string& b) { return a > b; });
  for (std::size_t i = keptAsideCopies; i < copies.size(); ++i) {
    const std::string old = p.paths.dataFolder + copies[i];
    platform::deleteFile(old);
    platform::deleteFile(old + journal);
  }
}

RestoreRecovery recoverUnfinishedRestore(core::Program& p) {
  RestoreRecovery r;
  const std::string marker = markerPath(p);
  if (!platform::fileExists(marker)) return r;
  const auto note = platform::readFile(marker, 4096);
  const std::string name = note ? core::trimBlanks(note->substr(0, note->find_first_of("\r\n"))) : "";
  r.asidePath = p.paths.dataFolder + name;
  // Only a copy of ours in the data folder is ever moved: a damaged note moves nothing.
  const bool ours =
      name.compare(0, asidePrefix.size(), asidePrefix) == 0 && name.find_first_of("\\/:") == std::string::npos;
  if (!ours || !platform::fileExists(r.asidePath)) {
    platform::deleteFile(marker);
    r.outcome = RestoreRecovery::NoteRemoved;
    core::writeLog(p, p.captureTime + " Restore note removed, the copy it names is not there: " + r.asidePath);
    return r;
  }

  r.outcome = RestoreRecovery::NotPutBack;
  const std::string& path = p.paths.databasePath;
  if (platform::fileExists(path) || platform::fileExists(path + journal)) {
    r.badPath = unusedPath(path + ".bad-" + dateStamp());
    // A journal without its file is moved too: it must never be rolled back into the copy.
    const bool moved = platform::fileExists(path) ? moveWithJournal(path, r.badPath)
                                                   : platform::renameFile(path + journal, r.badPath + journal);
    if (!moved) {
      core::writeLog(p, p.captureTime + " Restore note kept: " + path + " could not be moved aside to put back " +
                           r.asidePath);
      return r;
    }
  }
  if (!moveBack(r.asidePath, path)) {
    core::writeLog(p, p.captureTime + " Restore note kept: " + r.asidePath + " could not be put back as " + path);
    return r;
  }
  platform::deleteFile(marker);
  r.outcome = RestoreRecovery::PutBack;
  core::writeLog(p, p.captureTime + " Unfinished restore: the database is back from " + r.asidePath +
                       (r.badPath.empty() ? "" : ", what stood in its place is " + r.badPath));
  return r;
}

void ReopenDatabase(core::Program& p) {
  // The message boxes below let window messages in; a capture failing meanwhile must not start a
  // second reopening under this one.
  if (p.reopeningDatabase) return;
  p.reopeningDatabase = true;
  tell(p, "Unable to Update the database.  Restarting Tandrel Database.");
  if (p.databaseHandle != nullptr && p.db.StmtFinalizeAll(p.databaseHandle) == 0)
    core::writeLog(p, p.captureTime + " Database restart - Sqlite finalize failed " + p.db.DbLastMessage());
  platform::sleep(50);
  if (p.databaseHandle != nullptr && p.db.DbClose(p.databaseHandle) == 0) {
    tell(p, "Unable to Close the existing database " + p.db.DbLastMessage() + " Tandrel will shutdown.");
    endProgram(p);
    return;
  }
  p.databaseHandle = p.db.DbOpen(p.paths.databasePath);
  std::string reason;
  const SetsCheck check = p.databaseHandle == nullptr ? SetsCheck::QueryFailed : checkSets(p, p.databaseHandle, reason);
  if (check != SetsCheck::Valid) {
    if (check == SetsCheck::QueryFailed) tell(p, "Unable to properly reopen the database.");
    else if (check == SetsCheck::NoSetName) tell(p, "Unable to properly open tdclips database. Shutting down.");
    else tell(p, "Unable to properly open database. Shutting down.");
    endProgram(p);
    return;
  }
  if (p.hooks.reloadClipStore) p.hooks.reloadClipStore(p);
  tell(p, "Database reopened successfully. Tandrel Active.");
  p.reopeningDatabase = false;
}

}  // namespace store
