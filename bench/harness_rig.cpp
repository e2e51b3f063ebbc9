#include "bench/harness_rig.h"

#include <cstdio>

namespace pelmora::bench {

PortMapConfig explicitPorts(std::vector<std::pair<int, std::string>> entries) {
  PortMapConfig config;
  config.explicitEntries = std::move(entries);
  config.automatic = false;
  return config;
}

namespace {

// No trace without a path; one that cannot be written is said and left out.
std::unique_ptr<TraceFile> openTrace(const std::string& path) {
  if (path.empty()) return nullptr;
  OutputResult<TraceFile> trace = TraceFile::open(path, "pelmora-harness");
  if (trace) return std::move(*trace);
  std::fprintf(stderr, "%s\n", trace.error().message.c_str());
  return nullptr;
}

}  // namespace

Rig::Rig(const HarnessOptions& options, PortMapConfig ports)
    : phaseLowUs_(options.phaseLowMs * 1000),
      phaseHighUs_(options.phaseHighMs * 1000),
      trace_(openTrace(options.tracePath)),
      serial_(std::move(ports)),
      paced_(serial_, options.baud),
      engine_(paced_, clock_, window_, settings_, trace_.get()) {
  engine_.startCommunication();
  ui_.emplace(engine_);
}

Rig::~Rig() {
  ui_.reset();
  engine_.shutdown();
}

Rig::Phase Rig::randomPhase(std::mt19937& rng, std::chrono::milliseconds lead) {
  const int us = std::uniform_int_distribution<int>(phaseLowUs_, phaseHighUs_ - 1)(rng);
  return {ui_->tickAfter(SteadyClock::now() + lead) + std::chrono::microseconds(us), us / 1000.0};
}

bool Rig::openAndWaitOnline(int port, std::chrono::seconds limit) {
  const std::size_t from = window_.mark();
  const TimePoint start = ui_->runAt(SteadyClock::now(), [this, port] { engine_.openTrackerPort(port); });
  return window_.waitForLog(u"Tracker is on line", from, start + limit).has_value();
}

}  // namespace pelmora::bench
