// Loading and listing a set of 100,000 clips (texts of 20 B to 20 KiB, 2 % pictures of 200 KiB),
// and one capture into that set, measured warm. The file is built once and kept outside the
// source tree (TANDREL_BENCH_DIR, else ~/.cache/tandrel-bench), since building it takes a while.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/window_proc.h"
#include "capture/watcher.h"
#include "core/program.h"
#include "ops/set_commands.h"
#include "platform/clipboard.h"
#include "platform/shell.h"
#include "platform/sim/desktop.h"
#include "platform/window.h"
#include "store/clip_database.h"
#include "store/clip_store.h"
#include "store/sets.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/layout.h"

namespace {

constexpr int clipCount = 100000;

std::string benchFolder() {
  const char* chosen = std::getenv("TANDREL_BENCH_DIR");
  const char* home = std::getenv("HOME");
  std::string folder = chosen != nullptr ? chosen : std::string(home != nullptr ? home : "/tmp") + "/.cache/tandrel-bench";
  std::filesystem::create_directories(folder);
  return folder + "/";
}

void buildFixture(const std::string& path) {
  const std::string building = path + ".building";
  std::filesystem::remove(building);
  sqlite3* db = nullptr;
  sqlite3_open(building.c_str(), &db);
  sqlite3_exec(db,
               "Create Table cTbl (cKey INTEGER PRIMARY KEY AUTOINCREMENT, cDate text, cSet text, cRTFsw text, "
               "cHTMLsw text, cImageSW text, cSource Text, cNote text, cText text, cRTF Blob, cHTML text, cImage Blob);"
               "Create Table Sets (setName Text Unique, setID INTEGER PRIMARY KEY AUTOINCREMENT);"
               "insert into Sets (setName) values ('td_clips'); insert into Sets (setName) values ('td_trash');"
               "PRAGMA user_version = 1; BEGIN;",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO cTbl VALUES (NULL, '2026-12-08  14:03:59', 'td_clips', 'N', 'N', ?, 'Editor', ' ', "
                     "?, ' ', ' ', ?)",
                     -1, &insert, nullptr);
  std::uint64_t state = 7;
  const std::string words = "the quick brown fox jumps over the lazy dog; ";
  const std::string picture(200 * 1024, '\x5a');
  for (int i = 1; i <= clipCount; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    const bool image = i % 50 == 0;
    const std::size_t length = 20 + static_cast<std::size_t>((state >> 33) % (20 * 1024 - 20));
    std::string text = "clip " + std::to_string(i) + " ";
    while (text.size() < length) text += words;
    text.resize(length);
    sqlite3_bind_text(insert, 1, image ? "Y" : "N", 1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 2, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    if (image) sqlite3_bind_blob(insert, 3, picture.data(), static_cast<int>(picture.size()), SQLITE_STATIC);
    else sqlite3_bind_null(insert, 3);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  std::filesystem::rename(building, path);
}

// A program with the window built and the large file open, as after start-up.
std::unique_ptr<core::Program> openLargeSet() {
  const std::string folder = benchFolder();
  const std::string path = folder + "clips100k.db";
  if (!std::filesystem::exists(path)) buildFixture(path);
  sim::desktop().reset();
  auto p = std::make_unique<core::Program>();
  p->paths.dataFolder = folder;
  p->paths.databasePath = path;
  p->paths.setsFolder = sim::desktop().root + "/sets/";
  p->captureTime = "2026-12-08  14:03:59";
  p->db.DbBindLibrary(core::linkedSqliteApi());
  ui::buildMainWindow(*p);
  store::openClipDatabase(*p);
  p->db.DbExecute("DELETE FROM cTbl WHERE cKey > " + std::to_string(clipCount), p->databaseHandle);
  return p;
}

void close(std::unique_ptr<core::Program>& p) {
  p->db.DbExecute("DELETE FROM cTbl WHERE cKey > " + std::to_string(clipCount), p->databaseHandle);
  p->db.DbClose(p->databaseHandle);
  sim::desktop().tearDown();
}

double peakResidentMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_LoadAndFillLargeSet(benchmark::State& state) {
  auto p = openLargeSet();
  ops::LoadActiveSet(*p);  // warm
  for (auto _ : state) {
    ops::LoadActiveSet(*p);
    if (p->view.rows.size() != clipCount) state.SkipWithError("the set did not load whole");
  }
  state.counters["rows"] = static_cast<double>(p->view.rows.size());
  state.counters["peak_rss_MiB"] = peakResidentMiB();
  close(p);
}
BENCHMARK(BM_LoadAndFillLargeSet)->Unit(benchmark::kMillisecond);

// The large set loaded into a program that watches the clipboard, as at the end of a start.
std::unique_ptr<core::Program> watchingLargeSet() {
  auto p = openLargeSet();
  ops::LoadActiveSet(*p);
  core::Program* program = p.get();
  platform::setWindowProc(p->mainWindow, [program](platform::Hwnd w, unsigned m, platform::WParam wp, platform::LParam lp) {
    return app::mainWindowProc(*program, w, m, wp, lp);
  });
  p->capture.nextViewer = platform::setClipboardViewer(p->mainWindow);
  return p;
}

void BM_CaptureIntoLargeSet(benchmark::State& state) {
  auto p = watchingLargeSet();
  auto& d = sim::desktop();
  const platform::Hwnd editor = d.addForeignWindow("Notes - Editor", "C:\\Tools\\editor.exe");
  std::size_t rowsBefore = p->view.rows.size();
  // What the window costs on a real desktop: each paint, each list told of its rows (the real list
  // then asks the texts of the rows in view) and each menu built.
  const sim::Gadget& list = d.gadgets.at(ui::gadgetClipList);
  const int repaints = d.window(p->mainWindow)->repaints, redraws = list.redraws, menus = d.menusBuilt;
  const std::uint64_t texts = list.textsAsked;
  std::int64_t n = 0;
  for (auto _ : state) {
    d.copyText("a new clip number " + std::to_string(++n) + " with a little text", editor);
    if (p->view.rows.size() != ++rowsBefore) state.SkipWithError("the capture added no row");
  }
  state.SetItemsProcessed(state.iterations());
  const auto perCapture = [](double count) { return benchmark::Counter(count, benchmark::Counter::kAvgIterations); };
  state.counters["paints"] = perCapture(d.window(p->mainWindow)->repaints - repaints);
  state.counters["list_told"] = perCapture(list.redraws - redraws);
  state.counters["texts_asked"] = perCapture(static_cast<double>(list.textsAsked - texts));
  state.counters["menus_built"] = perCapture(d.menusBuilt - menus);
  state.counters["peak_rss_MiB"] = peakResidentMiB();
  close(p);
}
BENCHMARK(BM_CaptureIntoLargeSet)->Unit(benchmark::kMillisecond);

// Ten copies made faster than a capture is stored (nine arrive while the first is): per copy, what
// the window costs when they are stored one after the other and shown once.
void BM_BurstIntoLargeSet(benchmark::State& state) {
  auto p = watchingLargeSet();
  auto& d = sim::desktop();
  const platform::Hwnd editor = d.addForeignWindow("Notes - Editor", "C:\\Tools\\editor.exe");
  constexpr int burst = 10;
  std::size_t rowsBefore = p->view.rows.size();
  const sim::Gadget& list = d.gadgets.at(ui::gadgetClipList);
  const int repaints = d.window(p->mainWindow)->repaints, redraws = list.redraws;
  const std::uint64_t texts = list.textsAsked;
  std::int64_t n = 0;
  for (auto _ : state) {
    for (int i = 1; i < burst; ++i) d.copiesWhileBusy.push_back("a copy of a burst, number " + std::to_string(++n));
    d.copyText("a copy of a burst, number " + std::to_string(++n), editor);
    rowsBefore += burst;
    if (p->view.rows.size() != rowsBefore) state.SkipWithError("a copy of the burst was not stored");
  }
  state.SetItemsProcessed(state.iterations() * burst);
  const auto perCopy = [&state](double count) { return benchmark::Counter(count / (static_cast<double>(state.iterations()) * burst)); };
  state.counters["paints"] = perCopy(d.window(p->mainWindow)->repaints - repaints);
  state.counters["list_told"] = perCopy(list.redraws - redraws);
  state.counters["texts_asked"] = perCopy(static_cast<double>(list.textsAsked - texts));
  close(p);
}
BENCHMARK(BM_BurstIntoLargeSet)->Unit(benchmark::kMillisecond);

// The list of 100,000 rows told of one more row at its top and painted, as each capture does.
void BM_LargeListToldOfOneMoreRow(benchmark::State& state) {
  auto p = openLargeSet();
  ops::LoadActiveSet(*p);
  const sim::Gadget& list = sim::desktop().gadgets.at(ui::gadgetClipList);
  const std::uint64_t texts = list.textsAsked;
  core::ClipRow row;
  row.preview = "one more row";
  row.source = "Notes - Editor";
  for (auto _ : state) {
    ui::drawInsertedRow(*p, ui::addRowAtRow(*p, row, 0));
    p->view.currentRow = 0;
    ui::selectRow(*p);
    platform::updateWindow(p->mainWindow);
  }
  state.counters["texts_asked"] =
      benchmark::Counter(static_cast<double>(list.textsAsked - texts), benchmark::Counter::kAvgIterations);
  close(p);
}
BENCHMARK(BM_LargeListToldOfOneMoreRow)->Unit(benchmark::kMicrosecond);

}  // namespace
