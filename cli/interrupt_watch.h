#pragma once
// The system's side of InterruptCatcher (interrupt_watch_posix.cpp,
// interrupt_watch_windows.cpp) and what it calls.

namespace pelmora::cli {

// Starts taking interrupts, once per process; later calls do nothing.
void watchInterrupts();
// One interrupt arrived; called on a thread of the watcher's own, never in a
// signal handler. The second call ends the program with status 130.
void interruptArrived();

}  // namespace pelmora::cli
