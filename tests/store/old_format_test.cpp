// The old set files as the store reads them: records sliced where the layout puts the fields,
// whatever blanks, zero bytes or garbage they hold; contents found under their keys in clip.db.
#include "store/old_format.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

#include "core/log.h"
#include "support/old_format_files.h"
#include "support/sim_fixture.h"

using namespace testing_support;

namespace {

store::OldRecordKind parse(const std::string& bytes, store::OldRecord& record) {
  return store::parseOldRecord(bytes, record);
}

TEST(OldRecordTest, FieldsComeFromTheirPositionsTrimmedWhereTheyAreText) {
  OldClip clip;
  clip.source = "  Notepad - notes.txt";
  clip.text = "  the first words of a clip  ";
  clip.blob = 12;
  clip.caption = "";  // the record starts with blanks: the positions must not move
  std::string bytes = oldRecord(clip);
  bytes.replace(0, 4, "    ");
  store::OldRecord record;
  ASSERT_EQ(parse(bytes, record), store::OldRecordKind::Clip);
  EXPECT_EQ(record.source, "Notepad - notes.txt");
  EXPECT_EQ(record.date, "2009-03-14 15:09:26");
  ASSERT_TRUE(record.blob.has_value());
  EXPECT_EQ(*record.blob, 12u);
  EXPECT_EQ(store::oldBlobKey(*record.blob, 'T'), "12T");
  EXPECT_EQ(record.text, "the first words of a clip");
  EXPECT_EQ(record.type, 'T');

  // Long fields are cut at their own length, never running into the next one.
  clip.source = std::string(80, 's');
  clip.text = std::string(300, 't');
  ASSERT_EQ(parse(oldRecord(clip), record), store::OldRecordKind::Clip);
  EXPECT_EQ(record.source, std::string(56, 's'));
  EXPECT_EQ(record.text, std::string(250, 't'));
}

TEST(OldRecordTest, BlankRecordsAreSkippedAndForeignOnesRefused) {
  store::OldRecord record;
  EXPECT_EQ(parse(std::string(437, ' '), record), store::OldRecordKind::Blank);
  EXPECT_EQ(parse(std::string(437, '\0'), record), store::OldRecordKind::Blank);
  EXPECT_EQ(parse(std::string(40, ' ') + '\0' + std::string(396, 'x'), record), store::OldRecordKind::Blank);

  OldClip clip;
  clip.text = "text";
  std::string bytes = oldRecord(clip);
  bytes[434] = 'X';
  EXPECT_EQ(parse(bytes, record), store::OldRecordKind::Unreadable);
  bytes = oldRecord(clip);
  bytes.replace(166, 6, "12a456");
  EXPECT_EQ(parse(bytes, record), store::OldRecordKind::Unreadable);
  // A zero byte inside the text ends the record before its type.
  bytes = oldRecord(clip);
  bytes[200] = '\0';
  EXPECT_EQ(parse(bytes, record), store::OldRecordKind::Unreadable);
  // Bytes past the record's length are not looked at.
  EXPECT_EQ(parse(oldRecord(clip) + "garbage", record), store::OldRecordKind::Clip);

  clip.blob = -1;
  ASSERT_EQ(parse(oldRecord(clip), record), store::OldRecordKind::Clip);
  EXPECT_FALSE(record.blob.has_value());
  clip.blob = 999999;
  clip.type = 'I';
  ASSERT_EQ(parse(oldRecord(clip), record), store::OldRecordKind::Clip);
  EXPECT_EQ(*record.blob, 999999u);
  EXPECT_EQ(record.type, 'I');
}

TEST(OldRecordTest, TheReaderTakesWholeRecordsAndStopsAtATailOrAnError) {
  const std::string file = std::string(437, 'a') + std::string(437, 'b') + std::string(100, 'c');
  std::size_t at = 0;
  int reads = 0;
  const store::ReadBytes fromMemory = [&](std::size_t n, std::string& bytes) {
    ++reads;
    bytes = file.substr(std::min(at, file.size()), n);
    at += bytes.size();
    return true;
  };
  std::string record;
  EXPECT_EQ(store::readOldRecord(fromMemory, record), store::OldRead::Record);
  EXPECT_EQ(record, std::string(437, 'a'));
  EXPECT_EQ(store::readOldRecord(fromMemory, record), store::OldRead::Record);
  EXPECT_EQ(store::readOldRecord(fromMemory, record), store::OldRead::ShortTail);
  EXPECT_EQ(record.size(), 100u);
  EXPECT_EQ(store::readOldRecord(fromMemory, record), store::OldRead::End);
  EXPECT_EQ(reads, 4);

  const store::ReadBytes failing = [](std::size_t, std::string& bytes) {
    bytes.clear();
    return false;
  };
  EXPECT_EQ(store::readOldRecord(failing, record), store::OldRead::Failed);
}

class OldContentsTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    prepareStore();
    ASSERT_TRUE(core::openLog(*program));
    program->captureTime = "2026-12-08  14:03:59";
    execute("CREATE TABLE tblBlob (fldKey text, fldBlob);"
            "INSERT INTO tblBlob VALUES ('5T', 'plain text'), ('6R', '{\\rtf1 rich}'), ('7T', ''),"
            "('8I', x'89504E470D0A1A0A00FF00'), ('9T', 'found as T'), ('9R', 'not this one');",
            contentsPath);
  }
  void TearDown() override {
    if (contents != nullptr) program->db.DbClose(contents);
    core::closeLog(*program);
    SimTest::TearDown();
  }
  void open() {
    std::string reason;
    contents = store::openOldContents(*program, contentsPath, reason);
    ASSERT_NE(contents, nullptr) << reason;
  }
  store::OldBlob read(const std::string& key) { return store::ReadOldBlob(*program, contents, key); }

  const std::string contentsPath = dataFolder + "clip.db";
  sqlite3* contents = nullptr;
};

TEST_F(OldContentsTest, ContentsAreFoundUnderTheirKeysAndTextsAlsoAsRichText) {
  open();
  store::OldBlob blob = read("5T");
  EXPECT_EQ(blob.state, store::OldBlob::Found);
  EXPECT_EQ(blob.key, "5T");
  EXPECT_EQ(blob.bytes, "plain text");

  blob = read("6T");
  EXPECT_EQ(blob.state, store::OldBlob::Found);
  EXPECT_EQ(blob.key, "6R");
  EXPECT_EQ(blob.bytes, "{\\rtf1 rich}");

  blob = read("9T");
  EXPECT_EQ(blob.key, "9T");
  EXPECT_EQ(blob.bytes, "found as T");

  blob = read("8I");
  EXPECT_EQ(blob.state, store::OldBlob::Found);
  EXPECT_EQ(blob.bytes, std::string("\x89PNG\r\n\x1a\n\0\xFF\0", 11));

  EXPECT_EQ(read("4T").state, store::OldBlob::Missing);
  EXPECT_EQ(read("4I").state, store::OldBlob::Missing);
  // A quote in a key is a value, not SQL.
  EXPECT_EQ(read("5T' OR '1'='1").state, store::OldBlob::Missing);
}

TEST_F(OldContentsTest, AnEmptyValueIsLoggedAndCountsAsMissing) {
  open();
  EXPECT_EQ(read("7T").state, store::OldBlob::Missing);
  core::flushLog(*program);
  EXPECT_EQ(logLines().back(), "2026-12-08  14:03:59 Read fieldlen error on Blob = 7T fieldlen = 0");
}

TEST_F(OldContentsTest, AContentsFileThatIsNoDatabaseOrHasNoTableIsRefused) {
  std::string reason;
  write(dataFolder + "garbage.db", std::string(4096, 'g'));
  EXPECT_EQ(store::openOldContents(*program, dataFolder + "garbage.db", reason), nullptr);
  EXPECT_EQ(reason, "file is not a database");
  execute("CREATE TABLE other (a)", dataFolder + "other.db");
  EXPECT_EQ(store::openOldContents(*program, dataFolder + "other.db", reason), nullptr);
  EXPECT_EQ(reason, "no such table: tblBlob");
  EXPECT_EQ(store::openOldContents(*program, dataFolder + "none.db", reason), nullptr);
}

TEST_F(OldContentsTest, ALockedContentsFileIsGivenUpOnNotReadForever) {
  program->db.setBusyTimeout(1);
  open();
  sqlite3* other = nullptr;
  sqlite3_open(desktop.hostPath(contentsPath).c_str(), &other);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_EQ(read("5T").state, store::OldBlob::Failed);
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(other);
}

}  // namespace
