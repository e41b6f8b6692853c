// Clip records as the user finds them again: what an insert stores, what every read gives back,
// what no quote can widen, and what a failed write tells the user.
#include "ops/set_commands.h"
#include "platform/text_encoding.h"
#include "store/clip_store.h"
#include "store/sets.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "core/log.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "store/clip_database.h"
#include "store/old_format.h"
#include "support/sim_fixture.h"
#include "ui/gadgets.h"

using namespace testing_support;

namespace {

const std::string now = "2026-12-08  14:03:59";
const std::string highBytes = "caf\xE9 \x99";
const std::string finalizeMessage = "Unable to finalize Database transaction. Please notify the Tandrel support team";

// An engine whose busy handler waits the layer's five seconds, on the simulated clock, while
// another program holds the file until `lockedUntil`.
std::uint32_t lockedUntil = 0;
int lockedStep(sqlite3_stmt* stmt) {
  if (platform::tickCount() < lockedUntil) {
    platform::sleep(static_cast<int>(std::min<std::uint32_t>(5000, lockedUntil - platform::tickCount())));
    if (platform::tickCount() < lockedUntil) return SQLITE_BUSY;
  }
  return sqlite3_step(stmt);
}
int openReadOnly(const char* path, sqlite3** db) { return sqlite3_open_v2(path, db, SQLITE_OPEN_READONLY, nullptr); }

// Another program's connection holding the whole file.
struct ExclusiveLock {
  explicit ExclusiveLock(const std::string& hostPath) {
    sqlite3_open(hostPath.c_str(), &db);
    EXPECT_EQ(sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  }
  void release() {
    if (db != nullptr) sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    db = nullptr;
  }
  ~ExclusiveLock() { release(); }
  sqlite3* db = nullptr;
};

class ClipStoreTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    core::Program& p = *program;
    prepareStore();
    ASSERT_TRUE(core::openLog(p));
    p.captureTime = now;
    ASSERT_TRUE(store::openClipDatabase(p));
    ops::InitClipStore(p);
  }
  void TearDown() override {
    if (program->databaseHandle != nullptr) program->db.DbClose(program->databaseHandle);
    core::closeLog(*program);
    SimTest::TearDown();
  }

  std::int64_t store(const std::string& text, const std::string& note = "", const std::string& source = "",
                     const std::string& set = "") {
    core::ClipRecord& r = program->clip;
    r = core::ClipRecord{};
    r.cText = text;
    r.cNote = note;
    r.cSource = source;
    r.cSet = set;
    EXPECT_EQ(store::WriteClipDB(*program), 1);
    return program->lastKey;
  }
  void select(std::int64_t key) { program->currentKey = std::to_string(key); }
  // ReadClip works on a listed set, as the content view does.
  int readClip(std::int64_t key) {
    ops::LoadActiveSet(*program);
    select(key);
    return store::ReadClip(*program);
  }
  void reopen(int busyTimeoutMs) {
    program->db.setBusyTimeout(busyTimeoutMs);
    program->db.DbClose(program->databaseHandle);
    program->databaseHandle = program->db.DbOpen(program->paths.databasePath);
    ASSERT_NE(program->databaseHandle, nullptr);
    ops::LoadActiveSet(*program);  // the schema is read now, before any lock
  }
  std::string databaseHost() const { return desktop.hostPath(program->paths.databasePath); }
  std::vector<std::string> log() {
    core::flushLog(*program);
    return logLines();
  }
  std::string count(const std::string& where = "1") { return query("select count(*) from cTbl where " + where)[0][0]; }
  std::string statusLine() { return desktop.gadgets[ui::gadgetStatusLine].text; }

  // A write that fails is told to the user, logged and never counted as stored; the status line is
  // its caller's to mark.
  void expectWriteFailureReported(const std::string& engineMessage, const std::string& text = "lost clip") {
    program->lastKey = 41;
    program->currentKey = "12";
    desktop.answerNext(platform::IDOK);
    program->clip = core::ClipRecord{};
    program->clip.cText = text;
    EXPECT_EQ(store::WriteClipDB(*program), 0);
    EXPECT_EQ(program->lastKey, 41);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].title, "Tandrel");
    EXPECT_EQ(desktop.messageBoxes[0].text, finalizeMessage);
    const auto lines = log();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        now + " 4994 WriteClipDB Return Value For failed sql write was 0key = 12" + engineMessage),
              lines.end());
    EXPECT_EQ(statusLine(), "td_clips");
  }
};

TEST_F(ClipStoreTest, InsertStoresBlanksFixedFlagsAndNoImageWithoutABuffer) {
  core::Program& p = *program;
  p.settings.saveHtml = 0;
  p.capture.richTextFlag = p.capture.richTextRead = 1;
  p.clip = core::ClipRecord{};
  p.clip.cText = "text";
  p.clip.cRTF = "{\\rtf1 rich}";
  p.clip.cImageSW = "Y";
  p.clip.cHTML = "<b>x</b>";
  ASSERT_EQ(store::WriteClipDB(p), 1);
  EXPECT_EQ(query("select cDate, cSet, cRTFsw, cHTMLsw, cImageSW, cSource, cNote, cText, cRTF, cHTML, "
                  "typeof(cImage) from cTbl where cKey = " + std::to_string(p.lastKey)),
            (Rows{{now, "td_clips", "N", "N", "N", " ", " ", "text", " ", " ", "null"}}));

  // With SaveHTML on the rich text is kept.
  p.settings.saveHtml = 1;
  p.clip = core::ClipRecord{};
  p.clip.cText = "text";
  p.clip.cRTF = "{\\rtf1 rich}";
  ASSERT_EQ(store::WriteClipDB(p), 1);
  EXPECT_EQ(query("select cRTFsw, cRTF from cTbl where cKey = " + std::to_string(p.lastKey)),
            (Rows{{"Y", "{\\rtf1 rich}"}}));
}

TEST_F(ClipStoreTest, ImageBytesComeBackIdenticalAndTheOwnedBufferIsFreed) {
  core::Program& p = *program;
  const std::string image("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\xFF", 17);
  p.clip = core::ClipRecord{};
  p.clip.cText = "Image 1";
  p.clip.cImageSW = "Y";
  p.clip.image = image;
  p.clip.imageOwned = true;
  ASSERT_EQ(store::WriteClipDB(p), 1);
  EXPECT_TRUE(p.clip.image.empty());
  EXPECT_FALSE(p.clip.imageOwned);
  ASSERT_EQ(readClip(p.lastKey), 1);
  EXPECT_EQ(p.clip.cImageSW, "Y");
  EXPECT_EQ(p.clip.image, image);
}

TEST_F(ClipStoreTest, ReadOfAMissingKeyAnswersZero) {
  const std::int64_t key = store("present");
  EXPECT_EQ(readClip(key + 1), 0);
  EXPECT_EQ(store::ReadClipFields(*program), 0);
  EXPECT_EQ(readClip(key), 1);
  EXPECT_EQ(program->clip.cText, "present");
}

TEST_F(ClipStoreTest, HighBytesComeBackIdenticalByEveryPath) {
  core::Program& p = *program;
  const std::int64_t key = store("text " + highBytes, "note " + highBytes, "source " + highBytes);

  ASSERT_EQ(readClip(key), 1);
  EXPECT_EQ(p.clip.cText, "text " + highBytes);
  EXPECT_EQ(p.clip.cNote, "note " + highBytes);
  EXPECT_EQ(p.clip.cSource, "source " + highBytes);
  ASSERT_EQ(store::ReadClipFields(p), 1);
  EXPECT_EQ(p.editCopy.text, platform::ansiToUtf8("text " + highBytes));  // the logic's form
  EXPECT_EQ(p.editCopy.note, "note " + highBytes);
  EXPECT_EQ(p.editCopy.source, "source " + highBytes);
  ops::LoadActiveSet(p);
  ASSERT_EQ(p.view.rows.size(), 1u);
  EXPECT_EQ(p.view.rows[0].preview, "text " + highBytes);
  EXPECT_EQ(p.view.rows[0].note, "note " + highBytes);
  EXPECT_EQ(p.view.rows[0].source, "source " + highBytes);

  // The paths that place the value in SQL text.
  store::UpdateClipText(p, platform::ansiToUtf8("it's " + highBytes));
  EXPECT_EQ(query("select cText from cTbl"), (Rows{{"it's " + highBytes}}));
  EXPECT_EQ(store::MoveClip(p, highBytes), 0);
  EXPECT_EQ(query("select cSet from cTbl"), (Rows{{highBytes}}));
  p.settings.activeSetName = highBytes;
  ops::InitClipStore(p);
  EXPECT_EQ(query("select setName from Sets where setName = '" + highBytes + "'"),
            (Rows{{highBytes}}));
  ASSERT_EQ(p.view.rows.size(), 1u);
  EXPECT_EQ(p.view.rows[0].preview, "it's " + highBytes);
}

TEST_F(ClipStoreTest, ExactTextIsKeptBesideItsClipOnlyWhereTheAnsiTextLosesIt) {
  core::Program& p = *program;
  const std::string hello = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";  // six Cyrillic letters
  const std::string window = "\xD0\x9E\xD0\xBA\xD0\xBD\xD0\xBE";                  // four
  const auto write = [&](const std::string& text, const std::string& exact, const std::string& source,
                         const std::string& exactSource) {
    p.clip = core::ClipRecord{};
    p.clip.cText = text;
    p.clip.exactText = exact;
    p.clip.cSource = source;
    p.clip.exactSource = exactSource;
    EXPECT_EQ(store::WriteClipDB(p), 1);
    return std::to_string(p.lastKey);
  };
  const auto sideRows = [&] { return query("select cKey, ifnull(eText, '-'), ifnull(eSource, '-') from cExact order by cKey"); };

  const std::string fits = write("caf\xE9", "caf\xC3\xA9", "Editor", "Editor");
  const std::string lost = write("??????", hello, "????", window);
  const std::string sourceFits = write("??????", hello, "Editor", "Editor");
  EXPECT_EQ(sideRows(), (Rows{{lost, hello, window}, {sourceFits, hello, "-"}}));
  ASSERT_EQ(readClip(std::stoll(lost)), 1);
  EXPECT_EQ(p.clip.cText, "??????");
  EXPECT_EQ(p.clip.exactText, hello);
  EXPECT_EQ(p.clip.exactSource, window);
  ASSERT_EQ(readClip(std::stoll(fits)), 1);
  EXPECT_EQ(p.clip.cText, "caf\xE9");
  EXPECT_EQ(p.clip.exactText + p.clip.exactSource, "");

  // Written in the caller's transaction: given up with it.
  store::BeginBatch(p);
  write("??", hello.substr(0, 4), "", "");
  store::RollBackBatch(p);
  EXPECT_EQ(sideRows().size(), 2u);

  // A path that changes cText alone (an older release's) leaves a row that no longer matches: it is
  // not used.
  query("UPDATE cTbl SET cText = 'edited' WHERE cKey = " + sourceFits);
  ASSERT_EQ(readClip(std::stoll(sourceFits)), 1);
  EXPECT_EQ(p.clip.cText, "edited");
  EXPECT_EQ(p.clip.exactText, "");
  // Our own update of a text writes, changes or removes the row with it, keeping the exact source.
  select(std::stoll(fits));
  ASSERT_EQ(store::UpdateClipText(p, hello), 1);
  select(std::stoll(lost));
  ASSERT_EQ(store::UpdateClipText(p, "plain"), 1);
  EXPECT_EQ(sideRows(), (Rows{{fits, hello, "-"}, {lost, "-", window}, {sourceFits, hello, "-"}}));
  ASSERT_EQ(readClip(std::stoll(fits)), 1);
  EXPECT_EQ(p.clip.exactText, hello);

  // A deleted clip takes its row along.
  select(std::stoll(lost));
  store::DeleteClip(p);
  EXPECT_EQ(sideRows(), (Rows{{fits, hello, "-"}, {sourceFits, hello, "-"}}));

  // A file from before the side table opens as before and gets it; its version stays.
  p.db.DbClose(p.databaseHandle);
  p.databaseHandle = nullptr;
  query("DROP TRIGGER cExactDelete");
  query("DROP TABLE cExact");
  const Rows version = query("PRAGMA user_version");
  ASSERT_TRUE(store::openClipDatabase(p));
  ops::InitClipStore(p);
  EXPECT_EQ(query("select type, name from sqlite_master where name like 'cExact%' order by name"),
            (Rows{{"table", "cExact"}, {"trigger", "cExactDelete"}}));
  EXPECT_EQ(query("PRAGMA user_version"), version);
  EXPECT_EQ(version, (Rows{{"1"}}));
}

TEST_F(ClipStoreTest, QuotesNeitherBreakNorWidenAStatement) {
  core::Program& p = *program;
  const std::int64_t first = store("one"), second = store("two");
  store("three");

  select(first);
  store::UpdateClipText(p, "it's");
  EXPECT_EQ(query("select cText from cTbl where cKey = " + std::to_string(first)), (Rows{{"it's"}}));
  select(second);
  EXPECT_EQ(store::MoveClip(p, "it's"), 0);
  EXPECT_EQ(query("select cKey from cTbl where cSet = 'it''s'"), (Rows{{std::to_string(second)}}));
  p.settings.activeSetName = "it's";
  ops::InitClipStore(p);
  EXPECT_EQ(query("select count(*) from Sets where setName = 'it''s'"), (Rows{{"1"}}));
  EXPECT_EQ(p.view.rows.size(), 1u);

  p.currentKey = "1' OR '1'='1";
  store::DeleteClip(p);
  EXPECT_EQ(store::MoveClip(p, "td_trash"), 0);
  store::UpdateClipText(p, "gone");
  EXPECT_EQ(store::ReadClipFields(p), 0);
  EXPECT_EQ(count(), "3");
  EXPECT_EQ(count("cSet = 'td_trash' or cText = 'gone'"), "0");
  EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(ClipStoreTest, MoveToTheTrashDeletesOnlyWhenTheTrashIsShown) {
  core::Program& p = *program;
  select(store("kept"));
  EXPECT_EQ(store::MoveClip(p, "td_trash"), 0);
  EXPECT_EQ(query("select cSet from cTbl where cKey = " + p.currentKey), (Rows{{"td_trash"}}));

  p.settings.activeSetName = "td_trash";
  EXPECT_EQ(store::MoveClip(p, "td_trash"), 1);
  EXPECT_EQ(count(), "0");
}

TEST_F(ClipStoreTest, AnotherInitKeepsOneRowPerStandardSetAndTheClips) {
  store("clip");
  ops::InitClipStore(*program);
  ops::InitClipStore(*program);
  EXPECT_EQ(query("select setName from Sets order by setID"), (Rows{{"td_clips"}, {"td_trash"}}));
  EXPECT_EQ(count(), "1");
  EXPECT_EQ(program->view.rows.size(), 1u);
  EXPECT_TRUE(exists(dataFolder + "sets\\td_trash"));
}

TEST_F(ClipStoreTest, WriteToAReadOnlyDatabaseIsReported) {
  ASSERT_EQ(chmod(databaseHost().c_str(), 0444), 0);
  // Root writes through any file mode, so then the engine opens the file read-only itself.
  core::SqliteApi readOnly = *core::linkedSqliteApi();
  readOnly.open = openReadOnly;
  if (geteuid() == 0) ASSERT_EQ(program->db.DbBindLibrary(&readOnly), 1);
  reopen(20);
  expectWriteFailureReported("Attempt To write A readonly database");
  EXPECT_EQ(count(), "0");
}

TEST_F(ClipStoreTest, WriteToALockedDatabaseIsReported) {
  ExclusiveLock other(databaseHost());
  expectWriteFailureReported("The database file is locked");
  other.release();
  EXPECT_EQ(count(), "0");
}

TEST_F(ClipStoreTest, WriteToAFullDatabaseIsReported) {
  ASSERT_EQ(program->db.DbExecute("PRAGMA max_page_count = 1", program->databaseHandle), 1);
  expectWriteFailureReported("Insertion failed because database is full", std::string(64 * 1024, 'x'));
  EXPECT_EQ(count(), "0");
}

TEST_F(ClipStoreTest, RefusedBindOrPrepareStoresNothingAndGivesTheEnginesReason) {
  // A text longer than the engine takes is refused at its bind; unchecked, the clip would be stored
  // with a NULL text.
  sqlite3_limit(program->databaseHandle, SQLITE_LIMIT_LENGTH, 200);
  expectWriteFailureReported("Too much Data For one Row of A table", std::string(300, 'x'));
  EXPECT_EQ(count(), "0");

  desktop.messageBoxes.clear();
  ASSERT_EQ(program->db.DbExecute("DROP TABLE cTbl", program->databaseHandle), 1);
  expectWriteFailureReported("SQL error Or missing database");
}

TEST_F(ClipStoreTest, RefusedEditIsNotSavedAndTheOldClipStays) {
  core::Program& p = *program;
  const std::int64_t old = store("before");
  ops::LoadActiveSet(p);
  select(old);
  ASSERT_EQ(store::ReadClipFields(p), 1);
  sqlite3_limit(p.databaseHandle, SQLITE_LIMIT_LENGTH, 200);
  EXPECT_EQ(store::SaveEditedClip(p, std::string(300, 'y'), "", false), 0);
  EXPECT_EQ(p.db.DbLastMessage(), "Too much Data For one Row of A table");
  EXPECT_EQ(query("select cKey, cSet, cText from cTbl"), (Rows{{std::to_string(old), "td_clips", "before"}}));
  EXPECT_EQ(p.lastKey, old);

  ASSERT_EQ(p.db.DbExecute("DROP TABLE cTbl", p.databaseHandle), 1);
  EXPECT_EQ(store::SaveEditedClip(p, "after", "", false), 0);
  EXPECT_EQ(p.db.DbLastMessage(), "SQL error Or missing database");
}

TEST_F(ClipStoreTest, UpdatesLeaveTheKeyOfTheLastInsert) {
  core::Program& p = *program;
  const std::int64_t first = store("first");
  store("second");
  p.lastKey = 77;  // an UPDATE inserts nothing, so nothing may replace this
  select(first);
  store::UpdateClipText(p, "first, edited");
  EXPECT_EQ(p.lastKey, 77);
  EXPECT_EQ(store::MoveClip(p, "td_trash"), 0);
  EXPECT_EQ(p.lastKey, 77);
}

TEST_F(ClipStoreTest, WelcomeClipLeavesABlankRecordBehind) {
  core::Program& p = *program;
  p.freshStart = 1;
  ASSERT_EQ(store::CreateClipTables(p), 1);
  EXPECT_EQ(query("select cNote from cTbl where cKey = " + std::to_string(p.lastKey)),
            (Rows{{"Tandrel allows you to enter a note to associate with a clip"}}));
  const core::ClipRecord& r = p.clip;
  for (const std::string* field : {&r.cRTFsw, &r.cHTMLsw, &r.cImageSW, &r.cSource, &r.cNote, &r.cText, &r.cRTF})
    EXPECT_EQ(*field, " ");
  EXPECT_EQ(r.cHTML, "N");
}

TEST_F(ClipStoreTest, ABusyDatabaseReleasedInTimeIsWaitedFor) {
  reopen(5000);
  ExclusiveLock other(databaseHost());
  std::thread releaser([&other] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    other.release();
  });
  program->clip = core::ClipRecord{};
  program->clip.cText = "waited";
  EXPECT_EQ(store::WriteClipDB(*program), 1);
  releaser.join();
  EXPECT_EQ(query("select cText from cTbl where cKey = " + std::to_string(program->lastKey)), (Rows{{"waited"}}));
}

TEST_F(ClipStoreTest, ReadsWaitForALockAFewSecondsAtMostAndAnUpdateOfAClipGoneFails) {
  core::Program& p = *program;
  const std::int64_t key = store("locked away");
  ops::LoadActiveSet(p);
  select(key);
  execute("CREATE TABLE tblBlob (fldKey text, fldBlob); INSERT INTO tblBlob VALUES ('7T', 'old text')",
          dataFolder + "clip.db");
  std::string reason;
  sqlite3* oldContents = store::openOldContents(p, dataFolder + "clip.db", reason);
  ASSERT_NE(oldContents, nullptr);
  core::SqliteApi waiting = *core::linkedSqliteApi();
  waiting.step = lockedStep;
  ASSERT_EQ(p.db.DbBindLibrary(&waiting), 1);

  // Another program holds the file for 10 s: the window is not kept waiting that long.
  lockedUntil = platform::tickCount() + 10000;
  EXPECT_EQ(store::ReadClip(p), 0);
  EXPECT_EQ(log().back(), now + " ReadClip gave up waiting key = " + p.currentKey + " The database file is locked");
  lockedUntil = platform::tickCount() + 10000;
  const store::OldBlob blob = store::ReadOldBlob(p, oldContents, "7T");
  EXPECT_EQ(blob.state, store::OldBlob::Failed);
  EXPECT_EQ(blob.reason, "The database file is locked");
  // A lock let go of within a second is waited for.
  lockedUntil = platform::tickCount() + 1000;
  EXPECT_EQ(store::ReadClip(p), 1);
  EXPECT_EQ(p.clip.cText, "locked away");
  lockedUntil = platform::tickCount() + 1000;
  EXPECT_EQ(store::ReadOldBlob(p, oldContents, "7T").bytes, "old text");
  ASSERT_EQ(p.db.DbBindLibrary(core::linkedSqliteApi()), 1);
  p.db.DbClose(oldContents);

  // A combine writes into its clip: one deleted meanwhile is a failure, not a save of nothing.
  execute("delete from cTbl where cKey = " + std::to_string(key));
  EXPECT_EQ(store::UpdateClipText(p, "combined", true), 0);
  EXPECT_EQ(count(), "0");
  EXPECT_EQ(log().back(), now + " UpdateClipText found no clip key = " + p.currentKey);
  EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(ClipStoreTest, EmptyTrashRemovesExactlyTheTrashAndReportsAFailure) {
  store("a");
  store("b", "", "", "td_trash");
  store("c", "", "", "td_trash");
  store("d", "", "", "td_trash'");
  store::EmptyTrash(*program);
  EXPECT_EQ(query("select cText from cTbl order by cKey"), (Rows{{"a"}, {"d"}}));
  EXPECT_TRUE(desktop.messageBoxes.empty());

  program->db.DbExecute("DROP TABLE cTbl", program->databaseHandle);
  desktop.answerNext(platform::IDOK);
  store::EmptyTrash(*program);
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(desktop.messageBoxes[0].title, "Tandrel");
  EXPECT_EQ(desktop.messageBoxes[0].text, "Database Delete not done = no such table: cTbl");
}

TEST_F(ClipStoreTest, VacuumGivesBackTheSpaceOfDeletedClips) {
  execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500) "
          "INSERT INTO cTbl (cSet, cText) SELECT 'td_trash', hex(randomblob(2000)) FROM n");
  store::EmptyTrash(*program);
  const auto before = std::filesystem::file_size(databaseHost());
  store::VacuumClips(*program);
  EXPECT_EQ(program->db.DbLastMessage(), "OK");
  EXPECT_LT(std::filesystem::file_size(databaseHost()) * 10, before);
}

TEST_F(ClipStoreTest, SaveEditedClipStoresANewClipAndRetiresTheOld) {
  core::Program& p = *program;
  const std::int64_t old = store("before", "note", "source");
  ops::LoadActiveSet(p);
  select(old);
  ASSERT_EQ(store::ReadClipFields(p), 1);
  ASSERT_EQ(store::SaveEditedClip(p, "after", "", false), 1);
  const std::int64_t edited = p.lastKey;
  EXPECT_EQ(query("select cKey, cSet, cSource, cNote, cText from cTbl order by cKey"),
            (Rows{{std::to_string(old), "td_trash", "source", "note", "before"},
                  {std::to_string(edited), "td_clips", "source", "note", "after"}}));
  EXPECT_EQ(p.view.rows[0].key, edited);
  EXPECT_EQ(p.currentKey, std::to_string(edited));
  EXPECT_EQ(p.clip.cText, "after");

  // Cutting deletes the old clip instead.
  ASSERT_EQ(store::ReadClipFields(p), 1);
  ASSERT_EQ(store::SaveEditedClip(p, "cut", "", true), 1);
  EXPECT_EQ(query("select cText from cTbl where cSet = 'td_clips'"), (Rows{{"cut"}}));
  EXPECT_EQ(count(), "2");
}

}  // namespace
