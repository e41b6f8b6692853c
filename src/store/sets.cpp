// The set table. A set name becomes a folder name under the sets folder, so only names that are
// plain file names get a folder, and no folder operation here ever leaves that folder.
#include "store/sets.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <unordered_map>

#include "core/log.h"
#include "core/program.h"
#include "core/set_names.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "store/clip_store.h"

namespace store {
namespace {

constexpr std::size_t previewLimit = 1000;

void tell(core::Program& p, const std::string& text, const std::string& title = core::appName) {
  platform::messageBox(p.mainWindow, text, title, platform::MB_OK | platform::MB_ICONINFORMATION);
}

// The exact text (its first 1000 characters, and whether that is all of it) and source of the
// set's clips that have them, by key.
struct ExactRow {
  std::string preview, source;
  bool complete = true;
};
std::unordered_map<std::int64_t, ExactRow> readExactRows(core::Program& p, const std::string& set) {
  std::unordered_map<std::int64_t, ExactRow> rows;
  sqlite3_stmt* stmt = p.db.DbPrepare(
      p.databaseHandle,
      "SELECT cKey, eText IS NOT NULL, substr(eText, 1, 1000), length(eText), eSource IS NOT NULL, eSource, "
      "eFingerprint, CAST(cText AS BLOB), CAST(cSource AS BLOB) FROM cExact JOIN cTbl USING (cKey) WHERE cSet = ?");
  if (stmt == nullptr) return rows;  // a file without the table: every text is its ANSI one
  p.db.StmtBindText(stmt, 1, &set);
  auto column = [&](int c) {
    const char* text = p.db.StmtColumnText(stmt, c);
    return text == nullptr ? std::string() : std::string(text, static_cast<std::size_t>(p.db.StmtColumnBytes(stmt, c)));
  };
  while (p.db.StmtStep(stmt) == SQLITE_ROW) {
    if (column(6) != fingerprintOf(column(7), column(8))) continue;  // stale
    ExactRow& row = rows[std::strtoll(column(0).c_str(), nullptr, 10)];
    if (column(1) == "1") {
      row.preview = column(2);
      row.complete = std::strtoll(column(3).c_str(), nullptr, 10) < static_cast<long long>(previewLimit);
    }
    if (column(4) == "1") row.source = column(5);
  }
  p.db.StmtFinalize(stmt);
  return rows;
}

}  // namespace

std::string setFolder(const core::Program& p, const std::string& name) { return p.paths.setsFolder + name; }

bool setRowExists(core::Program& p, const std::string& name) {
  core::Recordset rs;
  p.db.DbQuery("select * from sets where setName = '" + escapeQuotes(name) + "'", p.databaseHandle, rs);
  const bool found = p.db.RecordsetValueByName("setName", rs) == 1;
  p.db.RecordsetRelease(rs);
  return found;
}

bool insertSetRow(core::Program& p, const std::string& name) {
  return p.db.DbExecute("insert into sets (setName) values ('" + escapeQuotes(name) + "')", p.databaseHandle) != 0;
}

bool deleteSetRow(core::Program& p, const std::string& name) {
  return p.db.DbExecute("DELETE FROM Sets WHERE setName ='" + escapeQuotes(name) + "';", p.databaseHandle) != 0;
}

bool readSetRows(core::Program& p, const std::string& set) {
  const auto exactRows = readExactRows(p, set);
  // Only what the list needs: the first 1000 bytes of each text and its length, never the images.
  // Read in parts, each through a mapping of the file: page by page, each read would be a system
  // call of its own, which costs most of the time under Wine. The mapping goes after each part, so
  // the pages it read leave memory at once and a large set never holds the whole file resident.
  constexpr int part = 10000;
  std::int64_t after = std::numeric_limits<std::int64_t>::min();
  int result = SQLITE_DONE;
  for (int read = part; read == part && result == SQLITE_DONE;) {
    p.db.DbExecute("PRAGMA mmap_size = 1073741824", p.databaseHandle);
    sqlite3_stmt* stmt = p.db.DbPrepare(
        p.databaseHandle,
        "SELECT cKey, cDate, cRTFsw, cHTMLsw, cImageSW, cSource, cNote, substr(CAST(cText AS BLOB), 1, 1000), "
        "length(CAST(cText AS BLOB)) FROM cTbl WHERE cSet = ? AND cKey > " + std::to_string(after) +
            " ORDER BY cKey LIMIT " + std::to_string(part));
    if (stmt == nullptr) {
      tell(p, "Error in database = " + p.db.DbLastMessage());
      p.db.DbExecute("PRAGMA mmap_size = 0", p.databaseHandle);
      return false;
    }
    p.db.StmtBindText(stmt, 1, &set);
    auto column = [&](int c) {
      const int n = p.db.StmtColumnBytes(stmt, c);
      const char* text = p.db.StmtColumnText(stmt, c);
      return n == 0 || text == nullptr ? std::string(" ") : std::string(text, static_cast<std::size_t>(n));
    };
    read = 0;
    while ((result = p.db.StmtStep(stmt)) == SQLITE_ROW) {
      ++read;
      core::ClipRow row;
      row.key = std::strtoll(p.db.StmtColumnText(stmt, 0), nullptr, 10);
      after = row.key;
      row.date = column(1);
      row.richFlag = column(2);
      row.htmlFlag = column(3);
      row.imageFlag = column(4);
      row.source = column(5);
      row.note = column(6);
      const int textBytes = p.db.StmtColumnBytes(stmt, 7);
      const char* text = p.db.StmtColumnText(stmt, 7);
      row.preview = text == nullptr ? "" : std::string(text, static_cast<std::size_t>(textBytes));
      const char* lengthText = p.db.StmtColumnText(stmt, 8);
      const long long length = std::strtoll(lengthText ? lengthText : "0", nullptr, 10);
      row.complete = length < static_cast<long long>(previewLimit) ? "Y" : "N";
      if (!exactRows.empty()) {
        const auto exact = exactRows.find(row.key);
        if (exact != exactRows.end()) {
          row.exactPreview = exact->second.preview;
          row.exactSource = exact->second.source;
          if (!row.exactPreview.empty()) row.complete = exact->second.complete ? "Y" : "N";
        }
      }
      p.view.rows.push_back(std::move(row));
    }
    if (result != SQLITE_DONE) tell(p, "Error in database = " + p.db.DbLastMessage());
    p.db.StmtFinalize(stmt);
    p.db.DbExecute("PRAGMA mmap_size = 0", p.databaseHandle);
  }
  return result == SQLITE_DONE;
}

std::vector<std::string> readSetNames(core::Program& p) {
  std::vector<std::string> names;
  core::Recordset rs;
  if (p.db.DbQuery("select * from sets", p.databaseHandle, rs) != 0) {
    for (int i = 1; i <= rs.rowCount; ++i) {
      if (p.db.RecordsetValueByName("setName", rs) == 1) {
        names.push_back(rs.value);
        if (core::isUsableSetName(rs.value)) platform::createFolder(setFolder(p, rs.value));
      }
      p.db.RecordsetNext(rs);
    }
  }
  p.db.RecordsetRelease(rs);
  // Listed as a folder list lists them.
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
  });
  return names;
}

int SetExists(core::Program& p, const std::string& name) {
  core::Recordset rs;
  p.db.DbQuery("select * from sets where setName = '" + escapeQuotes(name) + "'", p.databaseHandle, rs);
  p.db.RecordsetValueByName("setName", rs);
  const bool found = p.db.DbLastMessage() == "OK";
  p.db.RecordsetRelease(rs);
  if (found) return 1;
  tell(p, "We are unable to open " + name + ". Possible Data error");
  return 0;
}

bool deleteSetData(core::Program& p, const std::string& name) {
  // The clips and the row go together or not at all: clips without their set would be kept and
  // never shown again. A savepoint, so that it holds inside a transaction already open as well.
  const std::string quoted = escapeQuotes(name);
  bool ok = p.db.DbExecute("SAVEPOINT deleteSet", p.databaseHandle) != 0;
  if (ok) {
    ok = p.db.DbExecute("DELETE FROM ctbl WHERE cSet ='" + quoted + "';", p.databaseHandle) != 0 &&
         p.db.DbExecute("DELETE FROM Sets WHERE setName ='" + quoted + "';", p.databaseHandle) != 0;
    const std::string reason = p.db.DbLastMessage();
    if (!ok) p.db.DbExecute("ROLLBACK TO deleteSet", p.databaseHandle);
    ok = p.db.DbExecute("RELEASE deleteSet", p.databaseHandle) != 0 && ok;
    if (p.db.DbLastMessage() == "OK") p.db.restoreLastMessage(reason);
  }
  if (!ok) {
    core::writeLog(p, p.captureTime + " Set " + name + " not deleted: " + p.db.DbLastMessage());
    return false;
  }
  if (core::isUsableSetName(name)) platform::deleteFolderTree(setFolder(p, name));
  return true;
}

}  // namespace store
