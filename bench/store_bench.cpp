// The database operations a clip goes through, on a file of 100,000 clips of about 1 KiB:
// a small update, a one-row query, storing a clip and reading one back, each per operation.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "core/program.h"
#include "ops/set_commands.h"
#include "platform/shell.h"
#include "platform/sim/desktop.h"
#include "store/clip_database.h"
#include "store/clip_store.h"
#include "store/sets.h"

namespace {

constexpr int clipCount = 100000;

std::string clipText(std::int64_t n) {
  std::string text = "clip " + std::to_string(n) + " ";
  while (text.size() < 1024) text += "the quick brown fox jumps over the lazy dog ";
  text.resize(1024);
  return text;
}

// Paths under an absolute POSIX folder, which the simulated desktop leaves as they are.
void pointAt(core::Program& p, const std::string& folder) {
  p.paths.dataFolder = folder;
  p.paths.databasePath = folder + "tdclips.db";
  p.paths.setsFolder = folder + "sets/";
  p.captureTime = "2026-12-08  14:03:59";
  p.db.DbBindLibrary(core::linkedSqliteApi());
}

// The database of 100,000 clips, built once per process in one transaction.
class LargeDatabase {
 public:
  LargeDatabase() {
    char pattern[] = "/tmp/tandrel-bench-XXXXXX";
    folder_ = std::string(mkdtemp(pattern)) + "/";
    sim::desktop().reset();
    core::Program p;
    pointAt(p, folder_);
    platform::createFolder(p.paths.setsFolder);
    store::openClipDatabase(p);
    ops::InitClipStore(p);
    sqlite3* db = p.databaseHandle;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO cTbl VALUES (NULL, '2026-12-08  14:03:59', 'td_clips', 'N', 'N', 'N', "
                       "'Editor', ' ', ?, ' ', ' ', NULL)",
                       -1, &insert, nullptr);
    for (int i = 1; i <= clipCount; ++i) {
      const std::string text = clipText(i);
      sqlite3_bind_text(insert, 1, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    p.db.DbClose(db);
  }
  ~LargeDatabase() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
};

// A program with the large database open, as after start-up (without listing 100,000 rows).
std::unique_ptr<core::Program> openLarge() {
  static LargeDatabase large;
  sim::desktop().reset();
  auto p = std::make_unique<core::Program>();
  pointAt(*p, large.folder());
  store::openClipDatabase(*p);
  p->view.rows.push_back(core::ClipRow{});  // ReadClip reads for a listed row
  return p;
}

void finish(std::unique_ptr<core::Program>& p) {
  p->db.DbClose(p->databaseHandle);
  sim::desktop().tearDown();
}

// Keys spread over the whole file, so reads do not all hit the same pages.
std::int64_t nextKey(std::uint64_t& state) {
  state = state * 6364136223846793005ULL + 1442695040888963407ULL;
  return static_cast<std::int64_t>((state >> 33) % clipCount) + 1;
}

void BM_DbExecute(benchmark::State& state) {
  auto p = openLarge();
  std::uint64_t seed = 1;
  for (auto _ : state) {
    const std::string sql = "UPDATE cTbl SET cNote = 'seen' WHERE cKey = " + std::to_string(nextKey(seed));
    if (p->db.DbExecute(sql, p->databaseHandle) == 0) state.SkipWithError(p->db.DbLastMessage().c_str());
  }
  state.SetItemsProcessed(state.iterations());
  finish(p);
}
BENCHMARK(BM_DbExecute);

void BM_DbQuery(benchmark::State& state) {
  auto p = openLarge();
  std::uint64_t seed = 2;
  core::Recordset rs;
  for (auto _ : state) {
    const std::string sql = "SELECT * FROM cTbl WHERE cKey = '" + std::to_string(nextKey(seed)) + "'";
    if (p->db.DbQuery(sql, p->databaseHandle, rs) == 0 || rs.rowCount != 1) state.SkipWithError("query failed");
    p->db.RecordsetRelease(rs);
  }
  state.SetItemsProcessed(state.iterations());
  finish(p);
}
BENCHMARK(BM_DbQuery);

void BM_WriteClipDB(benchmark::State& state) {
  auto p = openLarge();
  const std::string text = clipText(0);
  for (auto _ : state) {
    p->clip = core::ClipRecord{};
    p->clip.cSource = "Editor";
    p->clip.cText = text;
    if (store::WriteClipDB(*p) != 1) state.SkipWithError(p->db.DbLastMessage().c_str());
  }
  state.SetItemsProcessed(state.iterations());
  finish(p);
}
BENCHMARK(BM_WriteClipDB);

void BM_ReadClip(benchmark::State& state) {
  auto p = openLarge();
  std::uint64_t seed = 3;
  for (auto _ : state) {
    p->currentKey = std::to_string(nextKey(seed));
    if (store::ReadClip(*p) != 1 || p->clip.cText.size() != 1024) state.SkipWithError("read failed");
  }
  state.SetItemsProcessed(state.iterations());
  finish(p);
}
BENCHMARK(BM_ReadClip);

}  // namespace
