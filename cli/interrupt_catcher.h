#pragma once
// Ctrl-C (SIGINT) and termination requests (SIGTERM; on Windows the
// console's Ctrl-C, Ctrl-Break and close events) while a command writes to
// trackers. The first one asks: requested() turns true and `onFirst` runs
// (on a thread of its own, never inside a signal handler); the jobs then
// start no new request, and a write already on its way is finished and
// verified. The second ends the program at once with status 130.
//
// Make one before any thread is started: on POSIX the signals are blocked
// in the creating thread, so every thread started afterwards inherits that
// and no serial call is broken off by a signal; one watcher thread takes them.

#include <functional>

namespace pelmora::cli {

// What the commands tell the user on the first interrupt.
inline constexpr const char* kInterruptNote =
    "interrupted: no new requests; a write on its way is finished and verified (interrupt again to stop at once)";

class InterruptCatcher {
 public:
  explicit InterruptCatcher(std::function<void()> onFirst = {});
  ~InterruptCatcher();  // `onFirst` is not running and is never called after this returns
  InterruptCatcher(const InterruptCatcher&) = delete;
  InterruptCatcher& operator=(const InterruptCatcher&) = delete;

  bool requested() const;
};

}  // namespace pelmora::cli
