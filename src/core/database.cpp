// The database access layer: every call into the SQLite engine goes through here.
// It owns the bound table of entry points and the last message; handles, statements and
// recordsets belong to the callers. Text is handed over and read back byte for byte.
#include "core/database.h"

#include <sqlite3.h>

#include <algorithm>
#include <climits>

#include "platform/shell.h"

namespace core {

const SqliteApi* linkedSqliteApi() {
  static const SqliteApi api = [] {
    SqliteApi a;
    a.get_table = sqlite3_get_table;
    a.free_table = sqlite3_free_table;
    a.open = sqlite3_open;
    a.close = sqlite3_close;
    a.exec = sqlite3_exec;
    // The v2 compiler re-prepares after a schema change and lets a failed step report its own
    // code instead of a generic error.
    a.prepare = sqlite3_prepare_v2;
    a.bind_text = sqlite3_bind_text;
    a.bind_blob = sqlite3_bind_blob;
    a.step = sqlite3_step;
    a.finalize = sqlite3_finalize;
    a.column_bytes = sqlite3_column_bytes;
    a.column_text = sqlite3_column_text;
    a.column_blob = sqlite3_column_blob;
    // sqlite3_int64 and std::int64_t need not be the same type, so no direct assignment.
    a.last_insert_rowid = [](sqlite3* db) -> std::int64_t { return sqlite3_last_insert_rowid(db); };
    a.errmsg = sqlite3_errmsg;
    a.free = sqlite3_free;
    a.busy_timeout = sqlite3_busy_timeout;
    a.errcode = sqlite3_errcode;
    a.bind_int64 = [](sqlite3_stmt* stmt, int index, std::int64_t value) { return sqlite3_bind_int64(stmt, index, value); };
    a.reset = sqlite3_reset;
    a.get_autocommit = sqlite3_get_autocommit;
    a.blob_open = [](sqlite3* db, const char* database, const char* table, const char* column, std::int64_t row,
                     int flags, sqlite3_blob** blob) {
      return sqlite3_blob_open(db, database, table, column, row, flags, blob);
    };
    a.blob_reopen = [](sqlite3_blob* blob, std::int64_t row) { return sqlite3_blob_reopen(blob, row); };
    a.blob_bytes = sqlite3_blob_bytes;
    a.blob_read = sqlite3_blob_read;
    a.blob_close = sqlite3_blob_close;
    return a;
  }();
  return &api;
}

std::string dbResultText(int code) {
  switch (code) {
    case 0: return "OK";
    case 1: return "SQL error Or missing database";
    case 2: return "An internal logic error in SQLite";
    case 3: return "Access permission denied";
    case 4: return "Callback routine requested An abort";
    case 5: return "The database file is locked";
    case 6: return "A table in The database is locked";
    case 7: return "A malloc() failed";
    case 8: return "Attempt To write A readonly database";
    case 9: return "Operation terminated by SQLite_Interrupt()";
    case 10: return "Some kind of disk I/O error occurred";
    case 11: return "The database disk image is malformed";
    case 12: return "(internal Only) table Or record not found";
    case 13: return "Insertion failed because database is full";
    case 14: return "Unable To open The database file";
    case 15: return "database lock protocol error";
    case 16: return "(internal Only) database table is empty";
    case 17: return "he database schema changed";
    case 18: return "Too much Data For one Row of A table";
    case 19: return "abort due To contraint violation";
    case 20: return "Data type mismatch";
    case 21: return "Library used incorrectly";
    case 22: return "Uses OS features not supported on host";
    case 23: return "Authorization denied";
    case 100: return "sqlite_step() has another Row ready";
    case 101: return "sqlite_step() has finished executing";
    default: return "Unknown Error (No. " + std::to_string(code) + ")";
  }
}

namespace {

std::string initFailure(const char* entry) {
  return std::string("Couldn't init 'sqlite3_") + entry + "'";
}

void resetRecordset(Recordset& rs) {
  rs.bof = 1;
  rs.eof = 1;
  rs.table = nullptr;
  rs.rowCount = 0;
  rs.columnCount = 0;
  rs.currentRow = 0;
  rs.value.clear();
}

// The engine's own text for a failed exec or query; its buffer is the engine's to free.
std::string takeEngineError(const SqliteApi* api, sqlite3* db, char* error, int rc) {
  if (error) {
    std::string text(error);
    api->free(error);
    return text;
  }
  const char* text = api->errmsg(db);
  return text ? std::string(text) : dbResultText(rc & 0xFF);
}

}  // namespace

int DbLayer::DbBindLibrary(const SqliteApi* api) {
  if (!api) {
    lastMessage_ = "Invalid Pointer!";
    return 0;
  }
  // Binding again drops the old table first, so a refused table leaves nothing bound.
  api_ = nullptr;
  const struct {
    bool present;
    const char* name;
  } entries[] = {
      {api->get_table != nullptr, "get_table"},
      {api->free_table != nullptr, "free_table"},
      {api->open != nullptr, "open"},
      {api->close != nullptr, "close"},
      {api->exec != nullptr, "exec"},
      {api->prepare != nullptr, "prepare"},
      {api->bind_text != nullptr, "bind_text"},
      {api->bind_blob != nullptr, "bind_blob"},
      {api->step != nullptr, "step"},
      {api->finalize != nullptr, "finalize"},
      {api->column_bytes != nullptr, "column_bytes"},
      {api->column_text != nullptr, "column_text"},
      {api->column_blob != nullptr, "column_blob"},
      {api->last_insert_rowid != nullptr, "last_insert_rowid"},
      {api->errmsg != nullptr, "errmsg"},
      {api->free != nullptr, "free"},
  };
  for (const auto& entry : entries) {
    if (!entry.present) {
      lastMessage_ = initFailure(entry.name);
      return 0;
    }
  }
  // A copy, so the caller's table need not outlive the layer.
  table_ = *api;
  api_ = &table_;
  return 1;
}

bool DbLayer::ready(const char* entry) {
  if (api_) return true;
  lastMessage_ = initFailure(entry);
  return false;
}

sqlite3* DbLayer::openFile(const std::string& path) {
  sqlite3* db = nullptr;
  int rc = api_->open(platform::hostPath(path).c_str(), &db);
  if (rc != SQLITE_OK) {
    // The engine hands out a handle even when the open fails; it must still be closed.
    lastMessage_ = db ? std::string(api_->errmsg(db)) : dbResultText(rc & 0xFF);
    if (db) api_->close(db);
    return nullptr;
  }
  if (api_->busy_timeout) api_->busy_timeout(db, busyTimeoutMs_);
  lastMessage_ = "OK";
  return db;
}

sqlite3* DbLayer::DbOpen(const std::string& path) {
  if (!ready("open")) return nullptr;
  if (!platform::fileExists(path)) {
    lastMessage_ = "Database doesn't exists";
    return nullptr;
  }
  return openFile(path);
}

sqlite3* DbLayer::DbCreate(const std::string& path, int replace) {
  if (!ready("open")) return nullptr;
  if (platform::fileExists(path)) {
    if (replace != 1) return nullptr;
    if (!platform::deleteFile(path)) {
      lastMessage_ = "Couldn't create database";
      return nullptr;
    }
    // A journal left by the old file would be rolled back into the new one.
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
      if (platform::fileExists(path + suffix)) platform::deleteFile(path + suffix);
    }
  }
  sqlite3* db = openFile(path);
  if (!db) lastMessage_ = "Couldn't create database";
  return db;
}

int DbLayer::DbClose(sqlite3* db) {
  if (!ready("close")) return 0;
  if (!db) {
    lastMessage_ = "Wrong Database-Handle";
    return 0;
  }
  if (api_->close(db) != SQLITE_OK) {
    lastMessage_ = "Couldn't close Database";
    return 0;
  }
  lastMessage_ = "OK";
  return 1;
}

int DbLayer::DbExecute(const std::string& sql, sqlite3* db) {
  if (!ready("exec")) return 0;
  if (!db) {
    lastMessage_ = "Wrong Database-Handle";
    return 0;
  }
  char* error = nullptr;
  int rc = api_->exec(db, sql.c_str(), nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    lastMessage_ = takeEngineError(api_, db, error, rc);
    return 0;
  }
  if (error) api_->free(error);
  lastMessage_ = "OK";
  return 1;
}

int DbLayer::DbQuery(const std::string& sql, sqlite3* db, Recordset& rs) {
  resetRecordset(rs);
  if (!ready("get_table")) return 0;
  if (!db) {
    lastMessage_ = "Wrong Database-Handle";
    return 0;
  }
  char** table = nullptr;
  int rows = 0;
  int columns = 0;
  char* error = nullptr;
  int rc = api_->get_table(db, sql.c_str(), &table, &rows, &columns, &error);
  if (rc != SQLITE_OK) {
    if (table) api_->free_table(table);
    lastMessage_ = takeEngineError(api_, db, error, rc);
    return 0;
  }
  if (error) api_->free(error);
  rs.table = table;
  rs.rowCount = rows;
  rs.columnCount = columns;
  rs.currentRow = 1;
  rs.bof = 1;
  rs.eof = rows < 1 ? 1 : 0;
  lastMessage_ = "OK";
  return 1;
}

void DbLayer::RecordsetFirst(Recordset& rs) {
  if (!rs.table) {
    lastMessage_ = "Wrong Recordset-Handle";
    return;
  }
  rs.bof = 1;
  rs.currentRow = 1;
  // On the only row the cursor is already at the end; an empty table has no row at all.
  rs.eof = rs.currentRow >= rs.rowCount ? 1 : 0;
}

void DbLayer::RecordsetNext(Recordset& rs) {
  if (!rs.table) {
    lastMessage_ = "Wrong Recordset-Handle";
    return;
  }
  rs.bof = 0;
  rs.eof = 0;
  rs.currentRow++;
  if (rs.currentRow > rs.rowCount) {
    rs.currentRow = rs.rowCount;
    rs.eof = 1;
  }
  if (rs.currentRow == 1) rs.bof = 1;
}

int DbLayer::readCell(int column, Recordset& rs) {
  // Row 0 holds the column names; a cursor off the data rows has nothing to read.
  if (rs.currentRow < 1 || rs.currentRow > rs.rowCount) {
    lastMessage_ = "Wrong Recordset-Handle";
    return 0;
  }
  const char* cell = rs.table[rs.currentRow * rs.columnCount + column];
  rs.value = cell ? cell : "";
  lastMessage_ = "OK";
  return 1;
}

int DbLayer::RecordsetValueByIndex(int column, Recordset& rs) {
  rs.value.clear();
  if (!rs.table) {
    lastMessage_ = "Wrong Recordset-Handle";
    return 0;
  }
  if (column < 0 || column >= rs.columnCount) {
    lastMessage_ = "No such Columnindex: '" + std::to_string(column) + "'";
    return 0;
  }
  return readCell(column, rs);
}

int DbLayer::RecordsetValueByName(const std::string& column, Recordset& rs) {
  rs.value.clear();
  if (!rs.table) {
    lastMessage_ = "Wrong Recordset-Handle";
    return 0;
  }
  for (int c = 0; c < rs.columnCount; ++c) {
    const char* name = rs.table[c];
    if (name && column == name) return readCell(c, rs);
  }
  lastMessage_ = "No such Columnname: '" + column + "'";
  return 0;
}

void DbLayer::RecordsetRelease(Recordset& rs) {
  if (rs.table) {
    // Without the engine the table cannot be freed; keep it for a later release.
    if (!ready("free_table")) return;
    api_->free_table(rs.table);
  }
  resetRecordset(rs);
  lastMessage_ = "OK";
}

sqlite3_stmt* DbLayer::DbPrepare(sqlite3* db, const std::string& sql) {
  if (!ready("prepare")) return nullptr;
  if (!db) {
    lastMessage_ = "Wrong Database-Handle";
    return nullptr;
  }
  if (sql.empty()) {
    lastMessage_ = "SQL-Query is empty";
    return nullptr;
  }
  sqlite3_stmt* stmt = nullptr;
  int rc = api_->prepare(db, sql.c_str(), -1, &stmt, nullptr);
  DbResultMessage(rc);
  if (rc != SQLITE_OK) {
    if (stmt) api_->finalize(stmt);
    return nullptr;
  }
  // Blanks, a lone ";" or a comment compile to nothing: the engine says OK and hands out no statement.
  if (!stmt) {
    lastMessage_ = "SQL-Query is empty";
    return nullptr;
  }
  openStatements_.emplace_back(stmt, db);
  return stmt;
}

int DbLayer::StmtBindText(sqlite3_stmt* stmt, int index, const std::string* text) {
  if (!ready("bind_text")) return 0;
  if (!stmt) {
    lastMessage_ = "Statement is empty";
    return 0;
  }
  if (index < 1) {
    lastMessage_ = "Index must be greater than 0";
    return 0;
  }
  if (!text) {
    lastMessage_ = "Textbuffer is empty";
    return 0;
  }
  if (text->size() > static_cast<std::size_t>(INT_MAX)) {
    DbResultMessage(SQLITE_TOOBIG);
    return 0;
  }
  int rc = api_->bind_text(stmt, index, text->data(), static_cast<int>(text->size()),
                           SQLITE_TRANSIENT);
  DbResultMessage(rc);
  return rc == SQLITE_OK ? 1 : 0;
}

int DbLayer::StmtBindBlob(sqlite3_stmt* stmt, int index, const void* buffer, int length) {
  if (!ready("bind_blob")) return 0;
  if (!stmt) {
    lastMessage_ = "Statement is empty";
    return 0;
  }
  if (index < 1) {
    lastMessage_ = "Index must be greater than 0";
    return 0;
  }
  if (!buffer) {
    lastMessage_ = "Binarybuffer is empty";
    return 0;
  }
  if (length < 1) {
    lastMessage_ = "Binarybufferlength is empty";
    return 0;
  }
  if (api_->bind_blob(stmt, index, buffer, length, SQLITE_TRANSIENT) != SQLITE_OK) {
    lastMessage_ = "BindBlobError";
    return 0;
  }
  lastMessage_ = "OK";
  return 1;
}

int DbLayer::StmtStep(sqlite3_stmt* stmt) {
  if (!ready("step")) return 0;
  if (!stmt) {
    lastMessage_ = "Statement is empty";
    return 0;
  }
  int rc = api_->step(stmt);
  DbResultMessage(rc);
  return (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE) ? rc : 0;
}

int DbLayer::StmtFinalize(sqlite3_stmt* stmt) {
  if (!ready("finalize")) return 0;
  if (!stmt) {
    lastMessage_ = "Statement is empty";
    return 0;
  }
  const auto open = std::find_if(openStatements_.begin(), openStatements_.end(),
                                 [stmt](const auto& entry) { return entry.first == stmt; });
  if (open == openStatements_.end()) {
    lastMessage_ = "Statement is already finalized";
    return 0;
  }
  openStatements_.erase(open);
  int rc = api_->finalize(stmt);
  DbResultMessage(rc);
  return rc == SQLITE_OK ? 1 : 0;
}

int DbLayer::StmtFinalizeAll(sqlite3* db) {
  if (!ready("finalize")) return 0;
  std::vector<sqlite3_stmt*> of;
  for (const auto& [stmt, owner] : openStatements_)
    if (owner == db) of.push_back(stmt);
  int all = 1;
  std::string failure;
  for (sqlite3_stmt* stmt : of) {
    if (StmtFinalize(stmt) == 0) {
      all = 0;
      failure = lastMessage_;
    }
  }
  lastMessage_ = all == 1 ? "OK" : failure;
  return all;
}

int DbLayer::StmtColumnBytes(sqlite3_stmt* stmt, int column) {
  if (!ready("column_bytes")) return 0;
  if (!stmt) {
    lastMessage_ = "Statement is empty";
    return 0;
  }
  lastMessage_ = "OK";
  return api_->column_bytes(stmt, column);
}

const char* DbLayer::StmtColumnText(sqlite3_stmt* stmt, int column) {
  if (!ready("column_text")) return nullptr;
  if (!stmt) {
    lastMessage_ = "Statement is empty";
    return nullptr;
  }
  lastMessage_ = "OK";
  // A NULL cell reads as the empty text, so callers can always copy the answer.
  const unsigned char* text = api_->column_text(stmt, column);
  return text ? reinterpret_cast<const char*>(text) : "";
}

const void* DbLayer::StmtColumnBlob(sqlite3_stmt* stmt, int column) {
  if (!ready("column_blob")) return nullptr;
  if (!stmt) {
    lastMessage_ = "Statement is empty";
    return nullptr;
  }
  lastMessage_ = "OK";
  return api_->column_blob(stmt, column);
}

std::int64_t DbLayer::DbLastInsertRowId(sqlite3* db) {
  if (!ready("last_insert_rowid")) return 0;
  if (!db) {
    lastMessage_ = "Wrong Database-Handle";
    return 0;
  }
  return api_->last_insert_rowid(db);
}

int DbLayer::StmtBindInt64(sqlite3_stmt* stmt, int index, std::int64_t value) {
  if (!ready("bind_int64")) return 0;
  if (!api_->bind_int64) {
    lastMessage_ = initFailure("bind_int64");
    return 0;
  }
  if (!stmt) {
    lastMessage_ = "Statement is empty";
    return 0;
  }
  const int rc = api_->bind_int64(stmt, index, value);
  DbResultMessage(rc);
  return rc == SQLITE_OK ? 1 : 0;
}

int DbLayer::StmtReset(sqlite3_stmt* stmt) {
  if (!ready("reset")) return 0;
  if (!api_->reset) {
    lastMessage_ = initFailure("reset");
    return 0;
  }
  if (!stmt) {
    lastMessage_ = "Statement is empty";
    return 0;
  }
  const int rc = api_->reset(stmt);
  DbResultMessage(rc);
  return rc == SQLITE_OK ? 1 : 0;
}

bool DbLayer::DbInTransaction(sqlite3* db) {
  return api_ && api_->get_autocommit && db && api_->get_autocommit(db) == 0;
}

sqlite3_blob* DbLayer::BlobOpen(sqlite3* db, const char* database, const char* table, const char* column,
                                std::int64_t row) {
  if (!api_ || !api_->blob_open) {
    lastMessage_ = initFailure("blob_open");
    return nullptr;
  }
  if (!db) {
    lastMessage_ = "Wrong Database-Handle";
    return nullptr;
  }
  sqlite3_blob* blob = nullptr;
  const int rc = api_->blob_open(db, database, table, column, row, 0, &blob);
  if (rc != SQLITE_OK) {
    const char* text = api_->errmsg(db);
    lastMessage_ = text ? std::string(text) : dbResultText(rc & 0xFF);
    if (blob) api_->blob_close(blob);
    return nullptr;
  }
  lastMessage_ = "OK";
  return blob;
}

int DbLayer::BlobReopen(sqlite3_blob* blob, std::int64_t row) {
  if (!api_ || !api_->blob_reopen || !blob) return 0;
  const int rc = api_->blob_reopen(blob, row);
  DbResultMessage(rc);
  return rc == SQLITE_OK ? 1 : 0;
}

int DbLayer::BlobBytes(sqlite3_blob* blob) { return api_ && api_->blob_bytes && blob ? api_->blob_bytes(blob) : 0; }

int DbLayer::BlobRead(sqlite3_blob* blob, std::string& out, int offset, int count) {
  if (!api_ || !api_->blob_read || !blob || count < 0) return 0;
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(count));
  const int rc = count == 0 ? SQLITE_OK : api_->blob_read(blob, &out[at], count, offset);
  DbResultMessage(rc);
  if (rc != SQLITE_OK) out.resize(at);
  return rc == SQLITE_OK ? 1 : 0;
}

void DbLayer::BlobClose(sqlite3_blob* blob) {
  if (api_ && api_->blob_close && blob) api_->blob_close(blob);
}

void DbLayer::DbResultMessage(int code) {
  // Extended codes carry their primary code in the low byte.
  lastMessage_ = dbResultText(code >= 0 ? (code & 0xFF) : code);
}

}  // namespace core
