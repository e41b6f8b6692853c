// The database layer against the real engine, in a fresh folder per test.
#include "core/database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

// A refused call answers 0 (or null) and leaves its reason as the last message.
#define EXPECT_REFUSED(call, message) \
  do {                                \
    EXPECT_FALSE(call);               \
    EXPECT_EQ(db.DbLastMessage(), message); \
  } while (0)

namespace {

using core::DbLayer;
using core::Recordset;
using core::SqliteApi;

class DbLayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tandrel-db-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    ASSERT_EQ(db.DbBindLibrary(core::linkedSqliteApi()), 1);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string path(const std::string& name) const { return folder_ + "/" + name; }
  // A new database with one text table, kept open by the test.
  sqlite3* openClips() {
    sqlite3* h = db.DbCreate(path("clips.db"), 0);
    EXPECT_NE(h, nullptr);
    EXPECT_EQ(db.DbExecute("create table t (k integer primary key, s text unique, b blob)", h), 1);
    return h;
  }
  // The first cell of a query's answer.
  std::string scalar(sqlite3* h, const std::string& sql) {
    Recordset rs;
    EXPECT_EQ(db.DbQuery(sql, h, rs), 1);
    EXPECT_EQ(db.RecordsetValueByIndex(0, rs), 1);
    std::string value = rs.value;
    db.RecordsetRelease(rs);
    return value;
  }

  DbLayer db;
  std::string folder_;
};

std::string highBytesAndQuote() {
  std::string s = "it's ";
  for (int c = 0x80; c <= 0xFF; ++c) s += static_cast<char>(c);
  return s;
}

TEST(DbLayerBind, RefusesNullAndNamesTheFirstMissingEntry) {
  DbLayer db;
  EXPECT_REFUSED(db.DbBindLibrary(nullptr), "Invalid Pointer!");
  const SqliteApi api = *core::linkedSqliteApi();
  ASSERT_EQ(db.DbBindLibrary(&api), 1);

  // The five required entries are checked in this order; fill them in one by one.
  SqliteApi damaged = api;
  damaged.get_table = nullptr;
  damaged.free_table = nullptr;
  damaged.open = nullptr;
  damaged.close = nullptr;
  damaged.exec = nullptr;
  EXPECT_REFUSED(db.DbBindLibrary(&damaged), "Couldn't init 'sqlite3_get_table'");
  damaged.get_table = api.get_table;
  EXPECT_REFUSED(db.DbBindLibrary(&damaged), "Couldn't init 'sqlite3_free_table'");
  damaged.free_table = api.free_table;
  EXPECT_REFUSED(db.DbBindLibrary(&damaged), "Couldn't init 'sqlite3_open'");
  damaged.open = api.open;
  EXPECT_REFUSED(db.DbBindLibrary(&damaged), "Couldn't init 'sqlite3_close'");
  damaged.close = api.close;
  EXPECT_REFUSED(db.DbBindLibrary(&damaged), "Couldn't init 'sqlite3_exec'");
  EXPECT_FALSE(db.bound());  // a refused table also drops the one bound before

  // The entries the layer calls later are required too, or a later call would crash.
  damaged = api;
  damaged.step = nullptr;
  EXPECT_REFUSED(db.DbBindLibrary(&damaged), "Couldn't init 'sqlite3_step'");
  damaged = api;
  damaged.free = nullptr;
  EXPECT_REFUSED(db.DbBindLibrary(&damaged), "Couldn't init 'sqlite3_free'");
}

TEST(DbLayerBind, UnboundLayerFailsEveryOperationSafely) {
  DbLayer db;
  Recordset rs;
  std::string text = "x";
  char byte = 0;
  EXPECT_REFUSED(db.DbOpen("/tmp"), "Couldn't init 'sqlite3_open'");
  EXPECT_REFUSED(db.DbCreate("/tmp/never-made.db", 1), "Couldn't init 'sqlite3_open'");
  EXPECT_REFUSED(db.DbClose(nullptr), "Couldn't init 'sqlite3_close'");
  EXPECT_REFUSED(db.DbExecute("select 1", nullptr), "Couldn't init 'sqlite3_exec'");
  EXPECT_REFUSED(db.DbQuery("select 1", nullptr, rs), "Couldn't init 'sqlite3_get_table'");
  EXPECT_REFUSED(db.DbPrepare(nullptr, "select 1"), "Couldn't init 'sqlite3_prepare'");
  EXPECT_REFUSED(db.StmtBindText(nullptr, 1, &text), "Couldn't init 'sqlite3_bind_text'");
  EXPECT_REFUSED(db.StmtBindBlob(nullptr, 1, &byte, 1), "Couldn't init 'sqlite3_bind_blob'");
  EXPECT_REFUSED(db.StmtStep(nullptr), "Couldn't init 'sqlite3_step'");
  EXPECT_REFUSED(db.StmtFinalize(nullptr), "Couldn't init 'sqlite3_finalize'");
  EXPECT_REFUSED(db.StmtColumnText(nullptr, 0), "Couldn't init 'sqlite3_column_text'");
  EXPECT_REFUSED(db.DbLastInsertRowId(nullptr), "Couldn't init 'sqlite3_last_insert_rowid'");
  EXPECT_FALSE(std::filesystem::exists("/tmp/never-made.db"));
}

TEST_F(DbLayerTest, BindingKeepsTheLastMessageAndRebindingReplacesTheTable) {
  EXPECT_REFUSED(db.DbOpen(path("missing.db")), "Database doesn't exists");
  EXPECT_FALSE(std::filesystem::exists(path("missing.db")));

  SqliteApi refusing = *core::linkedSqliteApi();
  refusing.open = [](const char*, sqlite3** out) { *out = nullptr; return SQLITE_CANTOPEN; };
  ASSERT_EQ(db.DbBindLibrary(&refusing), 1);
  EXPECT_EQ(db.DbLastMessage(), "Database doesn't exists");
  sqlite3* h = db.DbCreate(path("a.db"), 0);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(db.DbLastMessage(), "Couldn't create database");

  ASSERT_EQ(db.DbBindLibrary(core::linkedSqliteApi()), 1);
  h = db.DbCreate(path("a.db"), 0);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(db.DbLastMessage(), "OK");
  EXPECT_EQ(db.DbClose(h), 1);
}

TEST_F(DbLayerTest, CreateReplacesAnExistingFileOnlyWhenAskedWithOne) {
  sqlite3* h = openClips();
  ASSERT_EQ(db.DbClose(h), 1);
  ASSERT_TRUE(std::filesystem::exists(path("clips.db")));

  for (int replace : {0, 2}) {
    EXPECT_REFUSED(db.DbCreate(path("clips.db"), replace), "OK");  // left as the close set it
  }
  const std::string tables = "select count(*) from sqlite_master where name = 't'";
  h = db.DbOpen(path("clips.db"));
  EXPECT_EQ(scalar(h, tables), "1");
  ASSERT_EQ(db.DbClose(h), 1);

  h = db.DbCreate(path("clips.db"), 1);
  EXPECT_EQ(scalar(h, tables), "0");
  EXPECT_EQ(db.DbClose(h), 1);

  EXPECT_REFUSED(db.DbCreate(path("no-such-folder/x.db"), 0), "Couldn't create database");
}

TEST_F(DbLayerTest, NullHandlesAndStatementsAreRefused) {
  Recordset rs;
  std::string text = "x";
  char byte = 0;
  EXPECT_REFUSED(db.DbClose(nullptr), "Wrong Database-Handle");
  EXPECT_REFUSED(db.DbExecute("select 1", nullptr), "Wrong Database-Handle");
  EXPECT_REFUSED(db.DbQuery("select 1", nullptr, rs), "Wrong Database-Handle");
  EXPECT_REFUSED(db.DbPrepare(nullptr, "select 1"), "Wrong Database-Handle");
  EXPECT_REFUSED(db.DbLastInsertRowId(nullptr), "Wrong Database-Handle");
  EXPECT_REFUSED(db.StmtBindText(nullptr, 1, &text), "Statement is empty");
  EXPECT_REFUSED(db.StmtBindBlob(nullptr, 1, &byte, 1), "Statement is empty");
  EXPECT_REFUSED(db.StmtStep(nullptr), "Statement is empty");
  EXPECT_REFUSED(db.StmtFinalize(nullptr), "Statement is empty");
  EXPECT_REFUSED(db.StmtColumnBytes(nullptr, 0), "Statement is empty");
  EXPECT_REFUSED(db.StmtColumnText(nullptr, 0), "Statement is empty");
  EXPECT_REFUSED(db.StmtColumnBlob(nullptr, 0), "Statement is empty");
}

TEST_F(DbLayerTest, CloseFailsWhileAStatementIsOpen) {
  sqlite3* h = openClips();
  sqlite3_stmt* st = db.DbPrepare(h, "select * from t");
  ASSERT_NE(st, nullptr);
  EXPECT_REFUSED(db.DbClose(h), "Couldn't close Database");
  EXPECT_EQ(db.StmtFinalize(st), 1);
  EXPECT_EQ(db.DbClose(h), 1);
  EXPECT_EQ(db.DbLastMessage(), "OK");
}

std::atomic<int> finalizeCalls{0};
int countingFinalize(sqlite3_stmt* stmt) {
  ++finalizeCalls;
  return sqlite3_finalize(stmt);
}

// A finalized statement is gone: handing it to the engine again would touch freed memory.
TEST_F(DbLayerTest, AStatementIsFinalizedOnceAndOpenOnesCanAllBeFinalized) {
  SqliteApi counting = *core::linkedSqliteApi();
  counting.finalize = countingFinalize;
  ASSERT_EQ(db.DbBindLibrary(&counting), 1);
  sqlite3* h = openClips();
  sqlite3* other = db.DbCreate(path("other.db"), 0);
  ASSERT_NE(other, nullptr);
  finalizeCalls = 0;
  sqlite3_stmt* once = db.DbPrepare(h, "select * from t");
  EXPECT_EQ(db.StmtFinalize(once), 1);
  EXPECT_REFUSED(db.StmtFinalize(once), "Statement is already finalized");
  EXPECT_EQ(finalizeCalls, 1);

  db.DbPrepare(h, "select 1");
  db.DbPrepare(h, "select 2");
  sqlite3_stmt* elsewhere = db.DbPrepare(other, "select 3");
  EXPECT_EQ(db.StmtFinalizeAll(h), 1);
  EXPECT_EQ(finalizeCalls, 3);
  EXPECT_EQ(db.DbClose(h), 1);
  // Only the statements of that connection went.
  EXPECT_REFUSED(db.DbClose(other), "Couldn't close Database");
  EXPECT_EQ(db.StmtFinalize(elsewhere), 1);
  EXPECT_EQ(db.DbClose(other), 1);
}

TEST_F(DbLayerTest, EngineErrorsAndEmptyResults) {
  sqlite3* h = openClips();
  Recordset rs;
  EXPECT_REFUSED(db.DbExecute("delete from nope", h), "no such table: nope");
  EXPECT_REFUSED(db.DbQuery("select * from nope", h, rs), "no such table: nope");
  EXPECT_REFUSED(db.DbPrepare(h, ""), "SQL-Query is empty");
  EXPECT_REFUSED(db.DbPrepare(h, "  ; -- only a comment"), "SQL-Query is empty");
  EXPECT_REFUSED(db.DbPrepare(h, "selec nothing"), "SQL error Or missing database");

  ASSERT_EQ(db.DbQuery("select * from t where k = '7'", h, rs), 1);
  EXPECT_EQ(rs.rowCount, 0);
  EXPECT_EQ(rs.eof, 1);
  EXPECT_REFUSED(db.RecordsetValueByName("s", rs), "No such Columnname: 's'");
  db.RecordsetRelease(rs);
  EXPECT_EQ(db.DbClose(h), 1);
}

TEST_F(DbLayerTest, RecordsetWalkAndReads) {
  sqlite3* h = openClips();
  ASSERT_EQ(db.DbExecute("insert into t (s) values ('a'); insert into t (s) values (NULL);"
                         "insert into t (s) values ('c')", h), 1);
  Recordset rs;
  ASSERT_EQ(db.DbQuery("select k, s from t order by k", h, rs), 1);
  EXPECT_EQ(rs.rowCount, 3);
  EXPECT_EQ(rs.columnCount, 2);
  EXPECT_EQ(rs.eof, 0);
  std::vector<std::string> seen;
  for (int row = 1; row <= rs.rowCount; ++row) {
    EXPECT_EQ(db.RecordsetValueByName("s", rs), 1);
    seen.push_back(rs.value);
    db.RecordsetNext(rs);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "", "c"}));
  EXPECT_EQ(rs.eof, 1);
  EXPECT_EQ(rs.currentRow, 3);

  db.RecordsetFirst(rs);
  EXPECT_EQ(rs.bof, 1);
  EXPECT_EQ(rs.eof, 0);
  EXPECT_EQ(db.RecordsetValueByIndex(0, rs), 1);
  EXPECT_EQ(rs.value, "1");
  EXPECT_REFUSED(db.RecordsetValueByName("S", rs), "No such Columnname: 'S'");

  for (int bad : {-1, 2}) {
    ASSERT_EQ(db.RecordsetValueByIndex(0, rs), 1);
    EXPECT_REFUSED(db.RecordsetValueByIndex(bad, rs),
                   "No such Columnindex: '" + std::to_string(bad) + "'");
    EXPECT_EQ(rs.value, "");
  }

  db.RecordsetRelease(rs);
  EXPECT_EQ(rs.table, nullptr);
  EXPECT_EQ(rs.rowCount, 0);
  EXPECT_EQ(db.DbLastMessage(), "OK");
  db.RecordsetNext(rs);
  EXPECT_EQ(db.DbLastMessage(), "Wrong Recordset-Handle");
  EXPECT_REFUSED(db.RecordsetValueByIndex(0, rs), "Wrong Recordset-Handle");
  EXPECT_REFUSED(db.RecordsetValueByName("s", rs), "Wrong Recordset-Handle");

  // On a single row, going to the first row is already the end.
  ASSERT_EQ(db.DbQuery("select s from t where k = 1", h, rs), 1);
  db.RecordsetFirst(rs);
  EXPECT_EQ(rs.bof, 1);
  EXPECT_EQ(rs.eof, 1);
  EXPECT_EQ(db.RecordsetValueByIndex(0, rs), 1);
  EXPECT_EQ(rs.value, "a");
  db.RecordsetRelease(rs);
  EXPECT_EQ(db.DbClose(h), 1);
}

TEST_F(DbLayerTest, HighBytesAndQuotesRoundTripThroughSqlText) {
  sqlite3* h = openClips();
  std::string text = highBytesAndQuote();
  std::string literal;
  for (char c : text) literal += c == '\'' ? std::string("''") : std::string(1, c);
  ASSERT_EQ(db.DbExecute("insert into t (s) values ('" + literal + "')", h), 1);
  EXPECT_EQ(scalar(h, "select s from t where s = '" + literal + "'"), text);
  EXPECT_EQ(db.DbClose(h), 1);
}

TEST_F(DbLayerTest, BoundTextAndBlobRoundTripByteForByte) {
  sqlite3* h = openClips();
  std::string text = highBytesAndQuote() + std::string("\0tail", 5);
  const std::string original = text;
  const char blob[] = {0, 1, '\xFF', 0};
  sqlite3_stmt* st = db.DbPrepare(h, "insert into t (s, b) values (?, ?)");
  ASSERT_NE(st, nullptr);
  ASSERT_EQ(db.StmtBindText(st, 1, &text), 1);
  ASSERT_EQ(db.StmtBindBlob(st, 2, blob, sizeof blob), 1);
  text.assign("changed before the step");
  EXPECT_EQ(db.StmtStep(st), 101);
  EXPECT_EQ(db.DbLastMessage(), "sqlite_step() has finished executing");
  EXPECT_EQ(db.StmtFinalize(st), 1);
  EXPECT_EQ(db.DbLastMessage(), "OK");
  EXPECT_EQ(db.DbLastInsertRowId(h), 1);

  st = db.DbPrepare(h, "select s, b from t");
  ASSERT_NE(st, nullptr);
  EXPECT_EQ(db.StmtStep(st), 100);
  EXPECT_EQ(db.DbLastMessage(), "sqlite_step() has another Row ready");
  const char* stored = db.StmtColumnText(st, 0);
  EXPECT_EQ(std::string(stored, db.StmtColumnBytes(st, 0)), original);
  const void* storedBlob = db.StmtColumnBlob(st, 1);
  ASSERT_EQ(db.StmtColumnBytes(st, 1), static_cast<int>(sizeof blob));
  EXPECT_EQ(std::string(static_cast<const char*>(storedBlob), sizeof blob),
            std::string(blob, sizeof blob));
  EXPECT_EQ(db.StmtFinalize(st), 1);
  EXPECT_EQ(db.DbClose(h), 1);
}

TEST_F(DbLayerTest, BindRefusals) {
  sqlite3* h = openClips();
  sqlite3_stmt* st = db.DbPrepare(h, "insert into t (s, b) values (?, ?)");
  ASSERT_NE(st, nullptr);
  std::string text = "x";
  char byte = 1;
  EXPECT_REFUSED(db.StmtBindText(st, 0, &text), "Index must be greater than 0");
  EXPECT_REFUSED(db.StmtBindBlob(st, 0, &byte, 1), "Index must be greater than 0");
  EXPECT_REFUSED(db.StmtBindText(st, 1, nullptr), "Textbuffer is empty");
  EXPECT_REFUSED(db.StmtBindBlob(st, 2, nullptr, 1), "Binarybuffer is empty");
  EXPECT_REFUSED(db.StmtBindBlob(st, 2, &byte, 0), "Binarybufferlength is empty");
  EXPECT_REFUSED(db.StmtBindBlob(st, 9, &byte, 1), "BindBlobError");
  EXPECT_EQ(db.StmtFinalize(st), 1);
  EXPECT_EQ(db.DbClose(h), 1);
}

TEST_F(DbLayerTest, FailedStepIsReportedAgainByFinalize) {
  sqlite3* h = openClips();
  ASSERT_EQ(db.DbExecute("insert into t (s) values ('dup')", h), 1);
  sqlite3_stmt* st = db.DbPrepare(h, "insert into t (s) values ('dup')");
  ASSERT_NE(st, nullptr);
  EXPECT_REFUSED(db.StmtStep(st), "abort due To contraint violation");
  EXPECT_REFUSED(db.StmtFinalize(st), "abort due To contraint violation");
  EXPECT_EQ(db.DbClose(h), 1);
}

TEST_F(DbLayerTest, LockedDatabase) {
  sqlite3* h = openClips();
  db.setBusyTimeout(50);
  sqlite3* quick = db.DbOpen(path("clips.db"));
  ASSERT_NE(quick, nullptr);
  sqlite3_stmt* st = db.DbPrepare(quick, "insert into t (s) values ('x')");
  ASSERT_NE(st, nullptr);

  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path("clips.db").c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_REFUSED(db.StmtStep(st), "The database file is locked");
  EXPECT_REFUSED(db.StmtFinalize(st), "The database file is locked");
  EXPECT_EQ(db.DbClose(quick), 1);

  // With the default wait, a lock released soon is waited for rather than reported.
  std::thread releaser([other] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  });
  EXPECT_EQ(db.DbExecute("insert into t (s) values ('y')", h), 1);
  EXPECT_EQ(db.DbLastMessage(), "OK");
  releaser.join();
  sqlite3_close(other);
  EXPECT_EQ(db.DbClose(h), 1);
}

TEST(DbLayerResult, TextsOfResultCodes) {
  EXPECT_EQ(core::dbResultText(0), "OK");
  EXPECT_EQ(core::dbResultText(17), "he database schema changed");
  EXPECT_EQ(core::dbResultText(23), "Authorization denied");
  EXPECT_EQ(core::dbResultText(42), "Unknown Error (No. 42)");
  DbLayer db;
  db.DbResultMessage(42);
  EXPECT_EQ(db.DbLastMessage(), "Unknown Error (No. 42)");
  db.DbResultMessage(SQLITE_BUSY_SNAPSHOT);
  EXPECT_EQ(db.DbLastMessage(), "The database file is locked");
}

}  // namespace
