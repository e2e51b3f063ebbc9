// Interrupts on POSIX: SIGINT and SIGTERM blocked in every thread and taken
// by one watcher thread with sigwait, so no handler runs inside a serial
// call and none of them sees EINTR.
#include <pthread.h>
#include <signal.h>

#include <mutex>
#include <thread>

#include "cli/interrupt_watch.h"

namespace pelmora::cli {

void watchInterrupts() {
  static std::once_flag started;
  std::call_once(started, [] {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    // Threads started from here on inherit the mask, the watcher included.
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals] {
      for (;;) {
        int taken = 0;
        if (sigwait(&signals, &taken) == 0) interruptArrived();
      }
    }).detach();  // lives as long as the process
  });
}

}  // namespace pelmora::cli
