// Interrupts on Windows: the console's Ctrl-C, Ctrl-Break and close events,
// each delivered by the system on a thread of its own.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <mutex>

#include "cli/interrupt_watch.h"

namespace pelmora::cli {
namespace {

BOOL WINAPI onConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
      interruptArrived();
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void watchInterrupts() {
  static std::once_flag started;
  std::call_once(started, [] { ::SetConsoleCtrlHandler(onConsoleEvent, TRUE); });
}

}  // namespace pelmora::cli
