// Reading the old clip sets: the fixed records of an index file and the contents in clip.db.
#include "store/old_format.h"

#include <sqlite3.h>

#include <algorithm>
#include <new>

#include "core/log.h"
#include "core/program.h"
#include "core/text.h"
#include "store/clip_store.h"

namespace store {
namespace {

// Characters `length` from 1-based position `first`, clamped to the record.
std::string slice(const std::string& record, std::size_t first, std::size_t length) {
  if (first - 1 >= record.size()) return "";
  return record.substr(first - 1, length);
}

bool endsWith(const std::string& text, char letter) { return !text.empty() && text.back() == letter; }

}  // namespace

OldRecordKind parseOldRecord(const std::string& bytes, OldRecord& record) {
  record = OldRecord{};
  std::string text = bytes.substr(0, std::min(bytes.size(), oldRecordSize));
  text = text.substr(0, text.find('\0'));
  // Positions count from the record's first byte: leading blanks belong to the first field.
  if (core::trimBlanks(text).empty()) return OldRecordKind::Blank;

  const std::string type = slice(text, 435, 1);
  if (type != "T" && type != "F" && type != "I") return OldRecordKind::Unreadable;
  record.type = type[0];

  const std::string number = core::trimBlanks(slice(text, 167, 6));
  if (!number.empty()) {
    std::uint32_t value = 0;
    for (char c : number) {
      if (c < '0' || c > '9') return OldRecordKind::Unreadable;
      value = value * 10 + static_cast<std::uint32_t>(c - '0');  // six digits at most: no overflow
    }
    record.blob = value;
  }
  record.source = core::trimBlanks(slice(text, 69, 56));
  record.date = slice(text, 125, 19);
  record.text = core::trimBlanks(slice(text, 185, 250));
  return OldRecordKind::Clip;
}

OldRead readOldRecord(const ReadBytes& read, std::string& record) {
  if (!read(oldRecordSize, record)) return OldRead::Failed;
  if (record.empty()) return OldRead::End;
  return record.size() == oldRecordSize ? OldRead::Record : OldRead::ShortTail;
}

std::string oldBlobKey(std::uint32_t number, char letter) { return std::to_string(number) + letter; }

sqlite3* openOldContents(core::Program& p, const std::string& path, std::string& reason) {
  sqlite3* db = p.db.DbOpen(path);
  if (db == nullptr) {
    reason = p.db.DbLastMessage();
    return nullptr;
  }
  // The engine opens any file; whether it is a database with the contents table shows at the first read.
  core::Recordset rs;
  const int readable = p.db.DbQuery("SELECT count(*) FROM tblBlob", db, rs);
  reason = p.db.DbLastMessage();
  p.db.RecordsetRelease(rs);
  if (readable == 0) {
    p.db.DbClose(db);
    return nullptr;
  }
  return db;
}

OldBlob ReadOldBlob(core::Program& p, sqlite3* oldContents, const std::string& key) {
  OldBlob blob;
  blob.key = key;
  for (;;) {
    sqlite3_stmt* stmt = p.db.DbPrepare(oldContents, "SELECT fldBlob FROM tblBlob WHERE fldKey = ?");
    if (stmt == nullptr || p.db.StmtBindText(stmt, 1, &blob.key) == 0) {
      blob.reason = p.db.DbLastMessage();
      if (stmt != nullptr) p.db.StmtFinalize(stmt);
      blob.state = OldBlob::Failed;
      return blob;
    }
    // A busy file is waited for a few seconds at most; one that keeps failing is not read forever.
    const int result = stepRead(p, stmt);
    if (result != SQLITE_ROW && result != SQLITE_DONE) {
      blob.reason = p.db.DbLastMessage();
      p.db.StmtFinalize(stmt);
      blob.state = OldBlob::Failed;
      return blob;
    }
    if (result == SQLITE_DONE) {
      p.db.StmtFinalize(stmt);
      if (endsWith(blob.key, 'T')) {
        blob.key.back() = 'R';  // a text kept as rich text
        continue;
      }
      blob.state = OldBlob::Missing;
      return blob;
    }

    // The value first, then its length: the engine measures the value in the form it was asked for.
    const void* data = endsWith(blob.key, 'I') ? p.db.StmtColumnBlob(stmt, 0)
                                               : static_cast<const void*>(p.db.StmtColumnText(stmt, 0));
    const int n = p.db.StmtColumnBytes(stmt, 0);
    bool held = n > 0 && data != nullptr;
    if (held) {
      try {
        blob.bytes.assign(static_cast<const char*>(data), static_cast<std::size_t>(n));
      } catch (const std::bad_alloc&) {
        held = false;
      }
    }
    if (!held) {
      core::writeLog(p, p.captureTime + " Read fieldlen error on Blob = " + blob.key + " fieldlen = " + std::to_string(n));
      p.db.StmtFinalize(stmt);
      blob.bytes.clear();
      blob.state = OldBlob::Missing;
      return blob;
    }
    blob.state = p.db.StmtFinalize(stmt) == 1 ? OldBlob::Found : OldBlob::Failed;
    if (blob.state == OldBlob::Failed) {
      blob.reason = p.db.DbLastMessage();
      blob.bytes.clear();
    }
    return blob;
  }
}

}  // namespace store
