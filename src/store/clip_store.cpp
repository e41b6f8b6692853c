// Clip records. Inserts bind every value; a value placed in an SQL text has its quotes doubled, so
// no text, note, key or set name can break a statement or change what it touches.
#include "store/clip_store.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/clip_text.h"
#include "core/log.h"
#include "core/program.h"
#include "core/raise_window.h"
#include "core/set_names.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/text_encoding.h"
#include "platform/window.h"
#include "store/recovery.h"
#include "store/sets.h"

namespace store {
namespace {

constexpr int maxWriteAttempts = 3;
constexpr int readRetryMs = 5;

const char* const createClipTable =
    "Create Table IF NOT EXISTS cTbl (cKey INTEGER PRIMARY KEY AUTOINCREMENT, cDate text, cSet text, cRTFsw text, "
    "cHTMLsw text, cImageSW text, cSource Text, cNote text, cText text, cRTF Blob, cHTML text, cImage Blob)";
const char* const createSetTable = "Create Table IF NOT EXISTS Sets (setName Text Unique, setID INTEGER PRIMARY KEY AUTOINCREMENT)";
// Loading a set and emptying the trash select by set; without this they read every clip.
const char* const createSetIndex = "CREATE INDEX IF NOT EXISTS cTblSetIndex ON cTbl (cSet)";
// The exact text of the clips whose ANSI columns cannot hold it, beside cTbl, so that cTbl keeps its
// layout and older releases read the file as before. NULL where the column holds its text exactly.
const char* const createExactTable =
    "CREATE TABLE IF NOT EXISTS cExact (cKey INTEGER PRIMARY KEY, eText text, eSource text, eFingerprint text)";
// In the file, so that every delete removes the exact text with its clip, an older release's too.
const char* const createExactTrigger =
    "CREATE TRIGGER IF NOT EXISTS cExactDelete AFTER DELETE ON cTbl BEGIN DELETE FROM cExact WHERE cKey = old.cKey; END";

void tell(core::Program& p, const std::string& text) {
  platform::messageBox(p.mainWindow, text, core::appName, platform::MB_OK | platform::MB_ICONWARNING);
}

std::string blankIfEmpty(const std::string& text) { return text.empty() ? " " : text; }

// Binds the texts to parameters 2, 3, ... in order; false at the first the engine refuses, with its
// reason as the last message. An unbound parameter would store NULL in place of the user's text.
bool bindTexts(core::Program& p, sqlite3_stmt* stmt, const std::string* const* values, int count) {
  for (int i = 0; i < count; ++i)
    if (p.db.StmtBindText(stmt, i + 2, values[i]) == 0) return false;
  return true;
}

// A write that did not happen: the user is told, the log keeps the engine's reason.
int reportFailedWrite(core::Program& p, int result, const std::string& reason) {
  core::raiseMainWindow(p);
  tell(p, "Unable to finalize Database transaction. Please notify " + core::supportContact);
  core::writeLog(p, p.captureTime + " 4994 WriteClipDB Return Value For failed sql write was " +
                       std::to_string(result) + "key = " + p.currentKey + reason);
  return 0;
}

std::string columnText(core::Program& p, sqlite3_stmt* stmt, int column) {
  const int n = p.db.StmtColumnBytes(stmt, column);
  if (n == 0) return " ";
  const char* text = p.db.StmtColumnText(stmt, column);
  return text == nullptr ? " " : std::string(text, static_cast<std::size_t>(n));
}

// The rows the connection's last INSERT, UPDATE or DELETE changed; -1 when that cannot be read.
int changedRows(core::Program& p) {
  core::Recordset rs;
  p.db.DbQuery("SELECT changes()", p.databaseHandle, rs);
  const int changed = p.db.RecordsetValueByIndex(0, rs) == 1 ? std::atoi(rs.value.c_str()) : -1;
  p.db.RecordsetRelease(rs);
  return changed;
}

// True when `exact` is a text the ANSI bytes do not give back.
bool needsExact(const std::string& exact, const std::string& ansi) {
  return !exact.empty() && platform::ansiToUtf8(ansi) != exact;
}

// The texts a side row is written from: the ANSI columns and the exact forms beside them.
struct ExactTexts {
  const std::string &text, &exactText, &source, &exactSource;
};

// Makes the side row of clip `key` say what `t` holds beyond its ANSI columns: written, replaced or
// removed. False with the engine's reason as the last message.
bool writeExactRow(core::Program& p, std::int64_t key, const ExactTexts& t) {
  const bool text = needsExact(t.exactText, t.text), source = needsExact(t.exactSource, t.source);
  const std::string keyText = std::to_string(key), fingerprint = fingerprintOf(t.text, t.source);
  std::vector<const std::string*> values{&keyText};
  std::string sql = "DELETE FROM cExact WHERE cKey = ?";
  if (text || source) {
    sql = std::string("INSERT OR REPLACE INTO cExact VALUES (?, ") + (text ? "?" : "NULL") + ", " +
          (source ? "?" : "NULL") + ", ?)";
    if (text) values.push_back(&t.exactText);
    if (source) values.push_back(&t.exactSource);
    values.push_back(&fingerprint);
  }
  sqlite3_stmt* stmt = p.db.DbPrepare(p.databaseHandle, sql);
  if (stmt == nullptr) return false;
  bool ok = true;
  for (std::size_t i = 0; ok && i < values.size(); ++i) ok = p.db.StmtBindText(stmt, static_cast<int>(i) + 1, values[i]) == 1;
  if (ok) ok = p.db.StmtStep(stmt) == SQLITE_DONE;
  const std::string reason = p.db.DbLastMessage();
  p.db.StmtFinalize(stmt);
  if (!ok) p.db.restoreLastMessage(reason);
  return ok && p.db.DbLastMessage() == "OK";
}

// The side row's columns, after cTbl's in ReadClip's one query.
constexpr int exactColumns = 12;
const char* const exactColumnsSql = "eText IS NOT NULL, eText, eSource IS NOT NULL, eSource, eFingerprint";

// Fills the record's exact text and source from the side row read with the clip, when it has one
// that matches its cText and cSource.
void takeExactColumns(core::Program& p, sqlite3_stmt* stmt) {
  core::ClipRecord& r = p.clip;
  r.exactText.clear();
  r.exactSource.clear();
  const auto cell = [&p, stmt](int column) {
    const char* text = p.db.StmtColumnText(stmt, exactColumns + column);
    return text == nullptr ? std::string()
                           : std::string(text, static_cast<std::size_t>(p.db.StmtColumnBytes(stmt, exactColumns + column)));
  };
  if (cell(4) != fingerprintOf(r.cText, r.cSource)) return;  // none, or stale
  if (cell(0) == "1") r.exactText = cell(1);
  if (cell(2) == "1") r.exactSource = cell(3);
}

int insertWelcomeClip(core::Program& p) {
  const int written = WritePlainTextClip(p, "Tandrel", "Tandrel allows you to enter a note to associate with a clip",
                                         "Tandrel, your number 1 clipboard assistant");
  core::ClipRecord& r = p.clip;
  r.cRTFsw = r.cHTMLsw = r.cImageSW = r.cSource = r.cNote = r.cText = r.cRTF = " ";
  r.cHTML = "N";
  return written;
}

}  // namespace

std::string fingerprintOf(const std::string& text, const std::string& source) {
  const auto part = [](const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (char c : bytes) {
      hash ^= static_cast<unsigned char>(c);
      hash *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return std::to_string(bytes.size()) + ":" + hex;
  };
  return part(text) + " " + part(source);
}


int stepRead(core::Program& p, sqlite3_stmt* stmt) {
  const std::uint32_t start = platform::tickCount();
  int result = p.db.StmtStep(stmt);
  while (result != SQLITE_ROW && result != SQLITE_DONE && platform::tickCount() - start < maxReadWaitMs &&
         (p.db.DbLastMessage() == core::dbResultText(SQLITE_BUSY) ||
          p.db.DbLastMessage() == core::dbResultText(SQLITE_LOCKED))) {
    platform::sleep(readRetryMs);
    result = p.db.StmtStep(stmt);
  }
  return result;
}

std::string escapeQuotes(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

void CreateClipSchema(core::Program& p) {
  p.db.DbExecute(createClipTable, p.databaseHandle);
  p.db.DbExecute(createSetTable, p.databaseHandle);
  p.db.DbExecute(createSetIndex, p.databaseHandle);
  p.db.DbExecute(createExactTable, p.databaseHandle);
  p.db.DbExecute(createExactTrigger, p.databaseHandle);
}

int CreateClipTables(core::Program& p, bool insertActiveSet) {
  CreateClipSchema(p);
  if (p.freshStart == 1) p.settings.activeSetName = core::mainSetName;
  if (insertActiveSet) insertSetRow(p, p.settings.activeSetName);
  insertSetRow(p, core::trashSetName);
  return p.freshStart == 1 ? insertWelcomeClip(p) : 1;
}

int WritePlainTextClip(core::Program& p, const std::string& source, const std::string& note, const std::string& text) {
  core::ClipRecord& r = p.clip;
  r = core::ClipRecord{};
  r.cDate = p.captureTime;
  r.cSet = p.settings.activeSetName;
  r.cRTFsw = "N";
  r.cImageSW = "N";
  r.cSource = source;
  r.cNote = note;
  core::setClipText(r, text);
  return WriteClipDB(p, true);
}

int WriteClipDB(core::Program& p, bool recordRichText) {
  core::ClipRecord& r = p.clip;
  sqlite3_stmt* stmt = p.db.DbPrepare(p.databaseHandle, "insert into cTbl values (?, ?, ?,?,?,?,?,?,?,?,?,?);");
  const std::string prepared = p.db.DbLastMessage();

  if (r.cDate.empty()) r.cDate = p.captureTime;
  if (r.cSet.empty()) r.cSet = p.settings.activeSetName;
  r.cSource = blankIfEmpty(r.cSource);
  r.cNote = blankIfEmpty(r.cNote);
  r.cText = blankIfEmpty(r.cText);
  r.cHTML = " ";
  r.cHTMLsw = "N";
  if (recordRichText && r.cRTFsw == "Y") {
    r.cRTF = blankIfEmpty(r.cRTF);
  } else if (!recordRichText && p.settings.saveHtml == 1 && p.capture.richTextFlag == 1 && p.capture.richTextRead == 1) {
    r.cRTFsw = "Y";
    r.cRTF = blankIfEmpty(r.cRTF);
  } else {
    r.cRTFsw = "N";
    r.cRTF = " ";
  }
  if (r.cImageSW.empty()) r.cImageSW = "N";
  if (r.cImageSW == "Y" && r.image.empty()) r.cImageSW = "N";

  if (stmt == nullptr) return reportFailedWrite(p, 0, prepared);
  const std::string* texts[] = {&r.cDate, &r.cSet, &r.cRTFsw, &r.cHTMLsw, &r.cImageSW,
                                &r.cSource, &r.cNote, &r.cText, &r.cRTF, &r.cHTML};
  const bool bound = bindTexts(p, stmt, texts, 10) &&
                     (r.cImageSW != "Y" ||
                      p.db.StmtBindBlob(stmt, 12, r.image.data(), static_cast<int>(r.image.size())) == 1);
  if (!bound) {
    const std::string reason = p.db.DbLastMessage();
    p.db.StmtFinalize(stmt);
    return reportFailedWrite(p, 0, reason);
  }
  // A clip and its side row are kept together or not at all. A savepoint, since capture may hold a
  // transaction open around its writes.
  const bool sideRow = needsExact(r.exactText, r.cText) || needsExact(r.exactSource, r.cSource);
  if (sideRow && p.db.DbExecute("SAVEPOINT exactText", p.databaseHandle) == 0) {
    const std::string reason = p.db.DbLastMessage();
    p.db.StmtFinalize(stmt);
    return reportFailedWrite(p, 0, reason);
  }
  const auto undoSideRow = [&p, sideRow] {
    if (!sideRow) return;
    const std::string reason = p.db.DbLastMessage();
    p.db.DbExecute("ROLLBACK TO exactText", p.databaseHandle);
    p.db.DbExecute("RELEASE exactText", p.databaseHandle);
    p.db.restoreLastMessage(reason);
  };

  int result = 0;
  for (int attempt = 0; attempt < maxWriteAttempts; ++attempt) {
    result = p.db.StmtStep(stmt);
    if (result == SQLITE_DONE || result == 0) break;
    core::raiseMainWindow(p);
    tell(p, "Entering Database timing error correction routine. ");
    core::writeLog(p, p.captureTime + " WriteClipDB Return Value For sql finalize was " + std::to_string(result) +
                         "key = " + p.currentKey + p.db.DbLastMessage());
  }
  if (result != SQLITE_DONE && result != 0) {
    p.db.StmtFinalize(stmt);
    undoSideRow();
    ReopenDatabase(p);
    return 0;
  }

  const int finalized = p.db.StmtFinalize(stmt);
  if (p.db.DbLastMessage() != "OK") {
    undoSideRow();
    return reportFailedWrite(p, finalized, p.db.DbLastMessage());
  }
  const std::int64_t key = p.db.DbLastInsertRowId(p.databaseHandle);
  if (sideRow && (!writeExactRow(p, key, {r.cText, r.exactText, r.cSource, r.exactSource}) ||
                  p.db.DbExecute("RELEASE exactText", p.databaseHandle) == 0)) {
    undoSideRow();
    return reportFailedWrite(p, 0, p.db.DbLastMessage());
  }
  if (r.cImageSW == "Y" && r.imageOwned) {
    r.image.clear();
    r.image.shrink_to_fit();
    r.imageOwned = false;
  }
  p.lastKey = key;
  return 1;
}

int ReadClip(core::Program& p) {
  if (p.view.rows.empty()) return 0;
  // The side row comes with the clip in one query.
  sqlite3_stmt* stmt = p.db.DbPrepare(p.databaseHandle, std::string("SELECT cTbl.*, ") + exactColumnsSql +
                                                            " FROM cTbl LEFT JOIN cExact USING (cKey) WHERE cKey = '" +
                                                            escapeQuotes(p.currentKey) + "'");
  if (stmt == nullptr) {
    core::writeLog(p, p.captureTime + " ReadClip not prepared key = " + p.currentKey + " " + p.db.DbLastMessage());
    return 0;
  }
  const int result = stepRead(p, stmt);
  if (result != SQLITE_ROW && result != SQLITE_DONE) {
    core::writeLog(p, p.captureTime + " ReadClip gave up waiting key = " + p.currentKey + " " + p.db.DbLastMessage());
    p.db.StmtFinalize(stmt);
    return 0;
  }
  if (result == SQLITE_DONE) {
    p.db.StmtFinalize(stmt);
    return 0;
  }

  core::ClipRecord& r = p.clip;
  std::string* fields[] = {&r.cDate, nullptr, &r.cRTFsw, &r.cHTMLsw, &r.cImageSW,
                           &r.cSource, &r.cNote, &r.cText, &r.cRTF, &r.cHTML};
  for (int column = 1; column <= 10; ++column)
    if (fields[column - 1] != nullptr) *fields[column - 1] = columnText(p, stmt, column);
  takeExactColumns(p, stmt);

  // The image slot belongs to this clip alone: one without a picture must not carry the last one's.
  r.image.clear();
  r.imageOwned = false;
  if (r.cImageSW != "Y") {
    p.db.StmtFinalize(stmt);
    return p.db.DbLastMessage() == "OK" ? 1 : 0;
  }
  const int n = p.db.StmtColumnBytes(stmt, 11);
  if (n == 0) {
    p.db.StmtFinalize(stmt);
    return p.db.DbLastMessage() == "OK" ? 1 : 0;
  }
  const void* blob = p.db.StmtColumnBlob(stmt, 11);
  if (blob == nullptr) {
    p.db.StmtFinalize(stmt);
    core::raiseMainWindow(p);
    tell(p, "There is not enough memory available to read the image.");
    return 0;
  }
  r.image.assign(static_cast<const char*>(blob), static_cast<std::size_t>(n));
  r.imageOwned = true;
  p.db.StmtFinalize(stmt);
  if (p.db.DbLastMessage() != "OK") return 0;
  return 1;
}

int ReadClipFields(core::Program& p) {
  core::Recordset rs;
  p.db.DbQuery(std::string("SELECT cTbl.*, ") + exactColumnsSql + " FROM cTbl LEFT JOIN cExact USING (cKey) WHERE cKey = '" +
                   escapeQuotes(p.currentKey) + "'",
               p.databaseHandle, rs);
  if (p.db.DbLastMessage() != "OK") {
    core::writeLog(p, p.captureTime + " Sqlite Finalize error!" + p.currentKey + " " + p.db.DbLastMessage());
    p.db.RecordsetRelease(rs);
    ReopenDatabase(p);
    return 0;
  }
  if (rs.rowCount < 1) {
    p.db.RecordsetRelease(rs);
    return 0;
  }
  core::EditCopy& e = p.editCopy;
  std::string* fields[] = {&e.date, nullptr, &e.richFlag, &e.htmlFlag, &e.imageFlag, &e.source, &e.note, &e.text};
  for (int column = 1; column <= 8; ++column)
    if (fields[column - 1] != nullptr && p.db.RecordsetValueByIndex(column, rs) == 1) *fields[column - 1] = rs.value;
  // The text as UTF-8, from the side row while it still matches the ANSI columns.
  std::string exact[5];
  for (int column = 0; column < 5; ++column)
    if (p.db.RecordsetValueByIndex(exactColumns + column, rs) == 1) exact[column] = rs.value;
  const bool current = exact[4] == fingerprintOf(e.text, e.source);
  e.exactSource = current && exact[2] == "1" ? exact[3] : std::string();
  e.text = core::exactOf(e.text, current && exact[0] == "1" ? exact[1] : std::string());
  e.textBeforeEdit = e.text;
  e.html = " ";
  e.richText = " ";
  p.db.RecordsetRelease(rs);
  return 1;
}

int UpdateClipText(core::Program& p, const std::string& text, bool plainText) {
  // The clip's source, whose exact form the side row keeps too. The whole old text is read only
  // for a clip that has a side row, to check that row's fingerprint.
  std::string source, exactSource;
  sqlite3_stmt* stmt = p.db.DbPrepare(
      p.databaseHandle,
      "SELECT CAST(cSource AS BLOB), CASE WHEN eFingerprint IS NOT NULL THEN CAST(cText AS BLOB) END, "
      "eSource IS NOT NULL, eSource, eFingerprint FROM cTbl LEFT JOIN cExact USING (cKey) WHERE cKey = " +
          std::to_string(std::strtoll(p.currentKey.c_str(), nullptr, 10)));
  if (stmt != nullptr && p.db.StmtStep(stmt) == SQLITE_ROW) {
    source = columnText(p, stmt, 0);
    if (columnText(p, stmt, 2) == "1" && columnText(p, stmt, 4) == fingerprintOf(columnText(p, stmt, 1), source))
      exactSource = columnText(p, stmt, 3);
  }
  if (stmt != nullptr) p.db.StmtFinalize(stmt);
  const std::string ansi = platform::utf8ToAnsi(text);
  const std::string rich = plainText ? ", cRTFsw = 'N', cRTF = ' '" : "";
  // The text and its side row change together; a savepoint, since capture may hold a transaction.
  p.db.DbExecute("SAVEPOINT exactText", p.databaseHandle);
  const auto fail = [&p](std::string reason) {  // a copy: the last message changes below
    p.db.DbExecute("ROLLBACK TO exactText", p.databaseHandle);
    p.db.DbExecute("RELEASE exactText", p.databaseHandle);
    p.db.restoreLastMessage(reason);
  };
  p.db.DbExecute("UPDATE cTbl SET ctext = '" + escapeQuotes(ansi) + "'" + rich + " WHERE ckey = '" +
                     escapeQuotes(p.currentKey) + "';",
                 p.databaseHandle);
  if (p.db.DbLastMessage() != "OK") {
    fail(p.db.DbLastMessage());
    tell(p, "Database Insert Error - Insert failed For Value " + p.db.DbLastMessage());
    return 0;
  }
  // An UPDATE that found no clip (deleted meanwhile, or by another program) succeeds all the same.
  if (changedRows(p) != 1) {
    fail(p.db.DbLastMessage());
    core::writeLog(p, p.captureTime + " UpdateClipText found no clip key = " + p.currentKey);
    return 0;
  }
  if (!writeExactRow(p, std::strtoll(p.currentKey.c_str(), nullptr, 10), {ansi, text, source, exactSource}) ||
      p.db.DbExecute("RELEASE exactText", p.databaseHandle) == 0) {
    fail(p.db.DbLastMessage());
    tell(p, "Database Insert Error - Insert failed For Value " + p.db.DbLastMessage());
    return 0;
  }
  // An UPDATE inserts nothing: lastKey keeps naming the last inserted clip.
  return 1;
}

int MoveClip(core::Program& p, const std::string& targetSet) {
  if (p.settings.activeSetName == core::trashSetName && targetSet == core::trashSetName) {
    DeleteClip(p);
    return 1;
  }
  p.db.DbExecute("UPDATE cTbl SET cSet = '" + escapeQuotes(targetSet) + "' WHERE ckey = '" +
                     escapeQuotes(p.currentKey) + "';",
                 p.databaseHandle);
  if (p.db.DbLastMessage() != "OK") {
    tell(p, "Database Insert Error - Insert failed For Value " + p.db.DbLastMessage());
    return -1;
  }
  return 0;
}

int SaveEditedClip(core::Program& p, const std::string& editedText, const std::string& editedRichText, bool cutting) {
  const core::EditCopy& e = p.editCopy;
  const std::string set = p.settings.activeSetName;
  // The new record and the old one's retirement are kept together or not at all: a failure
  // between them would leave the clip twice.
  BeginBatch(p);
  if (p.db.DbLastMessage() != "OK") return 0;
  const auto giveUp = [&p] {
    const std::string reason = p.db.DbLastMessage();
    RollBackBatch(p);
    p.db.restoreLastMessage(reason);
    return 0;
  };
  sqlite3_stmt* stmt = p.db.DbPrepare(p.databaseHandle, "INSERT into cTbl values (?, ?, ?,?,?,?,?,?,?,?,?,?);");
  if (stmt == nullptr) return giveUp();
  const std::string text = blankIfEmpty(platform::utf8ToAnsi(editedText)), rich = blankIfEmpty(editedRichText);
  const std::string* values[] = {&e.date, &set, &e.richFlag, &e.htmlFlag, &e.imageFlag, &e.source, &e.note,
                                 &text, &rich, &e.html};
  if (!bindTexts(p, stmt, values, 10)) {
    const std::string reason = p.db.DbLastMessage();
    p.db.StmtFinalize(stmt);
    p.db.restoreLastMessage(reason);
    return giveUp();
  }
  p.db.StmtStep(stmt);
  p.db.StmtFinalize(stmt);
  if (p.db.DbLastMessage() != "OK") return giveUp();

  const std::string oldKey = p.currentKey;
  const std::int64_t newKey = p.db.DbLastInsertRowId(p.databaseHandle);
  if (!writeExactRow(p, newKey, {text, editedText, e.source, e.exactSource})) return giveUp();
  if (cutting || p.settings.activeSetName == core::trashSetName)
    DeleteClip(p);
  else
    p.db.DbExecute("UPDATE cTbl SET cSet = '" + escapeQuotes(core::trashSetName) + "' WHERE ckey = '" +
                       escapeQuotes(oldKey) + "';",
                   p.databaseHandle);
  if (p.db.DbLastMessage() != "OK" || !CommitBatch(p)) return giveUp();

  p.lastKey = newKey;
  for (core::ClipRow& row : p.view.rows)
    if (std::to_string(row.key) == oldKey) row.key = newKey;
  p.currentKey = std::to_string(newKey);
  // Stored whatever this read gives: the show that follows reads the clip again.
  ReadClip(p);
  return 1;
}

int UpdateClipNote(core::Program& p, const std::string& note) {
  p.db.DbExecute("UPDATE ctbl SET cNote='" + escapeQuotes(blankIfEmpty(note)) + "' WHERE ckey = '" +
                     escapeQuotes(p.currentKey) + "';",
                 p.databaseHandle);
  return p.db.DbLastMessage() == "OK" ? 1 : 0;
}

void BeginBatch(core::Program& p) { p.db.DbExecute("BEGIN", p.databaseHandle); }

bool CommitBatch(core::Program& p) {
  p.db.DbExecute("COMMIT", p.databaseHandle);
  // The quick paste index takes the new clips in once enough of them wait (a search reads the few
  // newest ones itself), so a capture alone never pays for a look at the index.
  if (++p.quickIndex.commitsSinceWork >= 64) p.quickIndex.workDue = true;
  return p.db.DbLastMessage() == "OK";
}

void RollBackBatch(core::Program& p) { p.db.DbExecute("ROLLBACK", p.databaseHandle); }

bool ClipExists(core::Program& p, std::int64_t key) {
  core::Recordset rs;
  p.db.DbQuery("SELECT cKey FROM cTbl WHERE cKey = " + std::to_string(key), p.databaseHandle, rs);
  // A query that fails says nothing of the clip: it is taken to be there, and its update reports.
  const bool found = p.db.DbLastMessage() != "OK" || rs.rowCount > 0;
  p.db.RecordsetRelease(rs);
  return found;
}

void DeleteClip(core::Program& p) {
  p.db.DbExecute("DELETE FROM cTbl WHERE cKey = '" + escapeQuotes(p.currentKey) + "'", p.databaseHandle);
}

void EmptyTrash(core::Program& p) {
  p.db.DbExecute("DELETE FROM cTbl WHERE cSet = '" + escapeQuotes(core::trashSetName) + "'", p.databaseHandle);
  if (p.db.DbLastMessage() != "OK")
    platform::messageBox(0, "Database Delete not done = " + p.db.DbLastMessage(), core::appName,
                         platform::MB_OK | platform::MB_ICONWARNING);
}

void VacuumClips(core::Program& p) {
  // The engine names no table here: VACUUM of a table name is refused as an unknown database.
  sqlite3_stmt* stmt = p.db.DbPrepare(p.databaseHandle, "VACUUM");
  if (stmt == nullptr) return;
  p.db.StmtStep(stmt);
  p.db.StmtFinalize(stmt);
}

}  // namespace store
