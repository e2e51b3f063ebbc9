#include "link/wakeup.h"

#include <chrono>

namespace pelmora {

Wakeup::Wakeup() = default;
Wakeup::~Wakeup() = default;

void Wakeup::raise() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    flag_ = true;
  }
  raised_.notify_one();
}

void Wakeup::clear() {
  std::lock_guard<std::mutex> hold(lock_);
  flag_ = false;
}

bool Wakeup::wait(std::uint32_t ms) {
  std::unique_lock<std::mutex> hold(lock_);
  return raised_.wait_for(hold, std::chrono::milliseconds(ms), [this] { return flag_; });
}

// The Windows port has no descriptor to poll beside this one.
int Wakeup::pollDescriptor() const { return -1; }

}  // namespace pelmora
