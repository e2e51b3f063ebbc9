#pragma once
// The station's jobs on threads of their own, each with its own session over
// its own serial port object (several engines in one process share nothing
// mutable). Threads of ended jobs are joined as new ones start, so a station
// that runs all day keeps a thread only per job on its way.

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <thread>

#include "link/serial_port.h"
#include "link/trace.h"
#include "link/link_engine.h"
#include "station/station.h"

namespace pelmora::station {

class ThreadJobLauncher final : public JobLauncher {
 public:
  // A serial port object that can open port `number`.
  using PortFactory = std::function<std::unique_ptr<SerialPort>(int number)>;

  ThreadJobLauncher(PortFactory ports, TraceSink* trace, EngineOptions options);
  ~ThreadJobLauncher() override { join(); }

  void launch(const PresentPort& port, const JobPlan& plan, JobHooks hooks,
              std::function<void(JobReport)> ended) override;
  void join() override;

 private:
  struct Running {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> ended;
  };

  PortFactory ports_;
  TraceSink* trace_;
  EngineOptions options_;
  std::list<Running> jobs_;  // touched by the station's thread only
};

}  // namespace pelmora::station
