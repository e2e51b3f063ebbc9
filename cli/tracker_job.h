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
#include "settings/history_archive.h"
#include "settings/settings_file.h"

namespace pelmora::cli {

struct JobHooks {
  // A new stage ("handshake", "reading", "writing", "reading back") or more
  // milliseconds waited in it; from the job's or the engine's thread.
  std::function<void(const std::string& stage, std::uint32_t elapsedMs)> progress;
  // What the write will change, once known (before anything is written).
  std::function<void(const std::vector<FieldChange>&)> changes;
  // A line the user should see before anything is written (a whole file
  // from another tracker); from the job's thread.
  std::function<void(const std::string&)> notice;
  // True once the user asked to stop (an interrupt): the job starts no new
  // request, but a write already on its way is finished and verified.
  std::function<bool()> stopRequested;
  TraceSink* trace = nullptr;
  bool verbose = false;
  // Write a whole settings file whose TrackerId differs from the tracker's
  // (--yes); without it such a write is refused, nothing written.
  bool acceptOtherTrackerId = false;
  // Where the settings read are kept before a write; none: nothing kept.
  const HistoryArchive* history = nullptr;
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
  // The same after a read(): `read` is what it gave, `outcome` its outcome.
  TrackerOutcome writeOver(const SettingsDocument& document, const SettingsDocument& read, TrackerOutcome outcome,
                           bool dryRun);

 private:
  void enter(const char* stage);
  bool stopRequested() const { return hooks_.stopRequested && hooks_.stopRequested(); }
  // What to say about a whole file from another tracker, or "" when the
  // document is no whole file or the TrackerIds agree.
  std::string otherTrackerLine(const SettingsDocument& document, const SettingsDocument& read) const;

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
