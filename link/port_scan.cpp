#include "link/port_scan.h"

namespace pelmora {
namespace {

constexpr std::uint32_t kScanPauseMs = 500;
constexpr std::uint32_t kPauseSliceMs = 100;  // so that shutdown never waits a whole pause
constexpr int kScanChecksPerPort = 6;

}  // namespace

ScanState PortScan::begin() {
  ScanState scan;
  scan.generation = generation_.fetch_add(1) + 1;
  stop_.store(0);
  return scan;
}

bool PortScan::isCurrent(const ScanState& scan) const {
  return !stopping_.load() && stop_.load() == 0 && scan.generation == generation_.load();
}

void PortScan::run(ScanState scan, ScanLink& link) {
  // An older scan still running sees the newer generation at its next check
  // and ends; this one starts only then.
  std::lock_guard<std::mutex> onlyScan(runLock_);
  while (step(scan, link) == ScanStep::Continue) {
    for (std::uint32_t left = scan.pauseNext ? kScanPauseMs : 0; left > 0 && !stopping_.load();) {
      const std::uint32_t slice = left < kPauseSliceMs ? left : kPauseSliceMs;
      clock_.sleepMs(slice);
      left -= slice;
    }
  }
}

ScanStep PortScan::step(ScanState& scan, ScanLink& link) {
  scan.pauseNext = false;
  if (!isCurrent(scan)) return ScanStep::Stopped;

  if (scan.checksLeft > 0) {
    switch (link.trackerAnswered(scan)) {
      case ScanLink::Answer::OnPort:
        notifier_.logf("Tracker is on port %d", scan.port);
        notifier_.selectPort(scan.port);
        return ScanStep::Found;
      case ScanLink::Answer::ScanStopped:
        return ScanStep::Stopped;
      case ScanLink::Answer::NotYet:
        break;
    }
    scan.pauseNext = true;
    if (--scan.checksLeft == 0) ++scan.port;
    return ScanStep::Continue;
  }

  if (scan.port >= kScanPortCount) {
    notifier_.log(u"Tracker is off line ");
    return ScanStep::Exhausted;
  }
  notifier_.logf("Scan port %d ...", scan.port);
  switch (link.openForScan(scan.port, scan)) {
    case ScanLink::Opened::Yes:
      scan.checksLeft = kScanChecksPerPort;
      break;
    case ScanLink::Opened::Failed:
      ++scan.port;
      break;
    case ScanLink::Opened::ScanStopped:
      return ScanStep::Stopped;
  }
  return ScanStep::Continue;
}

}  // namespace pelmora
