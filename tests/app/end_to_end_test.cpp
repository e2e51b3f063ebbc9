// One whole run against the simulated tracker on a pseudo-terminal: the
// real link engine with its threads and the real clock, the window logic on
// the test's thread, the fake view in place of the widgets.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
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
#include "pages/apn_page.h"
#include "pages/misc_page.h"
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
  void settingsReady() override {
    deliver([&] { window_.settingsReady(); });
  }

  // Runs every call posted so far, waiting at most `wait` for the first.
  void pump(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> hold(mutex_);
    posted_.wait_for(hold, wait, [this] { return !calls_.empty(); });
    while (!calls_.empty()) {
      Call* call = calls_.front();
      calls_.pop_front();
      hold.unlock();
      (*call->run)();
      hold.lock();
      call->done = true;
      done_.notify_all();
    }
  }

 private:
  struct Call {
    const std::function<void()>* run;
    bool done = false;
  };

  void deliver(const std::function<void()>& run) {
    if (std::this_thread::get_id() == owner_) {
      run();
      return;
    }
    std::unique_lock<std::mutex> hold(mutex_);
    Call call{&run};
    calls_.push_back(&call);
    posted_.notify_all();
    done_.wait(hold, [&] { return call.done; });
  }

  TrackerWindow& window_;
  const std::thread::id owner_ = std::this_thread::get_id();
  std::mutex mutex_;  // guards calls_ and every Call::done
  std::condition_variable posted_;
  std::condition_variable done_;
  std::deque<Call*> calls_;
};

// The UTF-16LE text of `units` units at `offset`, up to its first NUL.
std::u16string textAt(const Bytes& image, std::size_t offset, std::size_t units) {
  std::u16string text;
  for (std::size_t i = 0; i < units && (image[offset + 2 * i] | image[offset + 2 * i + 1]) != 0; ++i)
    text.push_back(static_cast<char16_t>(image[offset + 2 * i] | image[offset + 2 * i + 1] << 8));
  return text;
}

void putBytes(Bytes& image, std::size_t offset, std::initializer_list<std::uint8_t> bytes) {
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Extended layout offsets.
constexpr std::size_t kSmsPasswordAt = 68, kSmsIntervalAt = 88, kLowPowerVoltageAt = 600, kApnNameAt = 1148,
                      kTcpTrackAt = 1952, kWiretapAt = 1988, kImeiAt = 3320;

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
  // The demo image, with a low-power voltage other than the 3.5 V that
  // every save stores.
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

  // Scan: ports 0 to 3 fail, 4 answers.
  run.logic.onScanPorts();
  ASSERT_TRUE(run.serveUntil(
      // The scan may see the handshake reply's flag before the on-line report
      // reaches the window: wait for both.
      [&] { return run.logHas(u"Tracker is on port 4\r\n\r\n") && run.view.selectedPort() == kTrackerPort &&
                   run.view.readEnabled; }))
      << std::string(run.view.log.begin(), run.view.log.end());
  const std::u16string scanned =
      u"Scan port 0 ...\r\n\r\nFail to open port 0\r\n\r\n"
      u"Scan port 1 ...\r\n\r\nFail to open port 1\r\n\r\n"
      u"Scan port 2 ...\r\n\r\nFail to open port 2\r\n\r\n"
      u"Scan port 3 ...\r\n\r\nFail to open port 3\r\n\r\n"
      u"Scan port 4 ...\r\n\r\n";
  EXPECT_EQ(run.view.log.substr(0, scanned.size()), scanned);
  EXPECT_TRUE(run.logHas(u"Open  port 4 sucessfully\r\n\r\n"));
  EXPECT_TRUE(run.logHas(u"Tracker is on line\r\n\r\n"));
  EXPECT_EQ(run.store.writes, 0) << "a scan's selection is not stored";
  EXPECT_TRUE(run.view.readEnabled);
  EXPECT_FALSE(run.view.writeEnabled);
  ASSERT_TRUE(run.serveUntil([&] {
    return !run.view.statusImages.empty() && run.view.statusImages.back() == StatusImage::Online;
  }));

  // Read.
  run.logic.onReadSettings();
  ASSERT_TRUE(run.serveUntil([&] { return run.logic.settingsLoaded(); }))
      << std::string(run.view.log.begin(), run.view.log.end());
  EXPECT_TRUE(run.logHas(u"Read Setting ...\r\n\r\nGet Tracker's setting ok!\r\n\r\n"));
  EXPECT_TRUE(run.view.writeEnabled);
  EXPECT_EQ(run.view.identityText(IdentityField::MagicNumber), u"f6860001");
  EXPECT_EQ(run.view.identityText(IdentityField::Imei), textAt(sent, kImeiAt, 32));
  EXPECT_EQ(run.view.page(0).text(sms_track::IDC_SMS_PASSWORD), textAt(sent, kSmsPasswordAt, 10));
  EXPECT_EQ(run.view.page(2).text(apn::IDC_APN_NAME), textAt(sent, kApnNameAt, 100));
  EXPECT_EQ(run.view.page(4).checkState(transport::IDC_TCP_TRACK), 1);

  // Edit: the SMS interval, the wiretap number, and TCP tracking off.
  run.view.page(0).setText(sms_track::IDC_SMS_INTERVAL, u"");
  run.view.page(0).type(sms_track::IDC_SMS_INTERVAL, u"45");
  run.view.page(5).setText(misc::IDC_WIRETAP_NUMBER, u"");
  run.view.page(5).type(misc::IDC_WIRETAP_NUMBER, u"+15550100888");
  run.view.page(4).click(transport::IDC_TCP_TRACK);
  run.logic.onPageCommand(4, transport::IDC_TCP_TRACK);

  // Write.
  run.logic.onWriteSettings();
  ASSERT_TRUE(run.serveUntil([&] { return run.logHas(u"Write setting to tracker ok!\r\n\r\n"); }))
      << std::string(run.view.log.begin(), run.view.log.end());
  EXPECT_TRUE(run.logHas(u"Write Setting ...\r\n\r\n"));

  Bytes expected = sent;
  putBytes(expected, kSmsIntervalAt, {45, 0, 0, 0});
  putBytes(expected, kTcpTrackAt, {0, 0, 0, 0});
  const std::u16string wiretap = u"+15550100888";
  for (std::size_t i = 0; i < 22; ++i) {
    const char16_t unit = i < wiretap.size() ? wiretap[i] : u'\0';
    putBytes(expected, kWiretapAt + 2 * i, {static_cast<std::uint8_t>(unit), static_cast<std::uint8_t>(unit >> 8)});
  }
  putBytes(expected, kLowPowerVoltageAt, {0x00, 0x00, 0x60, 0x40});  // every save stores 3.5 V
  std::fill_n(expected.begin(), 68, 0);  // magic and firmware text are not written
  const Bytes written = tracker.writtenImage();
  ASSERT_EQ(written.size(), expected.size());
  const auto differs = std::mismatch(written.begin(), written.end(), expected.begin()).first;
  EXPECT_EQ(differs, written.end()) << "first difference at offset " << (differs - written.begin());
}

}  // namespace
}  // namespace pelmora::testing
