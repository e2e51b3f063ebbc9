#include "station/thread_job_launcher.h"

#include "link/clock.h"
#include "link/tracker_session.h"

namespace pelmora::station {

ThreadJobLauncher::ThreadJobLauncher(PortFactory ports, TraceSink* trace, EngineOptions options)
    : ports_(std::move(ports)), trace_(trace), options_(options) {}

void ThreadJobLauncher::launch(const PresentPort& port, const JobPlan& plan, JobHooks hooks,
                               std::function<void(JobReport)> ended) {
  for (auto it = jobs_.begin(); it != jobs_.end();) {
    if (!it->ended->load()) {
      ++it;
      continue;
    }
    it->thread.join();
    it = jobs_.erase(it);
  }
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::thread thread([this, number = port.number, &plan, hooks = std::move(hooks), ended = std::move(ended), done] {
    const std::unique_ptr<SerialPort> serial = ports_(number);
    SystemClock clock;
    JobReport report;
    {
      TrackerSession session(*serial, clock, trace_, options_);
      report = runProvisionJob(session, number, plan, hooks);
    }  // the engine's threads end and the port closes before the station hears the end
    ended(std::move(report));
    done->store(true);
  });
  jobs_.push_back({std::move(thread), std::move(done)});
}

void ThreadJobLauncher::join() {
  for (Running& job : jobs_)
    if (job.thread.joinable()) job.thread.join();
  jobs_.clear();
}

}  // namespace pelmora::station
