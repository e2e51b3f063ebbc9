#pragma once
// The engine's notifications on the Win32 window's thread (the hand-off in
// app/window_thread_hand_off.h): a posted message (kNotificationMessage),
// carrying nothing, wakes the window's thread, whose window procedure then
// calls runQueued().

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>

#include "app/window_thread_hand_off.h"

namespace pelmora {

inline constexpr UINT kNotificationMessage = WM_APP + 1;

class WindowThreadNotifier final : public WindowThreadHandOff {
 public:
  // Made on the window's thread; `window` must outlive every sender.
  explicit WindowThreadNotifier(TrackerWindow& window)
      : WindowThreadHandOff(window), windowThread_(::GetCurrentThreadId()) {}

  // The window whose procedure calls runQueued() on kNotificationMessage;
  // set before the first notification can come.
  void wakeWindow(HWND window) { wakeWindow_.store(window); }

 private:
  bool onWindowThread() const override { return ::GetCurrentThreadId() == windowThread_; }
  void wakeWindowThread() override { ::PostMessageW(wakeWindow_.load(), kNotificationMessage, 0, 0); }

  const DWORD windowThread_;
  std::atomic<HWND> wakeWindow_{nullptr};
};

}  // namespace pelmora
