// Pictures the size of a full-HD screen shot: encoding one per encoder, decoding a stored one,
// reading one from a clipboard bitmap, and fitting it into the Image panel.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "core/dib.h"
#include "core/image_codec.h"

namespace {

// Half a smooth photo-like gradient, half a flat window with lines of small glyph-like marks:
// what screen shots are made of, so that both encoders meet their usual work.
const core::Image& screenShot() {
  static const core::Image image = [] {
    core::Image picture = core::makeImage(1920, 1080, platform::rgb(236, 233, 216)).image;
    std::uint32_t noise = 12345;
    for (int y = 0; y < 1080; ++y)
      for (int x = 0; x < 1920; ++x) {
        std::uint8_t* p = &picture.pixels[(static_cast<std::size_t>(y) * 1920 + x) * 4];
        noise = noise * 1103515245u + 12345u;
        if (y < 540) {
          p[0] = static_cast<std::uint8_t>(x / 8 + (noise >> 28));
          p[1] = static_cast<std::uint8_t>(y / 3 + (noise >> 29));
          p[2] = static_cast<std::uint8_t>((x + y) / 12);
        } else if (y % 20 < 12 && x % 9 < 6 && (noise >> 30) != 0) {
          p[0] = p[1] = p[2] = 0;
        }
      }
    return picture;
  }();
  return image;
}

void BM_EncodePng1920x1080(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) {
    auto png = core::encodeImage(screenShot(), core::ImageFormat::Png);
    size = png.bytes.size();
    benchmark::DoNotOptimize(png);
  }
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_EncodePng1920x1080)->Unit(benchmark::kMillisecond);

void BM_EncodeJpeg1920x1080(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) {
    auto jpeg = core::encodeImage(screenShot(), core::ImageFormat::Jpeg);
    size = jpeg.bytes.size();
    benchmark::DoNotOptimize(jpeg);
  }
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_EncodeJpeg1920x1080)->Unit(benchmark::kMillisecond);

void decodeStored(benchmark::State& state, core::ImageFormat format) {
  const std::string stored = core::encodeImage(screenShot(), format).bytes;
  for (auto _ : state) {
    auto decoded = core::decodeImage(stored);
    if (!decoded.ok()) state.SkipWithError(decoded.failure.c_str());
    benchmark::DoNotOptimize(decoded);
  }
}
void BM_DecodeStoredPng1920x1080(benchmark::State& state) { decodeStored(state, core::ImageFormat::Png); }
void BM_DecodeStoredJpeg1920x1080(benchmark::State& state) { decodeStored(state, core::ImageFormat::Jpeg); }
BENCHMARK(BM_DecodeStoredPng1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeStoredJpeg1920x1080)->Unit(benchmark::kMillisecond);

void BM_ClipboardBitmapToPixels1920x1080(benchmark::State& state) {
  const std::string dib = core::imageToDib(screenShot()).bytes;
  for (auto _ : state) benchmark::DoNotOptimize(core::dibToImage(dib));
}
BENCHMARK(BM_ClipboardBitmapToPixels1920x1080)->Unit(benchmark::kMillisecond);

void BM_PreviewInImagePanel1920x1080(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(core::boxImage(screenShot(), 420, 330, platform::rgb(212, 208, 200)));
}
BENCHMARK(BM_PreviewInImagePanel1920x1080)->Unit(benchmark::kMillisecond);

}  // namespace
