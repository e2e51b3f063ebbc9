#pragma once
// A provisioning station: it watches its ports, runs one job for each
// tracker that appears (provision_job.h), records each job as it ends, and
// waits for that tracker to go away before the port takes the next. A
// tracker that stays plugged is never written twice.
//
// The station decides on its own thread, in tick(): jobs run on theirs and
// hand their steps and reports over through a queue, so the listener and the
// record are only ever called from tick().

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/wakeup.h"
#include "station/provision_job.h"
#include "station/station_record.h"

namespace pelmora::station {

// A port of the station with a device behind it now.
struct PresentPort {
  int number = 0;
  std::string name;     // as the user knows it: "COM5"
  std::string adapter;  // the USB serial adapter, "" where unknown
  bool operator==(const PresentPort&) const = default;
};

// Which of the station's ports have a device behind them now.
class PortPresence {
 public:
  virtual ~PortPresence() = default;
  virtual std::vector<PresentPort> present() = 0;
  // Returns when a port may have come or gone, or `wake` was raised (a job
  // moved on, the station is told to stop). One that cannot tell when ports
  // change returns after a while, so that the station looks again.
  virtual void waitForChange(Wakeup& wake) { wake.wait(kLookAgainMs); }

  // The while: a port that appears gets its first handshake well within a
  // second and a half.
  static constexpr std::uint32_t kLookAgainMs = 250;
};

// Starts jobs. launch() returns at once; the job calls `step` as it goes
// and `ended` once, from its own thread; `giveUp` tells it its port has
// gone or the station stops.
class JobLauncher {
 public:
  virtual ~JobLauncher() = default;
  // `plan` outlives the job (the station joins its jobs before it goes).
  virtual void launch(const PresentPort& port, const JobPlan& plan, JobHooks hooks,
                      std::function<void(JobReport)> ended) = 0;
  // Waits for every job launched to have ended.
  virtual void join() = 0;
};

struct PortState {
  PresentPort port;
  JobStep step = JobStep::Waiting;
  std::string imei;
  std::string failure;  // with JobStep::Failed
};

struct StationTotals {
  std::size_t done = 0;
  std::size_t failed = 0;
  std::size_t doneEarlier = 0;
  std::size_t doneThisHour = 0;
};

class StationListener {
 public:
  virtual ~StationListener() = default;
  virtual void portChanged(const PortState& state) = 0;
  // A port whose device went away (its state is gone with it).
  virtual void portGone(const PresentPort& port) = 0;
  virtual void totalsChanged(const StationTotals& totals) = 0;
};

class Station {
 public:
  // `record` keeps one job's entry (a line of the record, and of a CSV
  // summary where there is one) and says whether it was kept whole.
  using RecordSink = std::function<bool(const RecordEntry& entry)>;

  Station(JobPlan plan, PortPresence& presence, JobLauncher& launcher, Clock& clock, StationListener& listener,
          RecordSink record);
  ~Station();
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  // One look: jobs that ended are recorded, ports that appeared start a job,
  // ports that went away are free again.
  void tick();
  // Until the next tick() has something to look at: a port may have come or
  // gone (as the presence tells), a job moved on or ended, or wake() was
  // called. On the station's thread.
  void wait();
  // Ends a wait() at once; from any thread (Ctrl-C, a window closing).
  void wake() { wakeup_.raise(); }
  // No new job starts; jobs on their way end (a write is finished and
  // verified) and are recorded by the ticks that follow.
  void stop();
  // A job is still on its way.
  bool busy() const { return running_ != 0; }
  const StationTotals& totals() const { return totals_; }
  // A record line that could not be written: the station stops, nothing
  // more is done unrecorded.
  bool recordLost() const { return recordLost_; }

 private:
  struct Slot {
    PortState state;
    bool present = false;
    bool running = false;
    std::shared_ptr<std::atomic<bool>> gone;  // read by the job's thread
  };
  struct Event {
    int port;
    std::optional<JobStep> step;
    std::optional<JobReport> report;
  };

  void post(Event event);
  void apply(Event& event);
  void record(const Slot& slot, const JobReport& report);
  void start(Slot& slot);

  JobPlan plan_;
  PortPresence& presence_;
  JobLauncher& launcher_;
  Clock& clock_;
  StationListener& listener_;
  RecordSink record_;

  std::map<int, Slot> slots_;
  std::size_t running_ = 0;
  bool stopping_ = false;
  bool recordLost_ = false;
  std::shared_ptr<std::atomic<bool>> stopFlag_ = std::make_shared<std::atomic<bool>>(false);
  StationTotals totals_;
  std::deque<std::uint64_t> doneTimesMs_;  // for "this hour"

  std::mutex queueLock_;  // guards queue_ only: jobs post, tick() takes
  std::deque<Event> queue_;
  Wakeup wakeup_;  // raised by every post and by wake(); ends wait()
};

}  // namespace pelmora::station
