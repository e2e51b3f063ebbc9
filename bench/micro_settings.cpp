// The settings image codec, both layouts.

#include <benchmark/benchmark.h>

#include "bench/bench_images.h"
#include "settings/settings_codec.h"

namespace pelmora::bench {
namespace {

const BenchImage& imageOf(benchmark::State& state) { return state.range(0) == 0 ? basicImage() : extendedImage(); }

void BM_DecodeSettingsBlock(benchmark::State& state) {
  const BenchImage& image = imageOf(state);
  SettingsCodec codec;
  SettingsModel model;
  for (auto _ : state) {
    benchmark::DoNotOptimize(codec.decodeSettingsBlock(image.bytes, model));
    benchmark::ClobberMemory();
  }
  state.SetLabel("decodeSettingsBlock: " + std::string(image.name) + " demo image");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.bytes.size()));
}
BENCHMARK(BM_DecodeSettingsBlock)->Arg(0)->Arg(1)->ArgName("extended");

void BM_EncodeSettingsBlock(benchmark::State& state) {
  const BenchImage& image = imageOf(state);
  SettingsCodec codec;
  SettingsModel model;
  codec.decodeSettingsBlock(image.bytes, model);  // chooses the layout
  std::size_t size = 0;
  for (auto _ : state) {
    const auto bytes = codec.encodeSettingsBlock(model);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
    benchmark::ClobberMemory();
  }
  if (size != image.bytes.size()) state.SkipWithError("the encoded image has the wrong size");
  state.SetLabel("encodeSettingsBlock: " + std::string(image.name) + " demo image");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_EncodeSettingsBlock)->Arg(0)->Arg(1)->ArgName("extended");

}  // namespace
}  // namespace pelmora::bench
