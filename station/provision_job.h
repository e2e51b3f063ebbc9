#pragma once
// One tracker at a station, from its first handshake to its verdict:
// handshake, read, lay the profile and this tracker's own values over what
// was read, write what differs, read back, verify. Runs on the job's own
// thread over its own session; reports each step as it begins.

#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "link/tracker_session.h"
#include "settings/history_archive.h"
#include "settings/settings_file.h"
#include "station/values_file.h"

namespace pelmora::station {

enum class JobStep : std::uint8_t { Waiting, Handshake, Reading, Writing, Verifying, Done, DoneEarlier, Failed };

// "waiting", "handshake", "reading", "writing", "verifying", "done — unplug",
// "done earlier — unplug", "failed".
const char* stepWords(JobStep step);

// The IMEIs verified with the station's profile: from its record at start
// (none with --again), then each as its job verifies it. Shared by the jobs,
// which look, and the station, which adds.
class VerifiedImeis {
 public:
  explicit VerifiedImeis(std::set<std::string> imeis = {}) : imeis_(std::move(imeis)) {}
  bool contains(const std::string& imei) const {
    std::lock_guard<std::mutex> hold(lock_);
    return imeis_.count(imei) != 0;
  }
  void add(const std::string& imei) {
    std::lock_guard<std::mutex> hold(lock_);
    imeis_.insert(imei);
  }

 private:
  mutable std::mutex lock_;  // guards imeis_ only
  std::set<std::string> imeis_;
};

// What every job of a station lays over its tracker; read by every job, changed by none.
struct JobPlan {
  SettingsDocument profile;
  std::string profileName;       // as the user named the file
  std::string profileSha256;     // of the file's bytes
  std::optional<ValuesFile> values;  // each tracker's own; none: the profile alone
  std::string valuesName;        // as the user named that file
  std::shared_ptr<VerifiedImeis> doneEarlier = std::make_shared<VerifiedImeis>();
  // Where each tracker's settings are kept before its write; none: nothing kept.
  std::shared_ptr<const HistoryArchive> history;
};

struct JobReport {
  std::string imei;
  std::string firmware;
  std::vector<FieldChange> changes;  // what the write changed (or would have)
  bool written = false;              // a write went out and was taken
  bool verified = false;
  bool doneEarlier = false;  // verified with this profile in an earlier run: nothing done
  std::string beforeImage;   // where its settings before the write are kept; "" when nothing was written
  std::string failure;       // why not, when neither verified nor done earlier
};

struct JobHooks {
  std::function<void(JobStep)> step;  // each step as it begins
  // True once the tracker's port has gone or the station stops: waits end,
  // no new request starts. A write already on its way is finished and verified.
  std::function<bool()> giveUp;
  std::string portName;  // as the station names the port, for the kept before-image
};

// Runs the job on `port` (a number `session`'s port knows).
JobReport runProvisionJob(TrackerSession& session, int port, const JobPlan& plan, const JobHooks& hooks);

}  // namespace pelmora::station
