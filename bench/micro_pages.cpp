// All six pages exchanging with the model, on windowless controls: the
// load after a read and the save before a write.

#include <benchmark/benchmark.h>

#include "bench/bench_images.h"
#include "bench/page_set.h"
#include "pages/sms_track_page.h"
#include "settings/settings_codec.h"

namespace pelmora::bench {
namespace {

void BM_PagesExchange(benchmark::State& state, ExchangeDirection direction) {
  const BenchImage& image = extendedImage();
  SettingsCodec codec;
  SettingsModel model;
  codec.decodeSettingsBlock(image.bytes, model);
  PageSet pages;
  pages.exchangeAll(model, PAGE_LOAD);  // controls showing what a read brought
  if (pages.text(0, sms_track::IDC_SMS_PASSWORD) != model.SmsPassword.view() || model.SmsPassword.empty()) {
    state.SkipWithError("the pages did not load the model");
    return;
  }
  for (auto _ : state) {
    pages.exchangeAll(model, direction);
    benchmark::ClobberMemory();
  }
  state.SetLabel(direction == PAGE_LOAD ? "all six pages load from the model (Extended demo image)"
                                        : "all six pages save into the model (Extended demo image)");
}
BENCHMARK_CAPTURE(BM_PagesExchange, load, PAGE_LOAD);
BENCHMARK_CAPTURE(BM_PagesExchange, save, PAGE_SAVE);

}  // namespace
}  // namespace pelmora::bench
