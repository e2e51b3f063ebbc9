#include "bench/bench_images.h"

#include "sim/demo_images.h"

namespace pelmora::bench {

const BenchImage& basicImage() {
  static const BenchImage image{"Basic", sim::basicDemoImage()};
  return image;
}

const BenchImage& extendedImage() {
  static const BenchImage image{"Extended", sim::extendedDemoImage()};
  return image;
}

}  // namespace pelmora::bench
