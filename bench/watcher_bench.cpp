// One clipboard change of another program, through the viewer chain and the watcher to a stored
// and listed clip, per operation.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/window_proc.h"
#include "core/program.h"
#include "ops/set_commands.h"
#include "platform/clipboard.h"
#include "platform/shell.h"
#include "platform/sim/desktop.h"
#include "platform/window.h"
#include "store/clip_database.h"
#include "store/clip_store.h"
#include "store/sets.h"
#include "watching_program.h"

namespace {

void BM_ClipboardChangeToStoredClip(benchmark::State& state) {
  auto p = bench::startWatching(false);
  const std::string body(1000, 'x');
  std::int64_t n = 0;
  for (auto _ : state) sim::desktop().copyText(std::to_string(++n) + body);  // distinct, so never a repeat
  if (static_cast<std::int64_t>(p->view.rows.size()) != n) state.SkipWithError("a change was not stored");
  state.SetItemsProcessed(state.iterations());
  p->db.DbClose(p->databaseHandle);
  sim::desktop().tearDown();
}
BENCHMARK(BM_ClipboardChangeToStoredClip);

}  // namespace
