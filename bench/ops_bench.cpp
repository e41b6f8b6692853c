// The clip commands that walk a whole set, on a set of 100,000 short clips: numbering every note,
// moving every clip to the trash, and a search of all clips for a word none holds.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/program.h"
#include "ops/find.h"
#include "ops/notes.h"
#include "ops/set_commands.h"
#include "ops/transfer.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/sim/desktop.h"
#include "store/clip_database.h"
#include "store/clip_store.h"
#include "ui/gadgets.h"
#include "ui/layout.h"

namespace {

constexpr int clipCount = 100000;

class LargeSet {
 public:
  LargeSet() {
    char pattern[] = "/tmp/tandrel-ops-bench-XXXXXX";
    folder_ = std::string(mkdtemp(pattern)) + "/";
    sqlite3* db = nullptr;
    sqlite3_open((folder_ + "tdclips.db").c_str(), &db);
    sqlite3_exec(db,
                 "Create Table cTbl (cKey INTEGER PRIMARY KEY AUTOINCREMENT, cDate text, cSet text, cRTFsw text, "
                 "cHTMLsw text, cImageSW text, cSource Text, cNote text, cText text, cRTF Blob, cHTML text, cImage Blob);"
                 "Create Table Sets (setName Text Unique, setID INTEGER PRIMARY KEY AUTOINCREMENT);"
                 "insert into Sets (setName) values ('td_clips'), ('td_trash'); BEGIN;",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO cTbl VALUES (NULL, '2026-12-08  14:03:59', 'td_clips', 'N', 'N', 'N', 'Editor', "
                       "'a note', ?, ' ', ' ', NULL)",
                       -1, &insert, nullptr);
    for (int i = 1; i <= clipCount; ++i) {
      const std::string text = "clip " + std::to_string(i) + " the quick brown fox jumps over the lazy dog";
      sqlite3_bind_text(insert, 1, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  ~LargeSet() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
};

std::unique_ptr<core::Program> openLargeSet() {
  static LargeSet large;
  sim::desktop().reset();
  sim::desktop().answerer = [](const sim::MessageBoxRecord&) { return platform::IDOK; };
  auto p = std::make_unique<core::Program>();
  p->paths.dataFolder = large.folder();
  p->paths.databasePath = large.folder() + "tdclips.db";
  p->paths.setsFolder = sim::desktop().root + "/sets/";
  p->captureTime = "2026-12-08  14:03:59";
  p->db.DbBindLibrary(core::linkedSqliteApi());
  ui::buildMainWindow(*p);
  store::openClipDatabase(*p);
  p->db.DbExecute("UPDATE cTbl SET cSet = 'td_clips'", p->databaseHandle);
  ops::LoadActiveSet(*p);
  return p;
}

void close(std::unique_ptr<core::Program>& p) {
  p->db.DbClose(p->databaseHandle);
  sim::desktop().tearDown();
}

void BM_SequenceNotesOfLargeSet(benchmark::State& state) {
  auto p = openLargeSet();
  for (auto _ : state) {
    p->view.removeSequence = 0;
    if (ops::sequenceNotes(*p) != 1) state.SkipWithError("sequencing stopped");
  }
  state.counters["clips"] = clipCount;
  close(p);
}
BENCHMARK(BM_SequenceNotesOfLargeSet)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TrashEveryClipOfLargeSet(benchmark::State& state) {
  auto p = openLargeSet();
  for (auto _ : state) {
    state.PauseTiming();
    p->db.DbExecute("UPDATE cTbl SET cSet = 'td_clips'", p->databaseHandle);
    ops::LoadActiveSet(*p);
    for (int r = 0; r < clipCount; ++r) platform::selectListRow(ui::gadgetClipList, r);
    state.ResumeTiming();
    p->view.transferMode = ops::transferTrash;
    ops::transferSelectedClips(*p, "");
    if (!p->view.rows.empty()) state.SkipWithError("clips were left");
  }
  state.counters["clips"] = clipCount;
  close(p);
}
BENCHMARK(BM_TrashEveryClipOfLargeSet)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SearchAllClipsOfLargeSetForAbsentWord(benchmark::State& state) {
  auto p = openLargeSet();
  for (auto _ : state) {
    ops::searchAllClips(*p);
    ops::handleFindMessage(*p, {platform::FIND_FINDNEXT | platform::FIND_DOWN, "zebra", ""});
    sim::desktop().pressFindButton(platform::FIND_DIALOGTERM, "");
    p->edit.findDialogOpen = 0;
  }
  state.counters["clips"] = clipCount;
  close(p);
}
BENCHMARK(BM_SearchAllClipsOfLargeSetForAbsentWord)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
