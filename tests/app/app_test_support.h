#pragma once
// The window logic wired to a real LinkEngine on a scripted port, driven
// from the test's thread. The communication thread that initialise starts
// is parked in its first sleep, so every step of the engine runs on the
// test's thread (communicationPass, the request procedures) and the clock
// advances only there.

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window_logic.h"
#include "app/testing/fake_main_view.h"
#include "app/testing/fake_port_index_store.h"
#include "link/clock.h"
#include "link/link_engine.h"
#include "link/serial_port.h"
#include "settings/shared_settings.h"

namespace pelmora::testing {

// Sleeps of the test's thread advance the time; any other thread waits in
// its sleep until release().
class ParkingClock final : public Clock {
 public:
  std::uint64_t nowMs() override;
  void sleepMs(std::uint32_t ms) override;
  TimeOfDay localTime() override { return {12, 0, 0}; }

  void waitUntilParked(int threads);
  void release();

 private:
  const std::thread::id owner_ = std::this_thread::get_id();
  std::mutex mutex_;  // guards everything below
  std::condition_variable changed_;
  std::uint64_t now_ = 1'000'000;
  int parked_ = 0;
  bool released_ = false;
};

// Ports that answer a handshake request at once, as a tracker would.
class AnsweringPort final : public SerialPort {
 public:
  std::set<int> openable;
  std::map<int, OpenFailure> failures;  // why the others fail (default: not mapped)
  std::vector<int> opened;

 private:
  int doPrepare(int) override { return 1; }
  int doOpen(int port) override;
  ReadResult doRead(int port, std::span<std::uint8_t> buffer) override;
  int doWrite(int port, std::span<const std::uint8_t> bytes) override;
  int doClose(int port) override;
  OpenFailure doLastOpenFailure(int port) const override;

  std::map<int, std::vector<std::uint8_t>> pending_;
  std::set<int> open_;
};

struct WindowHarness {
  WindowHarness() { view.buildPages(logic.pageTable()); }
  ~WindowHarness() {
    engine.requestStop();
    clock.release();
  }
  // The window's initialisation, with the communication thread parked.
  void start() {
    logic.initialise(engine);
    clock.waitUntilParked(1);
  }

  ParkingClock clock;
  AnsweringPort port;
  SharedSettings settings;
  FakeMainView view;
  FakePortIndexStore store;
  MainWindowLogic logic{view, store, settings};
  LinkEngine engine{port, clock, logic, settings, nullptr};  // stopped before the logic goes
};

}  // namespace pelmora::testing
