// The link engine's notifications reach the window on the window's thread:
// a sender on another thread waits until its notification has run there,
// and after stopAccepting() nothing reaches the window and nobody waits.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/window_thread_notifier.h"

namespace pelmora {
namespace {

struct Received {
  DWORD thread;
  std::u16string text;
};

class RecordingWindow final : public TrackerWindow {
 public:
  void trackerEvent(TrackerEvent, std::int32_t, std::u16string_view text) override {
    received.push_back({::GetCurrentThreadId(), std::u16string(text)});
  }
  void settingsReady() override { received.push_back({::GetCurrentThreadId(), u"settings ready"}); }
  std::vector<Received> received;
};

// A message-only window whose procedure runs the notifier's queue, as the main window's does.
LRESULT CALLBACK runQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kNotificationMessage) {
    reinterpret_cast<WindowThreadNotifier*>(::GetWindowLongPtrW(window, GWLP_USERDATA))->runQueued();
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

TEST(WindowThreadNotifier, DeliversOnTheWindowsThreadAndStopsWaitingWhenStopped) {
  RecordingWindow window;
  WindowThreadNotifier notifier(window);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = runQueue;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"PelmoraNotifierTest";
  ::RegisterClassW(&windowClass);
  const HWND wake = ::CreateWindowExW(0, L"PelmoraNotifierTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      windowClass.hInstance, nullptr);
  ASSERT_NE(wake, nullptr);
  ::SetWindowLongPtrW(wake, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&notifier));
  notifier.wakeWindow(wake);

  // From this thread: straight to the window.
  notifier.trackerEvent(TrackerEvent::Log, 0, u"direct");
  // From another: queued, and the sender returns only once it ran here.
  std::atomic<bool> senderDone{false};
  std::thread sender([&] {
    notifier.trackerEvent(TrackerEvent::Log, 0, u"from the engine");
    notifier.settingsReady();
    senderDone.store(true);
    ::PostMessageW(wake, WM_NULL, 0, 0);  // wakes the loop below once more
  });
  MSG message{};
  while (!senderDone.load() && ::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
  sender.join();

  const DWORD here = ::GetCurrentThreadId();
  ASSERT_EQ(window.received.size(), 3u);
  EXPECT_EQ(window.received[0].text, u"direct");
  EXPECT_EQ(window.received[1].text, u"from the engine");
  EXPECT_EQ(window.received[2].text, u"settings ready");
  for (const Received& received : window.received) EXPECT_EQ(received.thread, here);

  // Stopped: a sender returns at once though nobody runs the queue, and nothing arrives.
  notifier.stopAccepting();
  std::thread late([&] { notifier.trackerEvent(TrackerEvent::Log, 0, u"too late"); });
  late.join();
  notifier.trackerEvent(TrackerEvent::Log, 0, u"too late here");
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  EXPECT_EQ(window.received.size(), 3u);
  ::DestroyWindow(wake);
}

}  // namespace
}  // namespace pelmora
