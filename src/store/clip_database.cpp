// Opening the clip database. The user's clips matter more than a clean start: a file the engine
// cannot read as a database is renamed aside, never deleted, and a locked or unreadable one is left
// alone with a message.
#include "store/clip_database.h"

#include <sqlite3.h>

#include <utility>
#include <vector>

#include "core/log.h"
#include "core/program.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace store {
namespace {

constexpr int convertedVersion = 1;

// Reads the schema once so that a file that is no database shows itself now, not at the first clip.
// The header alone (user_version) reads fine in a file whose schema is damaged.
int probe(core::Program& p, std::string& reason) {
  core::Recordset rs;
  const int ok = p.db.DbQuery("SELECT count(*) FROM sqlite_master", p.databaseHandle, rs);
  reason = p.db.DbLastMessage();  // the release below resets it
  p.db.RecordsetRelease(rs);
  if (ok != 0) return SQLITE_OK;
  if (reason.find("not a database") != std::string::npos) return SQLITE_NOTADB;
  if (reason.find("malformed") != std::string::npos) return SQLITE_CORRUPT;
  return SQLITE_ERROR;
}

std::string dateStamp() {
  const platform::LocalTime t = platform::localTime();
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

bool createNew(core::Program& p) {
  p.databaseHandle = p.db.DbCreate(p.paths.databasePath, 0);
  core::writeLog(p, p.captureTime + " Created Clipdb " + p.paths.dataFolder);
  if (p.databaseHandle == nullptr) {
    platform::messageBox(0, "Tandrel could not create its clip database " + p.paths.databasePath + ": " +
                                p.db.DbLastMessage(),
                         core::appName, platform::MB_OK | platform::MB_ICONERROR);
    return false;
  }
  p.db.DbExecute("PRAGMA user_version = " + std::to_string(convertedVersion), p.databaseHandle);
  return true;
}

void closeHandle(core::Program& p) {
  if (p.databaseHandle != nullptr) p.db.DbClose(p.databaseHandle);
  p.databaseHandle = nullptr;
}

}  // namespace

bool latin1FromUtf8(const std::string& text, std::string& bytes) {
  bytes.clear();
  bool multiByte = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size() &&
               (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      bytes += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F));
      multiByte = true;
      ++i;
    } else {
      return false;  // a code point above 0xFF, or not UTF-8 at all: the program's own bytes
    }
  }
  return multiByte;
}

void convertOlderText(core::Program& p) {
  core::Recordset rs;
  if (p.db.DbQuery("PRAGMA user_version", p.databaseHandle, rs) == 0) return;
  const bool done = p.db.RecordsetValueByIndex(0, rs) == 1 && rs.value != "0";
  p.db.RecordsetRelease(rs);
  if (done) return;

  struct Column {
    const char* table;
    const char* key;
    const char* column;
  };
  static const Column columns[] = {
      {"Sets", "setID", "setName"}, {"cTbl", "cKey", "cSet"}, {"cTbl", "cKey", "cNote"}, {"cTbl", "cKey", "cText"}};
  sqlite3* db = p.databaseHandle;
  bool ok = p.db.DbExecute("BEGIN", db) != 0;
  for (const Column& col : columns) {
    if (!ok) break;
    // The values to change are collected first and written after the scan: no table is updated
    // while a statement still steps over it.
    std::vector<std::pair<std::string, std::string>> changes;
    const std::string select = std::string("SELECT ") + col.key + ", " + col.column + " FROM " + col.table;
    sqlite3_stmt* read = p.db.DbPrepare(db, select);
    if (read == nullptr) {
      ok = false;
      break;
    }
    int step;
    while ((step = p.db.StmtStep(read)) == SQLITE_ROW) {
      std::string bytes;
      const std::string text(p.db.StmtColumnText(read, 1), static_cast<std::size_t>(p.db.StmtColumnBytes(read, 1)));
      if (latin1FromUtf8(text, bytes)) changes.emplace_back(p.db.StmtColumnText(read, 0), std::move(bytes));
    }
    ok = step == SQLITE_DONE;
    const std::string scanned = p.db.DbLastMessage();
    p.db.StmtFinalize(read);
    if (!ok) {
      p.db.restoreLastMessage(scanned);
      break;
    }
    const std::string update =
        std::string("UPDATE OR IGNORE ") + col.table + " SET " + col.column + " = ? WHERE " + col.key + " = ?";
    for (const auto& [key, bytes] : changes) {
      sqlite3_stmt* write = p.db.DbPrepare(db, update);
      ok = write != nullptr && p.db.StmtBindText(write, 1, &bytes) == 1 && p.db.StmtBindText(write, 2, &key) == 1 &&
           p.db.StmtStep(write) == SQLITE_DONE;
      const std::string written = p.db.DbLastMessage();
      if (write != nullptr) p.db.StmtFinalize(write);
      if (!ok) {
        p.db.restoreLastMessage(written);
        break;
      }
    }
  }
  if (ok) ok = p.db.DbExecute("PRAGMA user_version = " + std::to_string(convertedVersion), db) != 0;
  // A refused COMMIT (another program reading the file) leaves the transaction open; every clip of
  // this run would be inside it and lost at the end. Rolled back, the whole conversion runs again
  // at the next start.
  if (ok) ok = p.db.DbExecute("COMMIT", db) != 0;
  if (!ok) {
    const std::string reason = p.db.DbLastMessage();
    p.db.DbExecute("ROLLBACK", db);
    core::writeLog(p, p.captureTime + " Older text not converted, tried again at the next start: " + reason);
  }
}

bool openClipDatabase(core::Program& p) {
  const std::string& path = p.paths.databasePath;
  if (!platform::fileExists(path)) {
    core::writeLog(p, p.captureTime + " Opened ClipDatabase " + p.paths.dataFolder);
    return createNew(p);
  }
  p.databaseHandle = p.db.DbOpen(path);
  core::writeLog(p, p.captureTime + " Opened ClipDatabase " + p.paths.dataFolder);
  std::string reason = p.db.DbLastMessage();
  const int state = p.databaseHandle == nullptr ? SQLITE_CANTOPEN : probe(p, reason);
  if (state == SQLITE_OK) {
    convertOlderText(p);
    return true;
  }
  closeHandle(p);
  if (state == SQLITE_NOTADB || state == SQLITE_CORRUPT) {
    const std::string aside = path + ".bad-" + dateStamp();
    if (platform::renameFile(path, aside)) {
      core::writeLog(p, p.captureTime + " Damaged clip database renamed " + aside);
      platform::messageBox(0,
                           "The clip database " + path + " is damaged (" + reason + "). It has been renamed " + aside +
                               " and a new, empty clip database has been created.",
                           core::appName, platform::MB_OK | platform::MB_ICONWARNING);
      return createNew(p);
    }
  }
  core::writeLog(p, p.captureTime + " Clip database not opened " + path + " " + reason);
  platform::messageBox(0,
                       "Tandrel could not open its clip database " + path + " (" + reason +
                           "). The file has been left as it is. Please close any program that uses it and start "
                           "Tandrel again.",
                       core::appName, platform::MB_OK | platform::MB_ICONERROR);
  return false;
}

}  // namespace store
