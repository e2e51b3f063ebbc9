#pragma once
// A station's ports and jobs as a test scripts them: the ports present are
// a list the test sets; each job launched waits for the test to report its
// steps and its end through the hooks kept.

#include <functional>
#include <vector>

#include "station/station.h"

namespace pelmora::testing {

using station::JobHooks;
using station::JobPlan;
using station::JobReport;
using station::PresentPort;

class FakePresence final : public station::PortPresence {
 public:
  std::vector<PresentPort> present() override { return ports; }
  // Never waits: says whether the station's wakeup was raised already.
  void waitForChange(Wakeup& wake) override { woken = wake.wait(0); }
  std::vector<PresentPort> ports;
  bool woken = false;
};

class FakeLauncher final : public station::JobLauncher {
 public:
  struct Job {
    PresentPort port;
    JobHooks hooks;
    std::function<void(JobReport)> ended;
  };
  void launch(const PresentPort& port, const JobPlan&, JobHooks hooks, std::function<void(JobReport)> ended) override {
    jobs.push_back({port, std::move(hooks), std::move(ended)});
  }
  void join() override {}
  std::vector<Job> jobs;
};

// What a job reports when its tracker took the write and read back as written.
inline JobReport verifiedReport(const char* imei) {
  JobReport report;
  report.imei = imei;
  report.changes = {FieldChange{"SmsReportInterval", "30", "45"}};
  report.written = report.verified = true;
  return report;
}

}  // namespace pelmora::testing
