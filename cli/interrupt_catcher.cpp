#include "cli/interrupt_catcher.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "cli/exit_status.h"
#include "cli/interrupt_watch.h"

namespace pelmora::cli {
namespace {

std::atomic<int> interrupts{0};
// The first-interrupt callback; held while it runs, so that the catcher
// that set it never ends (and takes what it refers to along) under it.
std::mutex callbackLock;
std::function<void()> onFirstInterrupt;

}  // namespace

void interruptArrived() {
  if (interrupts.fetch_add(1) > 0) std::_Exit(kExitInterrupted);
  const std::lock_guard<std::mutex> hold(callbackLock);
  if (onFirstInterrupt) onFirstInterrupt();
}

InterruptCatcher::InterruptCatcher(std::function<void()> onFirst) {
  {
    const std::lock_guard<std::mutex> hold(callbackLock);
    onFirstInterrupt = std::move(onFirst);
  }
  watchInterrupts();
}

InterruptCatcher::~InterruptCatcher() {
  const std::lock_guard<std::mutex> hold(callbackLock);
  onFirstInterrupt = nullptr;
}

bool InterruptCatcher::requested() const { return interrupts.load() > 0; }

}  // namespace pelmora::cli
