#pragma once
// Wakes the engine's thread when a request is queued or the engine is told to
// stop, whether it is pausing between passes or waiting on the port, so that
// a read or write reaches the line at once instead of at the end of a 100 ms
// slice (half a slice is 1.4 % of a whole read at 9600 baud).
//
// Raised from any thread; waited on and cleared by one thread only: the
// engine's for its requests, or a thread that waits for the engine's state
// (TrackerSession waiting for the tracker to come on line).

#include <cstdint>

#ifdef _WIN32
#include <condition_variable>
#include <mutex>
#endif

namespace pelmora {

class Wakeup {
 public:
  Wakeup();
  ~Wakeup();
  Wakeup(const Wakeup&) = delete;
  Wakeup& operator=(const Wakeup&) = delete;

  void raise();
  // Called before looking at what may have raised it, so that a raise after
  // the look is kept for the next wait.
  void clear();
  // Until raised (true) or `ms` have passed (false).
  bool wait(std::uint32_t ms);
  // A descriptor that is readable while raised, to poll beside a port's;
  // -1 where the system has none.
  int pollDescriptor() const;

 private:
#ifdef _WIN32
  std::mutex lock_;  // the flag
  std::condition_variable raised_;
  bool flag_ = false;
#else
  int fd_ = -1;  // an eventfd counting raises since the last clear
#endif
};

}  // namespace pelmora
