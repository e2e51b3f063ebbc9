#pragma once
// The log pane's bound. A tracker that stays silent for days adds "Send
// command time out!" every few seconds; beyond about 1 MiB of text the
// oldest entries are dropped, whole. The length of every entry is kept in
// a fixed ring, so the bound costs no allocation.

#include <array>
#include <cstddef>
#include <cstdint>

namespace pelmora {

class LogBound {
 public:
  static constexpr std::size_t kMaxUnits = 512 * 1024;  // 1 MiB of UTF-16
  static constexpr std::size_t kMaxEntries = 32768;

  // An entry of `units` (at most kMaxUnits) is about to be added at the
  // end: returns how many units to drop from the front first, which are
  // always the oldest entries, whole.
  std::size_t add(std::size_t units);

 private:
  std::array<std::uint32_t, kMaxEntries> lengths_{};
  std::size_t first_ = 0;  // ring index of the oldest entry
  std::size_t count_ = 0;
  std::size_t units_ = 0;
};

}  // namespace pelmora
