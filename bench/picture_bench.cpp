// A full-HD screen shot through the whole program: copied by another program as a 32-bit bitmap
// and taken through the watcher to a stored, listed and previewed clip, per encoder; and a stored
// one read, decoded and shown on the Image tab, with and without putting it back on the clipboard.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "app/window_proc.h"
#include "core/dib.h"
#include "core/image_codec.h"
#include "core/program.h"
#include "ops/set_commands.h"
#include "platform/clipboard.h"
#include "platform/gadgets.h"
#include "platform/shell.h"
#include "platform/sim/desktop.h"
#include "platform/window.h"
#include "store/clip_database.h"
#include "store/clip_store.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/layout.h"
#include "watching_program.h"

namespace {

constexpr int shotWidth = 1920, shotHeight = 1080;

// A window with a photo above and lines of small dark marks on a light ground below, as screen
// shots are; in the 32-bit layout a screen copy arrives in.
const std::string& screenShotDib() {
  static const std::string dib = [] {
    std::string block(40 + static_cast<std::size_t>(shotWidth) * shotHeight * 4, '\0');
    const std::uint32_t header = 40, width = shotWidth, height = shotHeight;
    const std::uint16_t planes = 1, bits = 32;
    std::memcpy(&block[0], &header, 4);
    std::memcpy(&block[4], &width, 4);
    std::memcpy(&block[8], &height, 4);
    std::memcpy(&block[12], &planes, 2);
    std::memcpy(&block[14], &bits, 2);
    std::uint32_t noise = 12345;
    for (int y = 0; y < shotHeight; ++y)
      for (int x = 0; x < shotWidth; ++x) {
        auto* p = reinterpret_cast<std::uint8_t*>(&block[40 + (static_cast<std::size_t>(shotHeight - 1 - y) * shotWidth + x) * 4]);
        noise = noise * 1103515245u + 12345u;
        if (y < shotHeight / 2) {
          p[0] = static_cast<std::uint8_t>(x / 8 + (noise >> 28));
          p[1] = static_cast<std::uint8_t>(y / 3 + (noise >> 29));
          p[2] = static_cast<std::uint8_t>((x + y) / 12);
        } else if (y % 20 < 12 && x % 9 < 6 && (noise >> 30) != 0) {
          p[0] = p[1] = p[2] = 0;
        } else {
          p[0] = 216, p[1] = 233, p[2] = 236;
        }
      }
    return block;
  }();
  return dib;
}

void finish(core::Program& p) {
  p.db.DbClose(p.databaseHandle);
  sim::desktop().tearDown();
}

void captureScreenShot(benchmark::State& state, bool png) {
  auto p = bench::startWatching(true, png);
  auto& d = sim::desktop();
  const platform::Hwnd paint = d.addForeignWindow("Screen Shot - Paint", "C:\\Tools\\paint.exe");
  std::size_t stored = 0;
  for (auto _ : state) {
    state.PauseTiming();
    d.ticks += 1000;  // a second apart: never a repeat of the one before
    state.ResumeTiming();
    d.copyFormats({{platform::CF_DIB, screenShotDib()}}, paint);
  }
  stored = p->view.rows.size();
  if (static_cast<std::int64_t>(stored) != state.iterations()) state.SkipWithError("a screen shot was not stored");
  if (!d.gadgets[ui::gadgetImageView].hasImage) state.SkipWithError("no preview was shown");
  state.counters["bytes"] = static_cast<double>(p->shownImage.bytes.size());
  finish(*p);
}
void BM_ScreenShotCaptureToStoredRowPng(benchmark::State& state) { captureScreenShot(state, true); }
void BM_ScreenShotCaptureToStoredRowJpeg(benchmark::State& state) { captureScreenShot(state, false); }
BENCHMARK(BM_ScreenShotCaptureToStoredRowPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenShotCaptureToStoredRowJpeg)->Unit(benchmark::kMillisecond);

void showStoredScreenShot(benchmark::State& state, bool png, bool copy) {
  auto p = bench::startWatching(true, png);
  sim::desktop().copyFormats({{platform::CF_DIB, screenShotDib()}},
                             sim::desktop().addForeignWindow("Screen Shot - Paint", "C:\\Tools\\paint.exe"));
  if (p->view.rows.size() != 1) state.SkipWithError("the screen shot was not stored");
  p->view.currentRow = 0;
  for (auto _ : state) {
    p->view.copyOnShow = copy ? 1 : 0;
    if (ui::showClipContent(*p) != 0) state.SkipWithError("the stored screen shot was not shown");
  }
  if (copy && sim::desktop().clipboard.count(platform::CF_DIB) == 0) state.SkipWithError("nothing was put back");
  finish(*p);
}
void BM_StoredScreenShotShownPng(benchmark::State& state) { showStoredScreenShot(state, true, false); }
void BM_StoredScreenShotShownJpeg(benchmark::State& state) { showStoredScreenShot(state, false, false); }
void BM_StoredScreenShotShownAndPutBackPng(benchmark::State& state) { showStoredScreenShot(state, true, true); }
BENCHMARK(BM_StoredScreenShotShownPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoredScreenShotShownJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoredScreenShotShownAndPutBackPng)->Unit(benchmark::kMillisecond);

}  // namespace
