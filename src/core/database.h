// The database access layer: the only code that talks to the SQLite engine.
// Every operation leaves "OK" or an error text in the layer's last message; callers judge
// success by comparing DbLastMessage() with "OK". Text passes byte for byte in both directions.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_blob;

namespace core {

// The engine's entry points the layer binds. A table with a missing entry is refused by
// DbBindLibrary with the entry's name, so tests can hand it a damaged table.
struct SqliteApi {
  int (*get_table)(sqlite3*, const char*, char***, int*, int*, char**) = nullptr;
  void (*free_table)(char**) = nullptr;
  int (*open)(const char*, sqlite3**) = nullptr;
  int (*close)(sqlite3*) = nullptr;
  int (*exec)(sqlite3*, const char*, int (*)(void*, int, char**, char**), void*, char**) = nullptr;
  int (*prepare)(sqlite3*, const char*, int, sqlite3_stmt**, const char**) = nullptr;
  int (*bind_text)(sqlite3_stmt*, int, const char*, int, void (*)(void*)) = nullptr;
  int (*bind_blob)(sqlite3_stmt*, int, const void*, int, void (*)(void*)) = nullptr;
  int (*step)(sqlite3_stmt*) = nullptr;
  int (*finalize)(sqlite3_stmt*) = nullptr;
  int (*column_bytes)(sqlite3_stmt*, int) = nullptr;
  const unsigned char* (*column_text)(sqlite3_stmt*, int) = nullptr;
  const void* (*column_blob)(sqlite3_stmt*, int) = nullptr;
  std::int64_t (*last_insert_rowid)(sqlite3*) = nullptr;
  const char* (*errmsg)(sqlite3*) = nullptr;
  void (*free)(void*) = nullptr;
  int (*busy_timeout)(sqlite3*, int) = nullptr;
  int (*errcode)(sqlite3*) = nullptr;
  // Optional: the quick paste index binds keys, reuses statements and reads the head of a large text
  // without loading the whole of it.
  int (*bind_int64)(sqlite3_stmt*, int, std::int64_t) = nullptr;
  int (*reset)(sqlite3_stmt*) = nullptr;
  int (*get_autocommit)(sqlite3*) = nullptr;
  int (*blob_open)(sqlite3*, const char*, const char*, const char*, std::int64_t, int, sqlite3_blob**) = nullptr;
  int (*blob_reopen)(sqlite3_blob*, std::int64_t) = nullptr;
  int (*blob_bytes)(sqlite3_blob*) = nullptr;
  int (*blob_read)(sqlite3_blob*, void*, int, int) = nullptr;
  int (*blob_close)(sqlite3_blob*) = nullptr;
};

// The entry points of the linked engine.
const SqliteApi* linkedSqliteApi();

// The whole result table of a query, read row by row.
struct Recordset {
  int bof = 1;
  int eof = 1;
  char** table = nullptr;  // row 0 holds the column names; null makes the recordset unreadable
  int rowCount = 0;
  int columnCount = 0;
  int currentRow = 0;      // 1-based
  std::string value;       // the value of the last successful read
};

class DbLayer {
 public:
  DbLayer() = default;
  DbLayer(const DbLayer&) = delete;
  DbLayer& operator=(const DbLayer&) = delete;

  // Binds (a copy of) the engine's entry points; 1 bound, 0 refused (with the reason in the
  // last message). A refused table leaves the layer unbound.
  int DbBindLibrary(const SqliteApi* api);
  bool bound() const { return api_ != nullptr; }

  sqlite3* DbOpen(const std::string& path);
  sqlite3* DbCreate(const std::string& path, int replace);
  int DbClose(sqlite3* db);
  int DbExecute(const std::string& sql, sqlite3* db);
  int DbQuery(const std::string& sql, sqlite3* db, Recordset& rs);

  void RecordsetFirst(Recordset& rs);
  void RecordsetNext(Recordset& rs);
  int RecordsetValueByIndex(int column, Recordset& rs);
  int RecordsetValueByName(const std::string& column, Recordset& rs);
  void RecordsetRelease(Recordset& rs);

  sqlite3_stmt* DbPrepare(sqlite3* db, const std::string& sql);
  // The text is copied by the engine, so the caller's string may change before the step.
  int StmtBindText(sqlite3_stmt* stmt, int index, const std::string* text);
  int StmtBindBlob(sqlite3_stmt* stmt, int index, const void* buffer, int length);
  int StmtStep(sqlite3_stmt* stmt);
  // Refuses a statement this layer did not prepare or has already finalized: the engine must never
  // see a finalized statement again.
  int StmtFinalize(sqlite3_stmt* stmt);
  // Finalizes every statement of a connection that is still open (a close fails while one is);
  // 1 when all went, 0 with the last failure's message.
  int StmtFinalizeAll(sqlite3* db);
  int StmtColumnBytes(sqlite3_stmt* stmt, int column);
  const char* StmtColumnText(sqlite3_stmt* stmt, int column);
  const void* StmtColumnBlob(sqlite3_stmt* stmt, int column);
  std::int64_t DbLastInsertRowId(sqlite3* db);
  int StmtBindInt64(sqlite3_stmt* stmt, int index, std::int64_t value);
  // Makes a stepped statement ready to step again, its bindings kept; 1 done.
  int StmtReset(sqlite3_stmt* stmt);
  // True while the connection holds a transaction open (BEGIN or a SAVEPOINT not yet released).
  bool DbInTransaction(sqlite3* db);

  // Reading a text or blob cell in pieces, without loading all of it: nullptr when the cell is not
  // there or holds no text (the engine's reason is the last message). A handle is reopened on another
  // row of the same column and must be closed before its connection is.
  sqlite3_blob* BlobOpen(sqlite3* db, const char* database, const char* table, const char* column, std::int64_t row);
  int BlobReopen(sqlite3_blob* blob, std::int64_t row);  // 1 done; 0 leaves the handle fit only to close
  int BlobBytes(sqlite3_blob* blob);
  // Appends `count` bytes from `offset` to `out`; 1 done.
  int BlobRead(sqlite3_blob* blob, std::string& out, int offset, int count);
  void BlobClose(sqlite3_blob* blob);

  const std::string& DbLastMessage() const { return lastMessage_; }
  void DbResultMessage(int code);
  // Puts back the reason of a failure after the clean-up that followed it (a finalize) said "OK".
  void restoreLastMessage(const std::string& message) { lastMessage_ = message; }

  // How long a connection waits for a lock held by another one before it answers "locked".
  void setBusyTimeout(int milliseconds) { busyTimeoutMs_ = milliseconds; }

 private:
  sqlite3* openFile(const std::string& path);
  // False, with "Couldn't init 'sqlite3_<entry>'", while no engine is bound.
  bool ready(const char* entry);
  int readCell(int column, Recordset& rs);

  SqliteApi table_;
  const SqliteApi* api_ = nullptr;  // &table_ once bound
  std::vector<std::pair<sqlite3_stmt*, sqlite3*>> openStatements_;  // prepared, not yet finalized
  std::string lastMessage_ = "OK";
  int busyTimeoutMs_ = 5000;
};

// The text of an engine result code, as DbResultMessage sets it.
std::string dbResultText(int code);

}  // namespace core
