#pragma once
// Time as the link engine sees it. The engine's waits are fixed sleeps
// (100 ms between empty reads, 500 ms between passes, ...); tests run them
// on a fake clock whose sleep just advances the time.

#include <cstdint>

#include "link/wakeup.h"

namespace pelmora {

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds on a monotonic scale with an arbitrary origin.
  virtual std::uint64_t nowMs() = 0;
  virtual void sleepMs(std::uint32_t ms) = 0;
  // A sleep that `wake` may end early; a fake clock just sleeps, so that a
  // test's time stays where its sleeps put it.
  virtual void sleepOrWake(std::uint32_t ms, Wakeup& /*wake*/) { sleepMs(ms); }
  // Local wall-clock time, for the trace prefix.
  virtual TimeOfDay localTime() = 0;
};

// The real clock: steady_clock, this_thread::sleep_for (or the wakeup), localtime_r.
class SystemClock final : public Clock {
 public:
  std::uint64_t nowMs() override;
  void sleepMs(std::uint32_t ms) override;
  void sleepOrWake(std::uint32_t ms, Wakeup& wake) override { wake.wait(ms); }
  TimeOfDay localTime() override;
};

}  // namespace pelmora
