// The hand-over of the engine's notifications to the window's thread: any
// number of senders at once, each waiting until the window has run its own
// notification and free to reuse its text afterwards; once the window stops
// accepting, no sender waits for it and nothing more reaches it.

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <string>
#include <thread>
#include <vector>

#include "app/qt/gui_thread_window.h"
#include "tests/qt/window_support.h"

namespace pelmora::testing {
namespace {

constexpr std::size_t kSenders = 12;
constexpr int kLinesEach = 400;

// The window's side: what each sender's log lines said, in order. Sender i
// sends value i; only the window's thread writes here.
struct RecordingWindow final : TrackerWindow {
  void trackerEvent(int /*kind*/, std::int32_t value, std::u16string_view text) override {
    lines[static_cast<std::size_t>(value)].emplace_back(text);
  }
  void settingsReady() override {}
  std::array<std::vector<std::u16string>, kSenders> lines;
};

std::u16string lineText(std::size_t sender, int line) {
  const std::string text = "sender " + std::to_string(sender) + " line " + std::to_string(line);
  return {text.begin(), text.end()};
}

TEST(GuiThreadWindow, AnyNumberOfSendersWaitForTheWindowUntilItStopsAccepting) {
  RecordingWindow window;
  GuiThreadWindow handOver(window);
  std::atomic<bool> stopping{false};
  std::array<int, kSenders> returnedUnrun{};  // per sender: sends that returned before the window ran them
  std::vector<std::thread> senders;
  for (std::size_t i = 0; i < kSenders; ++i) {
    senders.emplace_back([&, i] {
      const std::vector<std::u16string>& seen = window.lines[i];
      for (int line = 0; line < kLinesEach; ++line) {
        const std::size_t before = seen.size();
        std::u16string text = lineText(i, line);
        handOver.trackerEvent(TRACKER_EVENT_LOG, static_cast<std::int32_t>(i), text);
        text.assign(text.size(), u'#');  // the window keeps its own copy
        // Before the stop the window has run the notification by the time the send returns.
        if (!stopping.load() && seen.size() != before + 1) ++returnedUnrun[i];
      }
    });
  }
  // Every sender is under way, most of them waiting for this thread.
  const bool underWay = TestWindow::waitFor([&] {
    for (const std::vector<std::u16string>& lines : window.lines)
      if (lines.size() < 20) return false;
    return true;
  });

  stopping.store(true);
  handOver.stopAccepting();
  std::array<std::size_t, kSenders> runBeforeStop{};
  for (std::size_t i = 0; i < kSenders; ++i) runBeforeStop[i] = window.lines[i].size();
  // Joined without this thread handling anything: no sender may still wait for it.
  for (std::thread& sender : senders) sender.join();
  QCoreApplication::processEvents();  // the wake-ups still posted find nothing to run
  ASSERT_TRUE(underWay);
  for (std::size_t i = 0; i < kSenders; ++i) {
    EXPECT_EQ(returnedUnrun[i], 0) << "sender " << i;
    ASSERT_EQ(window.lines[i].size(), runBeforeStop[i]) << "sender " << i << ": ran after the stop";
    for (std::size_t line = 0; line < window.lines[i].size(); ++line)
      ASSERT_EQ(window.lines[i][line], lineText(i, static_cast<int>(line))) << "sender " << i;
  }
}

}  // namespace
}  // namespace pelmora::testing
