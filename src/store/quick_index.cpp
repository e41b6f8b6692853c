// The quick paste index: attaching and pairing tdclips.idx, building it newest first in short
// steps, taking in the clips the triggers marked, and starting again from nothing when the file is
// damaged or belongs to another state of the database.
#include "store/quick_index.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "core/log.h"
#include "core/program.h"
#include "core/utf8.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/text_encoding.h"
#include "store/clip_store.h"
#include "store/quick_search.h"

namespace store::quick {
namespace {

constexpr int indexVersion = 1;
constexpr int maxRebuilds = 3;  // an index that fails again and again in one run is given up
constexpr std::size_t stepClips = 300;
// Fewer marks wait for more: a search reads them from cTbl at no cost worth a commit.
constexpr std::size_t idleMarks = 64;
constexpr std::uint32_t stepMs = 20;

// Every write that can change what a clip's text is, or whether it is in the trash, marks its key.
const char* const markSchema[] = {
    "CREATE TABLE IF NOT EXISTS cIdxDirty (cKey INTEGER PRIMARY KEY)",
    "CREATE TABLE IF NOT EXISTS cIdxPair (pairId TEXT)",
    "CREATE TRIGGER IF NOT EXISTS cIdxMarkInsert AFTER INSERT ON cTbl BEGIN "
    "INSERT OR IGNORE INTO cIdxDirty VALUES (new.cKey); END",
    "CREATE TRIGGER IF NOT EXISTS cIdxMarkUpdate AFTER UPDATE OF cKey, cSet, cSource, cText ON cTbl BEGIN "
    "INSERT OR IGNORE INTO cIdxDirty VALUES (old.cKey); INSERT OR IGNORE INTO cIdxDirty VALUES (new.cKey); END",
    "CREATE TRIGGER IF NOT EXISTS cIdxMarkDelete AFTER DELETE ON cTbl BEGIN "
    "INSERT OR IGNORE INTO cIdxDirty VALUES (old.cKey); END",
    "CREATE TRIGGER IF NOT EXISTS cIdxMarkExactInsert AFTER INSERT ON cExact BEGIN "
    "INSERT OR IGNORE INTO cIdxDirty VALUES (new.cKey); END",
    "CREATE TRIGGER IF NOT EXISTS cIdxMarkExactUpdate AFTER UPDATE ON cExact BEGIN "
    "INSERT OR IGNORE INTO cIdxDirty VALUES (old.cKey); INSERT OR IGNORE INTO cIdxDirty VALUES (new.cKey); END",
    "CREATE TRIGGER IF NOT EXISTS cIdxMarkExactDelete AFTER DELETE ON cExact BEGIN "
    "INSERT OR IGNORE INTO cIdxDirty VALUES (old.cKey); END",
};
constexpr int markTriggers = 6;

// The folded text is indexed as it is: the search folds its pieces the same way, so the engine's
// own case rules never decide a match.
const char* const indexSchema =
    "CREATE TABLE qidx.qMeta (pairId TEXT, buildBelow INTEGER, version INTEGER);"
    "INSERT INTO qidx.qMeta VALUES (NULL, 0, 0);"
    "CREATE VIRTUAL TABLE qidx.qText USING fts5(t, tokenize = 'trigram case_sensitive 1', detail = none)";

const char* const renewPair =
    "DELETE FROM main.cIdxPair; INSERT INTO main.cIdxPair VALUES (hex(randomblob(8)));"
    "UPDATE qidx.qMeta SET pairId = (SELECT pairId FROM main.cIdxPair)";

bool busy(const std::string& message) {
  return message == core::dbResultText(SQLITE_BUSY) || message == core::dbResultText(SQLITE_LOCKED) ||
         message.find("locked") != std::string::npos;
}

std::string indexPath(const core::Program& p) { return p.paths.dataFolder + indexFileName; }

std::string cell(core::Program& p, sqlite3_stmt* stmt, int column) {
  const char* text = p.db.StmtColumnText(stmt, column);
  return text == nullptr ? std::string() : std::string(text, static_cast<std::size_t>(p.db.StmtColumnBytes(stmt, column)));
}

// The first column of the first row (empty when none); `ok` false when the query failed.
std::string single(core::Program& p, const std::string& sql, bool& ok) {
  sqlite3_stmt* stmt = p.db.DbPrepare(p.databaseHandle, sql);
  ok = stmt != nullptr;
  std::string value;
  if (ok) {
    const int step = p.db.StmtStep(stmt);
    ok = step == SQLITE_ROW || step == SQLITE_DONE;
    if (step == SQLITE_ROW) value = cell(p, stmt, 0);
    const std::string reason = p.db.DbLastMessage();
    p.db.StmtFinalize(stmt);
    if (!ok) p.db.restoreLastMessage(reason);
  }
  return value;
}

bool attached(core::Program& p) {
  bool ok = false;
  return single(p, "SELECT count(*) FROM pragma_database_list WHERE name = 'qidx'", ok) == "1" && ok;
}

void setReady(core::Program& p, bool ready) { p.quickIndex.ready = ready; }

void giveUp(core::Program& p, const std::string& reason) {
  if (!p.quickIndex.unavailable)
    core::writeLog(p, p.captureTime + " Quick paste index not kept, searches read every clip: " + reason);
  p.quickIndex.unavailable = true;
  setReady(p, false);
}

// Detaches the index and deletes its file; false when it could not be let go.
bool dropFile(core::Program& p) {
  if (attached(p) && p.db.DbExecute("DETACH DATABASE qidx", p.databaseHandle) == 0) return false;
  const std::string path = indexPath(p);
  for (const std::string& file : {path + "-journal", path})
    if (platform::fileExists(file) && !platform::deleteFile(file)) return false;
  return true;
}

bool attachFile(core::Program& p) {
  sqlite3_stmt* stmt = p.db.DbPrepare(p.databaseHandle, "ATTACH DATABASE ? AS qidx");
  const std::string path = platform::hostPath(indexPath(p));
  const bool ok = stmt != nullptr && p.db.StmtBindText(stmt, 1, &path) == 1 && p.db.StmtStep(stmt) == SQLITE_DONE;
  const std::string reason = p.db.DbLastMessage();
  if (stmt != nullptr) p.db.StmtFinalize(stmt);
  p.db.restoreLastMessage(reason);
  // Each keystroke reads the newest clips' texts again: they stay in memory between keys.
  if (ok) p.db.DbExecute("PRAGMA qidx.cache_size = -16384", p.databaseHandle);
  p.db.restoreLastMessage(reason);
  return ok;
}

bool execAll(core::Program& p, const char* const* statements, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (p.db.DbExecute(statements[i], p.databaseHandle) == 0) return false;
  return true;
}

// A new, empty index file whose build starts from the newest clip; the marks so far are in it.
bool startBuild(core::Program& p, const std::string& why) {
  p.quickIndex.rebuildDue = false;
  core::writeLog(p, p.captureTime + " Quick paste index built anew: " + why);
  if (!dropFile(p) || !attachFile(p)) {
    giveUp(p, p.db.DbLastMessage());
    return false;
  }
  // The marks are made by the clip database's own triggers; a database without its side table (never
  // opened by a release that has it) gets that first.
  bool ok = true;
  if (single(p, "SELECT count(*) FROM sqlite_master WHERE name = 'cExact'", ok) != "1") CreateClipSchema(p);
  ok = p.db.DbExecute("SAVEPOINT qidxBuild", p.databaseHandle) != 0 &&
       execAll(p, markSchema, sizeof markSchema / sizeof *markSchema) &&
       p.db.DbExecute(indexSchema, p.databaseHandle) != 0 &&
       p.db.DbExecute("DELETE FROM main.cIdxDirty", p.databaseHandle) != 0 &&
       p.db.DbExecute("UPDATE qidx.qMeta SET version = " + std::to_string(indexVersion) +
                          ", buildBelow = (SELECT ifnull(max(cKey) + 1, 0) FROM main.cTbl)",
                      p.databaseHandle) != 0 &&
       p.db.DbExecute(renewPair, p.databaseHandle) != 0 && p.db.DbExecute("RELEASE qidxBuild", p.databaseHandle) != 0;
  if (!ok) {
    const std::string reason = p.db.DbLastMessage();
    p.db.DbExecute("ROLLBACK TO qidxBuild", p.databaseHandle);
    p.db.DbExecute("RELEASE qidxBuild", p.databaseHandle);
    dropFile(p);
    giveUp(p, reason);
    return false;
  }
  return true;
}

// Attaches the index file to a connection that has it not, and checks that it belongs to this
// database; false when the index cannot be used now.
bool ensureAttached(core::Program& p) {
  if (p.databaseHandle == nullptr || p.quickIndex.unavailable) return false;
  if (p.quickIndex.rebuildDue)
    return !p.db.DbInTransaction(p.databaseHandle) && startBuild(p, "it failed earlier");
  if (attached(p)) return true;
  setReady(p, false);
  if (p.db.DbInTransaction(p.databaseHandle)) return false;  // no ATTACH inside a transaction
  if (!attachFile(p)) {
    startBuild(p, "the file did not open (" + p.db.DbLastMessage() + ")");
    return attached(p) && !p.quickIndex.unavailable;
  }
  bool ok = true;
  const std::string triggers = single(p,
                                      "SELECT count(*) FROM main.sqlite_master WHERE type = 'trigger' AND name IN "
                                      "('cIdxMarkInsert', 'cIdxMarkUpdate', 'cIdxMarkDelete', 'cIdxMarkExactInsert', "
                                      "'cIdxMarkExactUpdate', 'cIdxMarkExactDelete')",
                                      ok);
  const std::string ours = ok ? single(p, "SELECT pairId FROM main.cIdxPair", ok) : "";
  if (!ok) return startBuild(p, "the database has no pairing (" + p.db.DbLastMessage() + ")");
  const std::string theirs = single(p, "SELECT pairId || ' ' || version FROM qidx.qMeta", ok);
  if (!ok) return startBuild(p, "the file is new or damaged (" + p.db.DbLastMessage() + ")");
  if (triggers != std::to_string(markTriggers)) return startBuild(p, "the database lost its change marks");
  if (ours.empty() || theirs != ours + " " + std::to_string(indexVersion))
    return startBuild(p, "it belongs to another state of the database");
  return true;
}

// The key below which the build has not yet gone; -1 when it cannot be read.
std::int64_t buildBelow(core::Program& p) {
  bool ok = true;
  const std::string below = single(p, "SELECT buildBelow FROM qidx.qMeta", ok);
  if (!ok) return -1;
  const std::int64_t key = std::strtoll(below.c_str(), nullptr, 10);
  setReady(p, key == 0);
  return key;
}

// Writes the index rows of the clips in `clips`: each one's old row goes, and one outside the trash
// gets its folded text. False with the engine's reason as the last message.
class RowWriter {
 public:
  explicit RowWriter(core::Program& p) : p_(p), reader_(p) {
    remove_ = p.db.DbPrepare(p.databaseHandle, "DELETE FROM qidx.qText WHERE rowid = ?");
    insert_ = p.db.DbPrepare(p.databaseHandle, "INSERT INTO qidx.qText (rowid, t) VALUES (?, ?)");
  }
  ~RowWriter() {
    for (sqlite3_stmt* stmt : {remove_, insert_})
      if (stmt != nullptr) p_.db.StmtFinalize(stmt);
  }
  bool prepared() const { return remove_ != nullptr && insert_ != nullptr; }

  bool remove(std::int64_t key) {
    return p_.db.StmtBindInt64(remove_, 1, key) == 1 && p_.db.StmtStep(remove_) == SQLITE_DONE &&
           p_.db.StmtReset(remove_) == 1;
  }
  bool write(const ClipColumns& clip) {
    if (!remove(clip.key)) return false;
    if (clip.set == core::trashSetName) return true;
    std::string text;
    bool current = false;
    if (!reader_.text(clip, quickTextBound, text, current)) return false;
    const std::string folded = foldedHead(text);
    return p_.db.StmtBindInt64(insert_, 1, clip.key) == 1 && p_.db.StmtBindText(insert_, 2, &folded) == 1 &&
           p_.db.StmtStep(insert_) == SQLITE_DONE && p_.db.StmtReset(insert_) == 1;
  }

 private:
  core::Program& p_;
  ClipTextReader reader_;
  sqlite3_stmt* remove_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
};

}  // namespace

ClipColumns clipColumnsOf(core::Program& p, sqlite3_stmt* stmt) {
  ClipColumns c;
  c.key = std::strtoll(cell(p, stmt, 0).c_str(), nullptr, 10);
  c.set = cell(p, stmt, 1);
  c.source = cell(p, stmt, 2);
  c.fingerprint = cell(p, stmt, 3);
  c.exactText = cell(p, stmt, 4) == "1";
  c.exactSource = cell(p, stmt, 5) == "1";
  return c;
}

namespace {

// Runs `work` in a savepoint; a failure rolls it back and answers false with the reason kept.
template <typename Work>
bool inSavepoint(core::Program& p, Work work) {
  if (p.db.DbExecute("SAVEPOINT qidxStep", p.databaseHandle) == 0) return false;
  if (work() && p.db.DbExecute("RELEASE qidxStep", p.databaseHandle) != 0) return true;
  const std::string reason = p.db.DbLastMessage();
  p.db.DbExecute("ROLLBACK TO qidxStep", p.databaseHandle);
  p.db.DbExecute("RELEASE qidxStep", p.databaseHandle);
  p.db.restoreLastMessage(reason);
  return false;
}

enum class Step { Done, More, Failed };

// Takes in up to `maxMarks` marked clips (and no more than `ms` milliseconds' worth, when given) in
// one transaction over both files.
Step catchUp(core::Program& p, std::size_t maxMarks, std::uint32_t ms) {
  std::vector<std::int64_t> keys;
  bool more = false;
  const bool ok = inSavepoint(p, [&] {
    sqlite3_stmt* marks = p.db.DbPrepare(p.databaseHandle, "SELECT cKey FROM main.cIdxDirty ORDER BY cKey DESC");
    if (marks == nullptr) return false;
    int step;
    while ((step = p.db.StmtStep(marks)) == SQLITE_ROW) {
      if (keys.size() == maxMarks) {
        more = true;
        break;
      }
      keys.push_back(std::strtoll(cell(p, marks, 0).c_str(), nullptr, 10));
    }
    const std::string reason = p.db.DbLastMessage();
    p.db.StmtFinalize(marks);
    p.db.restoreLastMessage(reason);
    if (step != SQLITE_ROW && step != SQLITE_DONE) return false;
    if (keys.empty()) return true;

    RowWriter writer(p);
    sqlite3_stmt* read = p.db.DbPrepare(p.databaseHandle, std::string("SELECT ") + clipColumnsSql +
                                                              " FROM main.cTbl LEFT JOIN main.cExact USING (cKey) WHERE cKey = ?");
    sqlite3_stmt* unmark = p.db.DbPrepare(p.databaseHandle, "DELETE FROM main.cIdxDirty WHERE cKey = ?");
    bool fine = writer.prepared() && read != nullptr && unmark != nullptr;
    const std::uint32_t start = platform::tickCount();
    std::size_t done = 0;
    for (; fine && done < keys.size(); ++done) {
      if (ms != 0 && done > 0 && platform::tickCount() - start >= ms) break;
      const std::int64_t key = keys[done];
      fine = p.db.StmtBindInt64(read, 1, key) == 1;
      const int found = fine ? p.db.StmtStep(read) : 0;
      fine = found == SQLITE_ROW || found == SQLITE_DONE;
      if (fine) fine = found == SQLITE_ROW ? writer.write(clipColumnsOf(p, read)) : writer.remove(key);
      fine = fine && p.db.StmtReset(read) == 1 && p.db.StmtBindInt64(unmark, 1, key) == 1 &&
             p.db.StmtStep(unmark) == SQLITE_DONE && p.db.StmtReset(unmark) == 1;
    }
    if (done < keys.size()) more = true;
    const std::string reason2 = p.db.DbLastMessage();
    for (sqlite3_stmt* stmt : {read, unmark})
      if (stmt != nullptr) p.db.StmtFinalize(stmt);
    p.db.restoreLastMessage(reason2);
    return fine && p.db.DbExecute(renewPair, p.databaseHandle) != 0;
  });
  if (!ok) return Step::Failed;
  return more ? Step::More : Step::Done;
}

// Indexes the next clips below the build's point, newest first.
Step buildStep(core::Program& p) {
  bool more = false;
  const bool ok = inSavepoint(p, [&] {
    const std::int64_t below = buildBelow(p);
    if (below < 0) return false;
    if (below == 0) return true;
    sqlite3_stmt* read = p.db.DbPrepare(p.databaseHandle,
                                        std::string("SELECT ") + clipColumnsSql +
                                            " FROM main.cTbl LEFT JOIN main.cExact USING (cKey) WHERE cKey < ? "
                                            "AND cSet IS NOT ? ORDER BY cKey DESC");
    if (read == nullptr) return false;
    RowWriter writer(p);
    bool fine = writer.prepared() && p.db.StmtBindInt64(read, 1, below) == 1 &&
                p.db.StmtBindText(read, 2, &core::trashSetName) == 1;
    const std::uint32_t start = platform::tickCount();
    std::int64_t last = below;
    std::size_t done = 0;
    int step = SQLITE_DONE;
    while (fine && (step = p.db.StmtStep(read)) == SQLITE_ROW) {
      const ClipColumns clip = clipColumnsOf(p, read);
      fine = writer.write(clip);
      last = clip.key;
      if (++done == stepClips || platform::tickCount() - start >= stepMs) {
        more = true;
        break;
      }
    }
    fine = fine && (step == SQLITE_ROW || step == SQLITE_DONE);
    const std::string reason = p.db.DbLastMessage();
    p.db.StmtFinalize(read);
    p.db.restoreLastMessage(reason);
    if (!fine) return false;
    return p.db.DbExecute("UPDATE qidx.qMeta SET buildBelow = " + std::to_string(more ? last : 0), p.databaseHandle) != 0 &&
           p.db.DbExecute(renewPair, p.databaseHandle) != 0;
  });
  if (!ok) return Step::Failed;
  setReady(p, !more);
  return more ? Step::More : Step::Done;
}

void stepFailed(core::Program& p) {
  const std::string reason = p.db.DbLastMessage();
  if (!busy(reason)) indexFailed(p, reason);
}

// Cuts a UTF-8 text to at most `bound` bytes, without leaving a character cut in two at its end.
void cutToCharacter(std::string& text, std::size_t bound) {
  if (text.size() > bound) text.resize(bound);
  std::size_t lead = text.size();
  while (lead > 0 && text.size() - lead < 4 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) --lead;
  if (lead == 0) return;
  const auto c = static_cast<unsigned char>(text[lead - 1]);
  const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  if (lead - 1 + length > text.size()) text.resize(lead - 1);
}

}  // namespace

std::string foldedHead(const std::string& utf8) { return core::foldCase(utf8); }

ClipTextReader::~ClipTextReader() {
  p_.db.BlobClose(text_);
  p_.db.BlobClose(exact_);
}

bool ClipTextReader::head(sqlite3_blob*& blob, const char* table, const char* column, std::int64_t key,
                          std::size_t bound, std::string& out, std::size_t& total) {
  out.clear();
  total = 0;
  if (blob != nullptr && p_.db.BlobReopen(blob, key) == 0) {
    p_.db.BlobClose(blob);
    blob = nullptr;
  }
  if (blob == nullptr) blob = p_.db.BlobOpen(p_.databaseHandle, "main", table, column, key);
  if (blob == nullptr) {
    // A NULL or a number (raw SQL of another program) has no blob handle: read it as a value.
    sqlite3_stmt* stmt = p_.db.DbPrepare(p_.databaseHandle, std::string("SELECT CAST(") + column + " AS BLOB) FROM main." +
                                                                table + " WHERE cKey = ?");
    const int step = stmt != nullptr && p_.db.StmtBindInt64(stmt, 1, key) == 1 ? p_.db.StmtStep(stmt) : 0;
    if (step == SQLITE_ROW) {
      out = cell(p_, stmt, 0);
      total = out.size();
      if (out.size() > bound) out.resize(bound);
    }
    const std::string reason = p_.db.DbLastMessage();
    if (stmt != nullptr) p_.db.StmtFinalize(stmt);
    p_.db.restoreLastMessage(reason);
    return step == SQLITE_ROW || step == SQLITE_DONE;
  }
  total = static_cast<std::size_t>(p_.db.BlobBytes(blob));
  return p_.db.BlobRead(blob, out, 0, static_cast<int>(std::min(bound, total))) == 1;
}

bool ClipTextReader::text(const ClipColumns& clip, std::size_t bound, std::string& out, bool& current) {
  current = false;
  std::string ansi;
  std::size_t total = 0;
  // Bytes of the ANSI code page, each at most three in UTF-8.
  if (!head(text_, "cTbl", "cText", clip.key, bound, ansi, total)) return false;
  if (!clip.fingerprint.empty()) {
    // The fingerprint starts with the text's length, so a stale row is mostly seen without reading it.
    const bool sameLength = std::strtoull(clip.fingerprint.c_str(), nullptr, 10) == total;
    if (sameLength && total <= ansi.size()) {
      current = fingerprintOf(ansi, clip.source) == clip.fingerprint;
    } else if (sameLength) {
      std::string whole;
      std::size_t size = 0;
      if (!head(text_, "cTbl", "cText", clip.key, total, whole, size)) return false;
      current = fingerprintOf(whole, clip.source) == clip.fingerprint;
    }
  }
  if (current && clip.exactText) {
    if (!head(exact_, "cExact", "eText", clip.key, bound, out, total)) return false;
  } else {
    out = platform::ansiToUtf8(ansi);
  }
  cutToCharacter(out, bound);
  return true;
}

SearchPlan prepareForSearch(core::Program& p, std::size_t maxMarks) {
  SearchPlan plan;
  if (!ensureAttached(p)) return plan;
  const std::int64_t below = buildBelow(p);
  sqlite3_stmt* marks = below < 0 ? nullptr : p.db.DbPrepare(p.databaseHandle, "SELECT cKey FROM main.cIdxDirty ORDER BY cKey");
  int step = 0;
  while (marks != nullptr && (step = p.db.StmtStep(marks)) == SQLITE_ROW && plan.marked.size() <= maxMarks)
    plan.marked.push_back(std::strtoll(cell(p, marks, 0).c_str(), nullptr, 10));
  const std::string reason = p.db.DbLastMessage();
  if (marks != nullptr) p.db.StmtFinalize(marks);
  p.db.restoreLastMessage(reason);
  if (below < 0 || (step != SQLITE_ROW && step != SQLITE_DONE)) {
    stepFailed(p);
    plan.marked.clear();
    return plan;
  }
  if (plan.marked.size() > maxMarks) {
    plan.marked.clear();
    return plan;
  }
  plan.floor = below;
  return plan;
}

void indexFailed(core::Program& p, const std::string& reason) {
  setReady(p, false);
  if (++p.quickIndex.rebuilds > maxRebuilds) {
    giveUp(p, "it failed " + std::to_string(maxRebuilds) + " times this run, last with " + reason);
    return;
  }
  p.quickIndex.rebuildDue = true;
  // The file cannot be let go inside a transaction: then the next idle step builds it again.
  if (!p.db.DbInTransaction(p.databaseHandle)) startBuild(p, "it failed (" + reason + ")");
}

bool workStep(core::Program& p) {
  if (p.databaseHandle == nullptr || p.quickIndex.unavailable || p.db.DbInTransaction(p.databaseHandle)) return false;
  if (!ensureAttached(p)) return false;
  bool ok = true;
  const std::size_t marks = static_cast<std::size_t>(std::strtoull(
      single(p, "SELECT count(*) FROM (SELECT 1 FROM main.cIdxDirty LIMIT " + std::to_string(idleMarks) + ")", ok).c_str(),
      nullptr, 10));
  Step step = !ok ? Step::Failed : marks >= idleMarks ? catchUp(p, stepClips, stepMs) : buildStep(p);
  if (step == Step::Failed) {
    stepFailed(p);
    return !p.quickIndex.unavailable;
  }
  return step == Step::More || buildBelow(p) > 0;
}

}  // namespace store::quick
