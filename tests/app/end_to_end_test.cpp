// One whole run against the simulated tracker on a pseudo-terminal: the
// real link engine with its threads and the real clock, the window logic on
// the test's thread, the fake view in place of the widgets.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window_logic.h"
#include "app/testing/fake_main_view.h"
#include "app/testing/fake_port_index_store.h"
#include "link/clock.h"
#include "link/link_engine.h"
#include "link/posix_serial_port.h"
#include "pages/sms_track_page.h"
#include "pages/transport_page.h"
#include "tools/simtracker/demo_images.h"
#include "tools/simtracker/sim_tracker.h"

namespace pelmora::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

// Delivers the engine's notifications on the test's thread, as the Qt
// window does: a worker posts the call and waits until the test's thread
// has run it; a call from the test's thread itself runs at once.
class WindowThread final : public TrackerWindow {
 public:
  explicit WindowThread(TrackerWindow& window) : window_(window) {}

  void trackerEvent(int kind, std::int32_t value, std::u16string_view text) override {
    deliver([&] { window_.trackerEvent(kind, value, text); });
  }
  void settingsReady() override { deliver([&] { window_.settingsReady(); }); }

  // Runs the calls posted, waiting at most `wait` for the first.
  void pump(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> hold(mutex_);
    while (changed_.wait_for(hold, wait, [this] { return posted_ != nullptr; })) {
      (*posted_)();
      posted_ = nullptr;
      ++finished_;
      changed_.notify_all();
      wait = 0ms;
    }
  }

 private:
  void deliver(const std::function<void()>& call) {
    if (std::this_thread::get_id() == owner_) return call();
    std::unique_lock<std::mutex> hold(mutex_);
    changed_.wait(hold, [this] { return posted_ == nullptr; });
    posted_ = &call;
    const std::uint64_t ticket = finished_ + 1;  // one call finishes at a time
    changed_.notify_all();
    changed_.wait(hold, [&] { return finished_ >= ticket; });
  }

  TrackerWindow& window_;
  const std::thread::id owner_ = std::this_thread::get_id();
  std::mutex mutex_;  // guards posted_ and finished_, and is held while a call runs
  std::condition_variable changed_;
  const std::function<void()>* posted_ = nullptr;
  std::uint64_t finished_ = 0;
};

void putBytes(Bytes& image, std::size_t offset, std::initializer_list<std::uint8_t> bytes) {
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Extended layout offsets.
constexpr std::size_t kSmsIntervalAt = 88, kLowPowerVoltageAt = 600, kTcpTrackAt = 1952;
constexpr int kTrackerPort = 4;

struct WindowRun {
  explicit WindowRun(const std::string& device)
      : serial(PortMapConfig{{{kTrackerPort, device}}, false}) {
    view.buildPages(logic.pageTable());
  }
  ~WindowRun() {
    // Workers may be waiting for the window: keep serving it until they end.
    engine.requestStop();
    while (!engine.tryJoinAll()) windowThread.pump(20ms);
  }

  // Serves the window (notifications, and a timer tick every second) until
  // `done` holds; false if it does not within `limit`.
  bool serveUntil(const std::function<bool()>& done, std::chrono::seconds limit = 60s) {
    const auto start = Clock::now();
    while (!done()) {
      if (Clock::now() - start > limit) return false;
      windowThread.pump(20ms);
      if (Clock::now() - lastTick >= 1s) {
        lastTick += 1s;
        logic.onTimerTick();
      }
    }
    return true;
  }
  bool logHas(std::u16string_view line) const { return view.log.find(line) != std::u16string::npos; }

  SharedSettings settings;
  FakeMainView view;
  FakePortIndexStore store;
  MainWindowLogic logic{view, store, settings};
  WindowThread windowThread{logic};
  PosixSerialPort serial;
  SystemClock clock;
  LinkEngine engine{serial, clock, windowThread, settings, nullptr};
  Clock::time_point lastTick = Clock::now();
};

TEST(EndToEnd, ScanReadEditWriteAgainstTheSimulatedTracker) {
  // The demo image, with a low-power voltage other than the demo's 3.5 V,
  // which no page shows and a write keeps.
  Bytes sent = sim::extendedDemoImage();
  ASSERT_EQ(sent.size(), 3384u);
  putBytes(sent, kLowPowerVoltageAt, {0x00, 0x00, 0x80, 0x40});  // 4.0f

  sim::SimOptions options;
  options.image = sent;
  sim::SimTracker tracker(options);
  ASSERT_TRUE(tracker.start()) << tracker.errorText();

  WindowRun run(tracker.devicePath());
  run.logic.initialise(run.engine);
  EXPECT_FALSE(run.view.readEnabled);

  // Scan: ports 0 to 3 fail, 4 answers. The scan may see the handshake
  // reply's flag before the on-line report reaches the window: wait for both.
  run.logic.onScanPorts();
  ASSERT_TRUE(run.serveUntil([&] {
    return run.logHas(u"Tracker is on port 4\r\n\r\n") && run.view.selectedPort() == kTrackerPort &&
           run.view.readEnabled;
  })) << std::string(run.view.log.begin(), run.view.log.end());
  EXPECT_EQ(run.store.writes, 0) << "a scan's selection is not stored";
  EXPECT_FALSE(run.view.writeEnabled);
  ASSERT_TRUE(run.serveUntil([&] {
    return !run.view.statusImages.empty() && run.view.statusImages.back() == StatusImage::Online;
  }));

  // Read: the identity row and the pages.
  run.logic.onReadSettings();
  ASSERT_TRUE(run.serveUntil([&] { return run.logic.settingsLoaded(); }))
      << std::string(run.view.log.begin(), run.view.log.end());
  EXPECT_TRUE(run.logHas(u"Read Setting ...\r\n\r\nGet Tracker's setting ok!\r\n\r\n"));
  EXPECT_TRUE(run.view.writeEnabled);
  EXPECT_EQ(run.view.identityText(IdentityField::MagicNumber), u"f6860001");
  EXPECT_EQ(run.view.identityText(IdentityField::Imei), u"490154203237518");
  EXPECT_EQ(run.view.page(0).text(sms_track::IDC_SMS_PASSWORD), u"123456");
  EXPECT_EQ(run.view.page(4).checkState(transport::IDC_TCP_TRACK), 1);

  // Edit the SMS interval and turn TCP tracking off, then write.
  run.view.page(0).setText(sms_track::IDC_SMS_INTERVAL, u"");
  run.view.page(0).type(sms_track::IDC_SMS_INTERVAL, u"45");
  run.view.page(4).click(transport::IDC_TCP_TRACK);
  run.logic.onPageCommand(4, transport::IDC_TCP_TRACK);
  run.logic.onWriteSettings();
  ASSERT_TRUE(run.serveUntil([&] { return run.logHas(u"Write setting to tracker ok!\r\n\r\n"); }))
      << std::string(run.view.log.begin(), run.view.log.end());

  Bytes expected = sent;
  std::fill_n(expected.begin(), 68, 0);  // magic and firmware text are not written
  putBytes(expected, kSmsIntervalAt, {45, 0, 0, 0});
  putBytes(expected, kTcpTrackAt, {0, 0, 0, 0});
  const Bytes written = tracker.writtenImage();
  ASSERT_EQ(written.size(), expected.size());
  const auto differs = std::mismatch(written.begin(), written.end(), expected.begin()).first;
  EXPECT_EQ(differs, written.end()) << "first difference at offset " << (differs - written.begin());
}

}  // namespace
}  // namespace pelmora::testing
