#pragma once
// What every command does with one tracker: open its port, handshake, read
// its settings, and (for write and apply) lay a document over them, write,
// read back and verify. Each job has its own session, so jobs on different
// ports run side by side on their own threads.

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/port_target.h"
#include "cli/tracker_outcome.h"
#include "link/clock.h"
#include "link/serial_port.h"
#include "link/tracker_session.h"
#include "settings/settings_file.h"

namespace pelmora::cli {

struct JobHooks {
  // A new stage ("handshake", "reading", "writing", "reading back") or more
  // milliseconds waited in it; from the job's or the engine's thread.
  std::function<void(const std::string& stage, std::uint32_t elapsedMs)> progress;
  // What the write will change, once known (before anything is written).
  std::function<void(const std::vector<FieldChange>&)> changes;
  TraceSink* trace = nullptr;
  bool verbose = false;
};

class TrackerJob {
 public:
  TrackerJob(PortTarget target, JobHooks hooks);

  // Connects and reads. On success `document` holds the tracker's settings
  // and the outcome carries its identity; on failure the outcome says why.
  TrackerOutcome read(SettingsDocument& document);

  // Reads, lays `document` over what was read, and unless `dryRun` writes,
  // reads back and verifies.
  TrackerOutcome provision(const SettingsDocument& document, bool dryRun);

 private:
  void enter(const char* stage);

  // Why a request ended otherwise than done, in the engine's words.
  std::string whyNot(RequestOutcome outcome) const;

  PortTarget target_;
  JobHooks hooks_;
  std::atomic<const char*> stage_{"waiting"};  // read by the engine's thread for its progress reports
  std::unique_ptr<SerialPort> port_;
  SystemClock clock_;
  std::unique_ptr<TrackerSession> session_;
  SettingsCodec codec_;  // the tracker's settings as read last, for laying files over them
  SettingsModel model_;
};

}  // namespace pelmora::cli
