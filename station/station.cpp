#include "station/station.h"

#include <algorithm>
#include <ctime>

namespace pelmora::station {
namespace {

constexpr std::uint64_t kHourMs = 3'600'000;

}  // namespace

Station::Station(JobPlan plan, PortPresence& presence, JobLauncher& launcher, Clock& clock, StationListener& listener,
                 RecordSink record)
    : plan_(std::move(plan)),
      presence_(presence),
      launcher_(launcher),
      clock_(clock),
      listener_(listener),
      record_(std::move(record)) {}

Station::~Station() {
  stopFlag_->store(true);
  launcher_.join();
}

void Station::post(Event event) {
  {
    std::lock_guard<std::mutex> hold(queueLock_);
    queue_.push_back(std::move(event));
  }
  wakeup_.raise();
}

void Station::wait() {
  presence_.waitForChange(wakeup_);
  // Before tick() looks, so that an event posted after the look raises it again.
  wakeup_.clear();
}

void Station::stop() {
  stopping_ = true;
  stopFlag_->store(true);
}

void Station::start(Slot& slot) {
  slot.running = true;
  ++running_;
  slot.gone = std::make_shared<std::atomic<bool>>(false);
  slot.state.step = JobStep::Handshake;
  slot.state.imei.clear();
  slot.state.failure.clear();
  listener_.portChanged(slot.state);
  const int number = slot.state.port.number;
  JobHooks hooks;
  hooks.step = [this, number](JobStep step) { post({number, step, std::nullopt}); };
  hooks.giveUp = [gone = slot.gone, stop = stopFlag_] { return gone->load() || stop->load(); };
  hooks.portName = slot.state.port.name;
  launcher_.launch(slot.state.port, plan_, std::move(hooks),
                   [this, number](JobReport report) { post({number, std::nullopt, std::move(report)}); });
}

void Station::record(const Slot& slot, const JobReport& report) {
  RecordEntry entry;
  entry.timeUtc = isoTimeUtc(static_cast<long long>(std::time(nullptr)));
  entry.port = slot.state.port.name;
  entry.adapter = slot.state.port.adapter;
  entry.imei = report.imei;
  entry.firmware = report.firmware;
  entry.profileName = plan_.profileName;
  entry.profileSha256 = plan_.profileSha256;
  if (report.written || report.verified) entry.changes = report.changes;
  entry.verified = report.verified;
  entry.failure = report.failure;
  entry.beforeImage = report.beforeImage;
  if (!record_(entry)) {
    recordLost_ = true;
    stop();
  }
}

void Station::apply(Event& event) {
  const auto found = slots_.find(event.port);
  if (found == slots_.end()) return;
  Slot& slot = found->second;
  if (event.step) {
    slot.state.step = *event.step;
    listener_.portChanged(slot.state);
    return;
  }
  JobReport& report = *event.report;
  slot.running = false;
  --running_;
  slot.state.imei = report.imei;
  if (report.doneEarlier) {
    slot.state.step = JobStep::DoneEarlier;
    ++totals_.doneEarlier;
  } else {
    record(slot, report);
    if (report.verified) {
      slot.state.step = JobStep::Done;
      ++totals_.done;
      doneTimesMs_.push_back(clock_.nowMs());
      if (!report.imei.empty()) plan_.doneEarlier->add(report.imei);  // plugged in again, it is done earlier
    } else {
      slot.state.step = JobStep::Failed;
      slot.state.failure = report.failure;
      ++totals_.failed;
    }
  }
  listener_.portChanged(slot.state);
  // A port that went away while its job ran is free once the job is recorded.
  if (!slot.present) {
    listener_.portGone(slot.state.port);
    slots_.erase(found);
  }
}

void Station::tick() {
  std::deque<Event> events;
  {
    std::lock_guard<std::mutex> hold(queueLock_);
    events.swap(queue_);
  }
  const StationTotals before = totals_;
  for (Event& event : events) apply(event);

  const std::vector<PresentPort> present = stopping_ ? std::vector<PresentPort>{} : presence_.present();
  for (auto it = slots_.begin(); it != slots_.end();) {
    Slot& slot = it->second;
    const bool still = std::find_if(present.begin(), present.end(), [&](const PresentPort& p) {
                         return p.number == slot.state.port.number;
                       }) != present.end();
    if (still || stopping_) {
      ++it;
      continue;
    }
    slot.present = false;
    if (slot.running) {
      slot.gone->store(true);  // the job ends and is recorded; then the port is free
      ++it;
      continue;
    }
    listener_.portGone(slot.state.port);
    it = slots_.erase(it);
  }
  for (const PresentPort& port : present) {
    auto [it, added] = slots_.try_emplace(port.number);
    Slot& slot = it->second;
    if (!added && slot.present) continue;
    if (!added && slot.running) continue;  // gone and back before its job ended: a new tracker waits for the next look
    slot.state.port = port;
    slot.present = true;
    start(slot);
  }

  const std::uint64_t now = clock_.nowMs();
  while (!doneTimesMs_.empty() && now - doneTimesMs_.front() >= kHourMs) doneTimesMs_.pop_front();
  totals_.doneThisHour = doneTimesMs_.size();
  if (totals_.done != before.done || totals_.failed != before.failed || totals_.doneEarlier != before.doneEarlier ||
      totals_.doneThisHour != before.doneThisHour)
    listener_.totalsChanged(totals_);
}

}  // namespace pelmora::station
