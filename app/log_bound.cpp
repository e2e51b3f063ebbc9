#include "app/log_bound.h"

namespace pelmora {

std::size_t LogBound::add(std::size_t units) {
  if (units > kMaxUnits) units = kMaxUnits;
  std::size_t dropped = 0;
  while (count_ > 0 && (units_ + units > kMaxUnits || count_ == kMaxEntries)) {
    const std::size_t oldest = lengths_[first_];
    first_ = (first_ + 1) % kMaxEntries;
    --count_;
    units_ -= oldest;
    dropped += oldest;
  }
  lengths_[(first_ + count_) % kMaxEntries] = static_cast<std::uint32_t>(units);
  ++count_;
  units_ += units;
  return dropped;
}

}  // namespace pelmora
