// Opening tdclips.db: the user's file is never lost, whatever state it is in, and the text an
// older release stored as UTF-8 is turned back into the program's bytes exactly once.
#include "store/clip_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <random>

#include "core/log.h"
#include "ops/set_commands.h"
#include "platform/shell.h"
#include "store/clip_store.h"
#include "support/sim_fixture.h"

using namespace testing_support;

namespace {

const std::string databasePath = dataFolder + "tdclips.db";

class ClipDatabaseTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    prepareStore();
  }
  void TearDown() override {
    close();
    SimTest::TearDown();
  }

  bool open() { return store::openClipDatabase(*program); }
  void close() {
    if (program->databaseHandle != nullptr) program->db.DbClose(program->databaseHandle);
    program->databaseHandle = nullptr;
  }
  // Files beside the database whose names start with tdclips.db.bad-.
  std::vector<std::string> setAside() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(desktop.hostPath(dataFolder))) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("tdclips.db.bad-", 0) == 0) names.push_back(name);
    }
    return names;
  }
  // The program can store and list a clip in what it opened.
  void expectUsable() {
    ops::InitClipStore(*program);
    program->clip = core::ClipRecord{};
    program->clip.cText = "fresh";
    EXPECT_EQ(store::WriteClipDB(*program), 1);
    EXPECT_EQ(query("select cText from cTbl"), (Rows{{"fresh"}}));
  }
  void expectSetAside(const std::string& bytes) {
    write(databasePath, bytes);
    desktop.answerNext(platform::IDOK);
    ASSERT_TRUE(open()) << (desktop.messageBoxes.empty() ? "" : desktop.messageBoxes.back().text);
    const auto aside = setAside();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(read(dataFolder + aside[0]), bytes);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].title, "Tandrel");
    EXPECT_NE(desktop.messageBoxes[0].text.find(databasePath + " "), std::string::npos);
    EXPECT_NE(desktop.messageBoxes[0].text.find(dataFolder + aside[0]), std::string::npos);
    expectUsable();
  }
};

TEST_F(ClipDatabaseTest, RandomBytesAreSetAsideAndAFreshDatabaseCreated) {
  std::mt19937 random(7);
  std::string bytes(8192, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  expectSetAside(bytes);
}

TEST_F(ClipDatabaseTest, ADamagedSchemaIsSetAsideAndAFreshDatabaseCreated) {
  createDatabase();
  execute("insert into cTbl (cSet, cText) values ('td_clips', 'old')");
  std::string bytes = read(databasePath);
  // Page 1 after its header holds the schema.
  for (std::size_t i = 100; i < 1024; ++i) bytes[i] = '\xAB';
  expectSetAside(bytes);
}

TEST_F(ClipDatabaseTest, AnEmptyFileOpensAsAnEmptyDatabase) {
  write(databasePath, "");
  ASSERT_TRUE(open());
  EXPECT_TRUE(setAside().empty());
  EXPECT_TRUE(desktop.messageBoxes.empty());
  expectUsable();
}

TEST_F(ClipDatabaseTest, ALockedFileIsReportedAndLeftAsItIs) {
  createDatabase();
  execute("insert into cTbl (cSet, cText) values ('td_clips', 'mine')");
  const std::string bytes = read(databasePath);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(desktop.hostPath(databasePath).c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

  desktop.answerNext(platform::IDOK);
  EXPECT_FALSE(open());
  EXPECT_EQ(program->databaseHandle, nullptr);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);

  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_NE(desktop.messageBoxes[0].text.find(databasePath), std::string::npos);
  EXPECT_NE(desktop.messageBoxes[0].text.find("database is locked"), std::string::npos);
  EXPECT_EQ(read(databasePath), bytes);
  EXPECT_TRUE(setAside().empty());
}

TEST_F(ClipDatabaseTest, OlderUtf8TextIsConvertedOnce) {
  createDatabase();
  execute(
      "insert into Sets (setName) values ('caf\xC3\xA9');"
      "insert into cTbl (cSet, cSource, cNote, cText) values "
      "('caf\xC3\xA9', 'caf\xC3\xA9', 'caf\xC3\xA9 \xC2\x99', 'caf\xC3\xA9'),"
      "('td_clips', ' ', '\x99', '\xE2\x84\xA2 caf\xE9')");
  ASSERT_TRUE(open());
  EXPECT_EQ(query("select setName from Sets"), (Rows{{"caf\xE9"}}));
  // Only the columns the older release wrote through SQL text; values that are no such text stay.
  EXPECT_EQ(query("select cSet, cSource, cNote, cText from cTbl order by cKey"),
            (Rows{{"caf\xE9", "caf\xC3\xA9", "caf\xE9 \x99", "caf\xE9"}, {"td_clips", " ", "\x99", "\xE2\x84\xA2 caf\xE9"}}));
  EXPECT_EQ(query("PRAGMA user_version"), (Rows{{"1"}}));

  close();
  execute("update cTbl set cText = 'caf\xC3\xA9' where cKey = 2");
  ASSERT_TRUE(open());
  EXPECT_EQ(query("select cText from cTbl where cKey = 2"), (Rows{{"caf\xC3\xA9"}}));
}

TEST_F(ClipDatabaseTest, ConversionRefusedByAReaderIsRolledBackAndRunsAgainAtTheNextStart) {
  createDatabase();
  execute("insert into Sets (setName) values ('td_clips'), ('caf\xC3\xA9'), ('na\xC3\xAFve');"
          "insert into cTbl (cSet, cText) values ('td_clips', 'caf\xC3\xA9')");
  ASSERT_TRUE(core::openLog(*program));
  program->captureTime = "2026-12-08  14:03:59";
  // Another program reads the file: the conversion's COMMIT cannot take it.
  sqlite3* reader = nullptr;
  ASSERT_EQ(sqlite3_open(desktop.hostPath(databasePath).c_str(), &reader), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM cTbl;", nullptr, nullptr, nullptr), SQLITE_OK);
  ASSERT_TRUE(open());
  sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(reader);
  core::flushLog(*program);
  const auto log = logLines();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "2026-12-08  14:03:59 Older text not converted, tried again at the next start: "
                        "database is locked");

  // Nothing of this run is held in a transaction: a clip stored now is still there after the end.
  ops::InitClipStore(*program);
  program->clip = core::ClipRecord{};
  program->clip.cText = "kept";
  ASSERT_EQ(store::WriteClipDB(*program), 1);
  close();
  core::closeLog(*program);
  EXPECT_EQ(query("select cText from cTbl order by cKey"), (Rows{{"caf\xC3\xA9"}, {"kept"}}));
  EXPECT_EQ(query("PRAGMA user_version"), (Rows{{"0"}}));

  ASSERT_TRUE(open());
  EXPECT_EQ(query("select setName from Sets order by setID"),
            (Rows{{"td_clips"}, {"caf\xE9"}, {"na\xEFve"}, {"td_trash"}}));
  EXPECT_EQ(query("select cText from cTbl order by cKey"), (Rows{{"caf\xE9"}, {"kept"}}));
  EXPECT_EQ(query("PRAGMA user_version"), (Rows{{"1"}}));
}

TEST_F(ClipDatabaseTest, ANewDatabaseIsNeverConverted) {
  ASSERT_TRUE(open());
  ops::InitClipStore(*program);
  program->clip = core::ClipRecord{};
  program->clip.cText = "\xC3\xA9";  // two cp1252 characters, not one
  ASSERT_EQ(store::WriteClipDB(*program), 1);
  close();
  ASSERT_TRUE(open());
  EXPECT_EQ(query("select cText from cTbl"), (Rows{{"\xC3\xA9"}}));
}

TEST(ClipDatabaseText, Latin1FromUtf8) {
  struct Case {
    std::string text;
    bool converted;
    std::string bytes;
  };
  const Case cases[] = {
      {"caf\xC3\xA9", true, "caf\xE9"},
      {"\xC2\x99\xC2\x80\xC3\xBF", true, "\x99\x80\xFF"},
      {"plain", false, ""},
      {"\x99", false, ""},                    // already the program's bytes
      {"caf\xE9", false, ""},
      {"\xE2\x84\xA2", false, ""},            // a character beyond one byte
      {"\xC3\xA9\xE9", false, ""},
      {"caf\xC3", false, ""},                 // cut short
      {"\xC3\x41", false, ""},
  };
  for (const Case& c : cases) {
    std::string bytes;
    EXPECT_EQ(store::latin1FromUtf8(c.text, bytes), c.converted) << c.text;
    if (c.converted) EXPECT_EQ(bytes, c.bytes) << c.text;
  }
}

}  // namespace
