#pragma once
// Median and 95th percentile of a set of timings.

#include <cstddef>
#include <vector>

namespace pelmora::bench {

struct Summary {
  std::size_t count = 0;
  double median = 0;
  double p95 = 0;  // nearest rank: with fewer than 20 samples, the largest
  double min = 0;
  double max = 0;
};

Summary summarize(std::vector<double> values);

}  // namespace pelmora::bench
