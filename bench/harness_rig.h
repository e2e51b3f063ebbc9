#pragma once
// One running tool, as the harness drives it: the real LinkEngine with its
// communication thread on POSIX serial ports mapped explicitly (automatic
// mapping off, so no real device is ever opened), the line paced in the
// tool's direction, and the window's thread with its one-second timer.

#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/harness_options.h"
#include "bench/harness_paced_port.h"
#include "bench/harness_ui_thread.h"
#include "bench/harness_window.h"
#include "link/clock.h"
#include "link/link_engine.h"
#include "link/posix_serial_port.h"
#include "link/trace_file.h"
#include "settings/shared_settings.h"

namespace pelmora::bench {

// Only these ports exist; each maps to the given device.
PortMapConfig explicitPorts(std::vector<std::pair<int, std::string>> entries);

class Rig {
 public:
  Rig(const HarnessOptions& options, PortMapConfig ports);
  ~Rig();
  Rig(const Rig&) = delete;
  Rig& operator=(const Rig&) = delete;

  LinkEngine& engine() { return engine_; }
  WindowThread& ui() { return *ui_; }
  HarnessWindow& window() { return window_; }
  SharedSettings& settings() { return settings_; }

  // A moment at a random phase of the handshake timer, at least `lead` from now.
  struct Phase {
    TimePoint when;
    double msAfterTick = 0;
  };
  Phase randomPhase(std::mt19937& rng, std::chrono::milliseconds lead = std::chrono::milliseconds(300));

  // Opens `port` on the window's thread; true once "Tracker is on line" came.
  bool openAndWaitOnline(int port, std::chrono::seconds limit);

 private:
  int phaseLowUs_;
  int phaseHighUs_;
  SystemClock clock_;
  std::unique_ptr<TraceFile> trace_;  // none without --trace
  PosixSerialPort serial_;
  PacedSerialPort paced_;
  HarnessWindow window_;
  SharedSettings settings_;
  LinkEngine engine_;
  std::optional<WindowThread> ui_;  // stops before the engine does
};

}  // namespace pelmora::bench
