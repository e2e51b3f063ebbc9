#include "bench/harness_idle.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <thread>

#include "bench/harness_rig.h"
#include "sim/demo_images.h"
#include "sim/sim_tracker.h"

namespace pelmora::bench {
namespace {

[[noreturn]] void runTrackerChild(std::uint32_t baud, int report, int control) {
  sim::SimOptions so;
  so.image = sim::extendedDemoImage();
  so.behaviour.baud = baud;
  sim::SimTracker tracker(std::move(so));
  std::string path = tracker.start() ? tracker.devicePath() : std::string();
  path += '\n';
  [[maybe_unused]] const ssize_t sent = ::write(report, path.data(), path.size());
  ::close(report);
  char byte = 0;
  while (::read(control, &byte, 1) > 0) {
  }
  tracker.stop();
  ::_exit(0);
}

struct Usage {
  double cpuSeconds = 0;
  long switches = 0;
};

Usage usageNow() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return {seconds(u.ru_utime) + seconds(u.ru_stime), u.ru_nvcsw + u.ru_nivcsw};
}

long residentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return 0;
}

IdleResult measure(const char* name, const HarnessOptions& options, Rig& rig) {
  std::this_thread::sleep_for(std::chrono::seconds(2));  // past the start
  const std::size_t from = rig.window().mark();
  const Usage before = usageNow();
  const auto start = SteadyClock::now();
  std::this_thread::sleep_for(std::chrono::seconds(options.idleSeconds));
  const Usage after = usageNow();
  IdleResult r;
  r.name = name;
  r.seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
  r.cpuSeconds = after.cpuSeconds - before.cpuSeconds;
  r.wakeupsPerSecond = static_cast<double>(after.switches - before.switches) / r.seconds;
  r.rssKb = residentKb();
  r.timeouts = rig.window().countLog(u"Send command time out!", from);
  return r;
}

}  // namespace

std::optional<TrackerProcess> TrackerProcess::start(std::uint32_t baud) {
  int report[2];
  int control[2];
  if (::pipe(report) != 0) return std::nullopt;
  if (::pipe(control) != 0) {
    ::close(report[0]);
    ::close(report[1]);
    return std::nullopt;
  }
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(report[0]);
    ::close(control[1]);
    runTrackerChild(baud, report[1], control[0]);
  }
  ::close(report[1]);
  ::close(control[0]);
  std::string path;
  char c = 0;
  while (pid > 0 && ::read(report[0], &c, 1) == 1 && c != '\n') path += c;
  ::close(report[0]);
  TrackerProcess child(pid, control[1], path);
  if (pid < 0 || path.empty()) return std::nullopt;  // the child, if any, ends with `child`
  return child;
}

TrackerProcess::TrackerProcess(TrackerProcess&& other) noexcept
    : pid_(other.pid_), control_(other.control_), devicePath_(std::move(other.devicePath_)) {
  other.pid_ = -1;
  other.control_ = -1;
}

TrackerProcess::~TrackerProcess() {
  if (control_ >= 0) ::close(control_);
  if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
}

std::vector<IdleResult> measureIdle(const HarnessOptions& options, const TrackerProcess* tracker) {
  std::vector<IdleResult> results;
  {
    Rig rig(options, explicitPorts({}));
    results.push_back(measure("Idle, no port open (engine and window timer)", options, rig));
    printIdle(results.back());
  }
  if (tracker == nullptr) return results;
  Rig rig(options, explicitPorts({{1, tracker->devicePath()}}));
  if (!rig.openAndWaitOnline(1, std::chrono::seconds(10))) {
    std::fprintf(stderr, "idle: the tracker did not come on line\n");
    return results;
  }
  results.push_back(measure("Idle, port open, tracker answering every handshake", options, rig));
  printIdle(results.back());
  return results;
}

}  // namespace pelmora::bench
