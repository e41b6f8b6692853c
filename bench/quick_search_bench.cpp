// The quick paste search over 100,000 clips of about 2 KiB of varied text: the cost of one
// keystroke (the first 1,001 matches, as the window asks) for words common and rare and for pieces
// of one or two characters; building the index whole; and a capture with the index kept in step.
// The clip file is built once outside the source tree (TANDREL_BENCH_DIR, else
// ~/.cache/tandrel-bench), its index beside it.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/program.h"
#include "platform/sim/desktop.h"
#include "store/clip_database.h"
#include "store/clip_store.h"
#include "store/quick_search.h"

namespace {

constexpr int clipCount = 100000;
namespace fs = std::filesystem;

std::string benchFolder(const std::string& name) {
  const char* chosen = std::getenv("TANDREL_BENCH_DIR");
  const char* home = std::getenv("HOME");
  const std::string root =
      chosen != nullptr ? chosen : std::string(home != nullptr ? home : "/tmp") + "/.cache/tandrel-bench";
  fs::create_directories(root + "/" + name);
  return root + "/" + name + "/";
}

struct Random {
  std::uint64_t state;
  std::uint64_t next() {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return state >> 33;
  }
};

// Words made of syllables, drawn with a skew so that a few are common and most are rare, as in text.
std::vector<std::string> vocabulary() {
  static const char* const syllables[] = {"ka", "lo", "mi", "ne", "ru", "sa", "ti", "vo", "ze", "pa", "dr", "en",
                                          "st", "qu", "or", "th", "al", "is", "an", "ex", "ur", "io", "ba", "gel"};
  Random r{11};
  std::vector<std::string> words = {"the", "and", "meeting", "budget", "report", "invoice", "order", "please",
                                    "thanks", "project"};
  while (words.size() < 20000) {
    std::string w;
    const std::uint64_t n = 2 + r.next() % 3;
    for (std::uint64_t i = 0; i < n; ++i) w += syllables[r.next() % (sizeof syllables / sizeof *syllables)];
    words.push_back(w);
  }
  return words;
}

std::string clipText(Random& r, const std::vector<std::string>& words, int n) {
  const std::size_t length = 64 + r.next() % 4000;  // 2 KiB on average
  std::string text = "ref-" + std::to_string(n * 7919 % 1000003) + " ";
  while (text.size() < length) {
    // A skewed pick: the square of a uniform draw favours the first words.
    const double u = static_cast<double>(r.next() % 1000000) / 1000000.0;
    text += words[static_cast<std::size_t>(u * u * u * static_cast<double>(words.size()))];
    text += r.next() % 12 == 0 ? ".\r\n" : " ";
  }
  return text;
}

void buildClips(const std::string& path) {
  const std::string building = path + ".building";
  fs::remove(building);
  sqlite3* db = nullptr;
  sqlite3_open(building.c_str(), &db);
  sqlite3_exec(db,
               "Create Table cTbl (cKey INTEGER PRIMARY KEY AUTOINCREMENT, cDate text, cSet text, cRTFsw text, "
               "cHTMLsw text, cImageSW text, cSource Text, cNote text, cText text, cRTF Blob, cHTML text, cImage Blob);"
               "Create Table Sets (setName Text Unique, setID INTEGER PRIMARY KEY AUTOINCREMENT);"
               "insert into Sets (setName) values ('td_clips'); insert into Sets (setName) values ('td_trash');"
               "CREATE TABLE cExact (cKey INTEGER PRIMARY KEY, eText text, eSource text, eFingerprint text);"
               "PRAGMA user_version = 1; BEGIN;",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO cTbl VALUES (NULL, '2026-12-08  14:03:59', ?, 'N', 'N', 'N', 'Editor', ' ', ?, ' ', "
                     "' ', NULL)",
                     -1, &insert, nullptr);
  const std::vector<std::string> words = vocabulary();
  Random r{5};
  for (int i = 1; i <= clipCount; ++i) {
    const std::string text = clipText(r, words, i);
    sqlite3_bind_text(insert, 1, i % 40 == 0 ? "td_trash" : "td_clips", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 2, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  fs::rename(building, path);
}

std::unique_ptr<core::Program> openAt(const std::string& folder) {
  sim::desktop().reset();
  auto p = std::make_unique<core::Program>();
  p->paths.dataFolder = folder;
  p->paths.databasePath = folder + "tdclips.db";
  p->paths.setsFolder = folder + "sets/";
  p->captureTime = "2026-12-08  14:03:59";
  p->db.DbBindLibrary(core::linkedSqliteApi());
  store::openClipDatabase(*p);
  return p;
}

void close(std::unique_ptr<core::Program>& p) {
  p->db.DbClose(p->databaseHandle);
  sim::desktop().tearDown();
}

// The clips with their index built, as after the first idle minutes of a run.
std::unique_ptr<core::Program> openIndexed() {
  const std::string folder = benchFolder("quick");
  if (!fs::exists(folder + "tdclips.db")) buildClips(folder + "tdclips.db");
  auto p = openAt(folder);
  while (store::QuickIndexWork(*p)) {
  }
  return p;
}

void BM_QuickSearchKeystroke(benchmark::State& state, const std::string& filter) {
  auto p = openIndexed();
  if (!store::QuickIndexReady(*p)) state.SkipWithError("the index is not ready");
  std::size_t found = 0;
  for (auto _ : state) {
    const store::QuickSearchResult result = store::QuickSearch(*p, filter, 1001, [] { return false; });
    if (result.failed || !result.indexed) state.SkipWithError("the index did not serve the search");
    found = result.keys.size();
  }
  state.counters["matches"] = static_cast<double>(found);
  close(p);
}
BENCHMARK_CAPTURE(BM_QuickSearchKeystroke, common_word, std::string("meeting"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuickSearchKeystroke, two_common_words, std::string("budget invoice"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuickSearchKeystroke, common_prefix, std::string("proj"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuickSearchKeystroke, rare_token, std::string("ref-12345"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuickSearchKeystroke, rare_word, std::string("gelgelgel"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuickSearchKeystroke, no_match, std::string("xyzzy"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuickSearchKeystroke, one_character, std::string("q"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuickSearchKeystroke, two_characters_rare, std::string("zq"))->Unit(benchmark::kMillisecond);

// Building the whole index of a copy of the clips, in the idle steps the main loop would run.
void BM_QuickIndexBuild(benchmark::State& state) {
  const std::string source = benchFolder("quick") + "tdclips.db";
  if (!fs::exists(source)) buildClips(source);
  const std::string folder = benchFolder("quick-build");
  std::int64_t steps = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(folder + "tdclips.idx");
    fs::copy_file(source, folder + "tdclips.db", fs::copy_options::overwrite_existing);
    auto p = openAt(folder);
    state.ResumeTiming();
    steps = 0;
    while (store::QuickIndexWork(*p)) ++steps;
    state.PauseTiming();
    if (!store::QuickIndexReady(*p)) state.SkipWithError("the index is not ready");
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(p->databaseHandle, "SELECT sum(length(CAST(t AS BLOB))) FROM qidx.qText", -1, &stmt, nullptr);
    sqlite3_step(stmt);
    state.counters["indexed_text_MiB"] = static_cast<double>(sqlite3_column_int64(stmt, 0)) / 1048576.0;
    sqlite3_finalize(stmt);
    close(p);
    state.counters["index_file_MiB"] = static_cast<double>(fs::file_size(folder + "tdclips.idx")) / 1048576.0;
    state.counters["clip_file_MiB"] = static_cast<double>(fs::file_size(folder + "tdclips.db")) / 1048576.0;
    state.ResumeTiming();
  }
  state.counters["steps"] = static_cast<double>(steps);
}
BENCHMARK(BM_QuickIndexBuild)->Unit(benchmark::kSecond)->Iterations(1);

// A clip stored (its change mark made by the trigger) and taken into the index at the next idle step.
void BM_QuickIndexCapture(benchmark::State& state) {
  auto p = openIndexed();
  Random r{99};
  const std::vector<std::string> words = vocabulary();
  for (auto _ : state) {
    p->clip = core::ClipRecord{};
    p->clip.cSource = "Editor";
    p->clip.cText = clipText(r, words, 0);
    if (store::WriteClipDB(*p) != 1) state.SkipWithError(p->db.DbLastMessage().c_str());
    store::QuickIndexWork(*p);
  }
  p->db.DbExecute("DELETE FROM cTbl WHERE cKey > " + std::to_string(clipCount), p->databaseHandle);
  while (store::QuickIndexWork(*p)) {
  }
  close(p);
}
BENCHMARK(BM_QuickIndexCapture)->Unit(benchmark::kMillisecond);

}  // namespace
