#include "link/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace pelmora {

std::uint64_t SystemClock::nowMs() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SystemClock::sleepMs(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

TimeOfDay SystemClock::localTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return {};
  return {local.tm_hour, local.tm_min, local.tm_sec};
}

}  // namespace pelmora
