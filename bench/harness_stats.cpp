#include "bench/harness_stats.h"

#include <algorithm>
#include <cmath>

namespace pelmora::bench {

Summary summarize(std::vector<double> values) {
  Summary s;
  s.count = values.size();
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  s.median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  const auto rank = static_cast<std::size_t>(std::ceil(0.95 * static_cast<double>(n)));
  s.p95 = values[std::max<std::size_t>(rank, 1) - 1];
  s.min = values.front();
  s.max = values.back();
  return s;
}

}  // namespace pelmora::bench
