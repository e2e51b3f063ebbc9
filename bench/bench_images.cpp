#include "bench/bench_images.h"

#include "settings/settings_layout.h"
#include "sim/demo_images.h"

namespace pelmora::bench {

const BenchImage& basicImage() {
  static const BenchImage image{layoutInfo(Layout::Basic).name, sim::basicDemoImage()};
  return image;
}

const BenchImage& extendedImage() {
  static const BenchImage image{layoutInfo(Layout::Extended).name, sim::extendedDemoImage()};
  return image;
}

}  // namespace pelmora::bench
