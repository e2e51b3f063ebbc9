#pragma once
// What the tool costs while it only waits: CPU time and resident memory of
// this process with the engine running, once with no port open and once
// with a port open and the tracker answering every handshake. The tracker
// then runs in a child process, so that its work is not counted as the tool's.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "bench/harness_options.h"
#include "bench/harness_report.h"

namespace pelmora::bench {

// The simulated tracker in a child process, answering on a pseudo-terminal.
class TrackerProcess {
 public:
  // Forks; call it before this process starts any thread. Nothing on failure.
  static std::optional<TrackerProcess> start(std::uint32_t baud);
  TrackerProcess(TrackerProcess&& other) noexcept;
  TrackerProcess& operator=(TrackerProcess&&) = delete;
  ~TrackerProcess();  // ends the child and waits for it

  const std::string& devicePath() const { return devicePath_; }

 private:
  TrackerProcess(pid_t pid, int control, std::string devicePath)
      : pid_(pid), control_(control), devicePath_(std::move(devicePath)) {}
  pid_t pid_ = -1;
  int control_ = -1;  // the child ends when this closes
  std::string devicePath_;
};

// Both idle measurements; `tracker` may be null (then only the one without a port).
std::vector<IdleResult> measureIdle(const HarnessOptions& options, const TrackerProcess* tracker);

}  // namespace pelmora::bench
