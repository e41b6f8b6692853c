// The quick paste search as the user finds clips with it: the filter rule, by the index and without
// it; the index kept in step through every kind of change, ours and another program's; and never
// serving a database put back from a copy, nor a damaged file.
#include "store/quick_search.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/log.h"
#include "ops/set_commands.h"
#include "platform/shell.h"
#include "store/clip_database.h"
#include "store/clip_store.h"
#include "store/recovery.h"
#include "support/sim_fixture.h"

using namespace testing_support;

namespace {

using Keys = std::vector<std::int64_t>;

class QuickSearchTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    prepareStore();
    ASSERT_TRUE(core::openLog(*program));
    program->captureTime = "2026-12-09  10:00:00";
    ASSERT_TRUE(store::openClipDatabase(*program));
    ops::InitClipStore(*program);
  }
  void TearDown() override {
    if (program->databaseHandle != nullptr) program->db.DbClose(program->databaseHandle);
    core::closeLog(*program);
    SimTest::TearDown();
  }

  std::int64_t store(const std::string& utf8, const std::string& set = "td_clips") {
    program->settings.activeSetName = set;
    EXPECT_EQ(store::WritePlainTextClip(*program, "Editor", " ", utf8), 1);
    return program->lastKey;
  }
  std::int64_t storeImage(const std::string& caption) {
    core::ClipRecord& r = program->clip;
    r = core::ClipRecord{};
    r.cText = caption;
    r.cImageSW = "Y";
    r.cSet = "td_clips";
    r.image = "\x89PNG bytes";
    EXPECT_EQ(store::WriteClipDB(*program), 1);
    return program->lastKey;
  }
  store::QuickSearchResult search(const std::string& filter, std::size_t limit = 1001) {
    return store::QuickSearch(*program, filter, limit, [] { return false; });
  }
  Keys keys(const std::string& filter, std::size_t limit = 1001) { return search(filter, limit).keys; }
  void build() {
    int steps = 0;
    while (store::QuickIndexWork(*program)) ASSERT_LT(++steps, 1000);
    ASSERT_TRUE(store::QuickIndexReady(*program));
  }
  void select(std::int64_t key) { program->currentKey = std::to_string(key); }
  // Clips enough for the idle steps to take the changes into the index rather than leave them to
  // the searches, written by a program of its own.
  void addFillers() {
    execute("INSERT INTO cTbl (cDate, cSet, cRTFsw, cHTMLsw, cImageSW, cSource, cNote, cText) WITH RECURSIVE "
            "n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 64) "
            "SELECT 'd', 'td_clips', 'N', 'N', 'N', 'Old', ' ', 'filler ' || i FROM n");
  }
  std::string marks() { return query("SELECT count(*) FROM cIdxDirty")[0][0]; }
  void reopen() {
    program->db.DbClose(program->databaseHandle);
    program->databaseHandle = program->db.DbOpen(program->paths.databasePath);
    ASSERT_NE(program->databaseHandle, nullptr);
  }
  long rebuildsLogged() {
    core::flushLog(*program);
    return logLinesWith("Quick paste index built anew");
  }
  const std::string indexPath = dataFolder + "tdclips.idx";
};

TEST_F(QuickSearchTest, EveryPieceInAnyOrderIgnoringCaseInEveryScriptOutsideTheTrash) {
  const std::int64_t meeting = store("Meeting notes\r\nBudget for Q3");
  const std::int64_t russian = store("Привет, Мир! Встреча завтра");
  const std::int64_t japanese = store("東京タワーの写真を送ります");
  const std::int64_t picture = storeImage("Image 640x480");
  store("budget draft, thrown away", "td_trash");
  const std::int64_t german = store("STRASSE und Maß");
  for (const bool indexed : {false, true}) {
    SCOPED_TRACE(indexed ? "by the index" : "read from the clips");
    if (indexed) build();
    EXPECT_EQ(search("budget meeting").indexed, indexed);
    EXPECT_EQ(keys("budget meeting"), Keys{meeting});
    EXPECT_EQ(keys("  BUDGET\tnotes "), Keys{meeting});
    EXPECT_EQ(keys("budget nothing"), Keys{});
    EXPECT_EQ(keys("мир ПРИВЕТ"), Keys{russian});
    EXPECT_EQ(keys("タワー"), Keys{japanese});
    EXPECT_EQ(keys("image 640X"), Keys{picture});
    EXPECT_EQ(keys("maß strasse"), Keys{german});
    EXPECT_EQ(keys("mass"), Keys{});  // accents and letters count: ß is not ss
    // Pieces of one or two characters, which no trigram holds, are checked all the same.
    EXPECT_EQ(keys("q3"), Keys{meeting});
    EXPECT_EQ(keys("ß"), Keys{german});
    EXPECT_EQ(keys("e"), (Keys{german, picture, meeting}));
    EXPECT_EQ(keys(""), (Keys{german, picture, japanese, russian, meeting}));
    EXPECT_EQ(keys("e", 2), (Keys{german, picture}));
  }
  const auto row = store::ReadQuickRows(*program, {meeting}).front();
  ASSERT_TRUE(row.has_value());
  EXPECT_EQ(row->firstLine, "Meeting notes");
  EXPECT_EQ(row->setName, "td_clips");
  EXPECT_EQ(row->noteOrSource, "Editor");
  EXPECT_EQ(row->date, "2026-12-09  10:00:00");
  EXPECT_EQ(store::ReadQuickRows(*program, {picture}).front()->firstLine, "Image 640x480");
  EXPECT_FALSE(store::ReadQuickRows(*program, {999}).front().has_value());
}

TEST_F(QuickSearchTest, TheIndexFollowsEveryChangeOursAndAnOlderRelease) {
  const std::int64_t clip = store("alpha one");
  build();
  const std::int64_t captured = store("alpha two, captured after the build");
  select(clip);
  ASSERT_EQ(store::UpdateClipText(*program, "Привет beta"), 1);  // an edit
  select(captured);
  ASSERT_EQ(store::UpdateClipText(*program, "combined gamma\r\nalpha", true), 1);  // a combine's update
  const std::int64_t trashed = store("beta thrown away");
  select(trashed);
  ASSERT_EQ(store::MoveClip(*program, "td_trash"), 0);
  const std::int64_t deleted = store("beta deleted");
  select(deleted);
  store::DeleteClip(*program);
  // Writes of a program that knows nothing of the index, on a connection of its own: a new clip,
  // and a text changed under its side row, which then no longer holds.
  execute("INSERT INTO cTbl VALUES (NULL, 'd', 'td_clips', 'N', 'N', 'N', 'Old', ' ', 'delta raw', ' ', ' ', NULL);"
          "UPDATE cTbl SET cText = 'plain epsilon' WHERE cKey = " + std::to_string(clip));
  const std::int64_t raw = deleted + 1;
  const auto expectEveryChange = [&] {
    EXPECT_EQ(keys("alpha"), Keys{captured});
    EXPECT_EQ(keys("gamma alpha"), Keys{captured});
    EXPECT_EQ(keys("beta"), Keys{});
    EXPECT_EQ(keys("delta"), Keys{raw});
    EXPECT_EQ(keys("epsilon"), Keys{clip});
    EXPECT_EQ(keys("привет"), Keys{});
    EXPECT_TRUE(search("delta").indexed);
  };
  {
    SCOPED_TRACE("changed clips read from cTbl");
    EXPECT_NE(marks(), "0");
    expectEveryChange();
  }
  {
    SCOPED_TRACE("changed clips taken into the index");
    addFillers();
    build();
    EXPECT_EQ(marks(), "0");
    expectEveryChange();
  }

  // An older release that made cTbl anew took the triggers with it: the index is built again.
  execute("DROP TRIGGER cIdxMarkInsert; INSERT INTO cTbl VALUES (NULL, 'd', 'td_clips', 'N', 'N', 'N', 'Old', ' ', "
          "'zeta unmarked', ' ', ' ', NULL)");
  reopen();
  const std::int64_t unmarked = raw + 65;
  EXPECT_EQ(keys("zeta"), Keys{unmarked});
  build();
  EXPECT_EQ(keys("zeta"), Keys{unmarked});
  EXPECT_EQ(query("SELECT count(*) FROM sqlite_master WHERE name LIKE 'cIdxMark%'")[0][0], "6");
}

TEST_F(QuickSearchTest, ADatabasePutBackFromACopyIsNeverServedByTheIndexOfLater) {
  const std::int64_t kept = store("kept before the backup");
  build();
  const std::string backup = dataFolder + "tdclips_1.dbk";
  ASSERT_TRUE(platform::copyFile(program->paths.databasePath, backup, true));
  store("later clip, after the backup");
  select(kept);
  store::DeleteClip(*program);
  EXPECT_EQ(keys("later"), Keys{kept + 1});
  const long rebuilds = rebuildsLogged();
  // Only marked since the backup: the index has not moved on, and still serves.
  ASSERT_EQ(store::replaceDatabase(*program, backup, 0).outcome, store::ReplaceResult::Replaced);
  EXPECT_EQ(keys("later"), Keys{});
  EXPECT_EQ(keys("kept"), Keys{kept});
  EXPECT_TRUE(search("kept").indexed);
  EXPECT_EQ(rebuildsLogged(), rebuilds);

  // Taken into the index since the backup: the copy put back is not served by it.
  addFillers();
  select(kept);
  store::DeleteClip(*program);
  build();
  EXPECT_EQ(keys("kept"), Keys{});
  ASSERT_EQ(store::replaceDatabase(*program, backup, 0).outcome, store::ReplaceResult::Replaced);
  EXPECT_EQ(keys("filler"), Keys{});
  EXPECT_EQ(keys("kept"), Keys{kept});
  EXPECT_EQ(rebuildsLogged(), rebuilds + 1);
  build();
  EXPECT_EQ(keys("kept"), Keys{kept});
  EXPECT_TRUE(search("kept").indexed);
}

TEST_F(QuickSearchTest, ADamagedIndexIsBuiltAgain) {
  const std::int64_t clip = store("omega text that outlives the damage");
  build();
  // Damage inside the file: the index's own data gone.
  execute("DELETE FROM qText_data", indexPath);
  EXPECT_EQ(keys("omega outlives"), Keys{clip});
  build();
  EXPECT_EQ(keys("omega outlives"), Keys{clip});
  EXPECT_TRUE(search("omega").indexed);
  // A file that is no database at all.
  program->db.DbClose(program->databaseHandle);
  write(indexPath, std::string(4096, 'x'));
  reopen();
  EXPECT_EQ(keys("omega outlives"), Keys{clip});
  build();
  EXPECT_TRUE(search("omega").indexed);
  EXPECT_EQ(keys("omega outlives"), Keys{clip});
  EXPECT_EQ(rebuildsLogged(), 3);
}

}  // namespace
