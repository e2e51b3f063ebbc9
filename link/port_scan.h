#pragma once
// "Scan Ports": ports 0..99 tried in turn until a tracker answers. A port
// that opens gets six checks, 500 ms apart; a check that finds the tracker
// on line on that port selects it in the chooser. One scan runs at a time:
// a newer scan, a stop (the user's own choice of port) or shutdown ends the
// running one at its next check, and a scan that has ended touches no port.

#include <atomic>
#include <cstdint>
#include <mutex>

#include "link/clock.h"
#include "link/engine_notifier.h"
#include "link/serial_port.h"

namespace pelmora {

inline constexpr int kScanPortCount = kLastPortNumber + 1;  // ports 0..99, as the chooser lists them

// Where a scan stands between two steps.
struct ScanState {
  std::uint32_t generation = 0;  // the scan press this state belongs to
  int port = 0;          // the port tried next, or being waited on
  int checksLeft = 0;    // > 0 while waiting for a handshake reply on `port`
  bool pauseNext = false;  // the step just made was a check: 500 ms before the next
};

enum class ScanStep {
  Continue,  // call again (after 500 ms when ScanState::pauseNext)
  Found,     // "Tracker is on port %d" and the chooser selection were sent
  Exhausted, // all ports tried: "Tracker is off line "
  Stopped,   // scanStop, a newer scan, or shutdown
};

// What a scan asks of the link it runs on.
class ScanLink {
 public:
  enum class Opened { Yes, Failed, ScanStopped };
  enum class Answer { NotYet, OnPort, ScanStopped };
  // Opens `port` in place of the current one (and logs how that went),
  // unless `scan` has ended.
  virtual Opened openForScan(int port, const ScanState& scan) = 0;
  // Whether a tracker answers on the port `scan` opened, while `scan` is current.
  virtual Answer trackerAnswered(const ScanState& scan) = 0;

 protected:
  ~ScanLink() = default;
};

class PortScan {
 public:
  // `stopping` is the engine's shutdown flag: no scan goes on after it.
  PortScan(EngineNotifier& notifier, Clock& clock, const std::atomic<bool>& stopping)
      : notifier_(notifier), clock_(clock), stopping_(stopping) {}

  // A new scan from port 0; a running one sees it and ends.
  ScanState begin();
  void stop() { stop_.store(1); }
  int stopFlag() const { return stop_.load(); }
  // Neither stopped nor replaced by a newer scan, and no shutdown.
  bool isCurrent(const ScanState& scan) const;
  ScanStep step(ScanState& scan, ScanLink& link);
  // A scan thread's body: steps until the scan ends; starts only once an
  // older scan still running has ended.
  void run(ScanState scan, ScanLink& link);

 private:
  EngineNotifier& notifier_;
  Clock& clock_;
  const std::atomic<bool>& stopping_;
  std::atomic<int> stop_{0};
  std::atomic<std::uint32_t> generation_{0};
  std::mutex runLock_;  // held by the one scan that runs
};

}  // namespace pelmora
