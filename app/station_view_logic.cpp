#include "app/station_view_logic.h"

#include <filesystem>

#include "link/shown_text.h"
#include "link/user_settings_file.h"

namespace pelmora {

using namespace pelmora::station;

StationTile tileOf(const PortState& state) {
  StationTile tile;
  tile.port = state.port.number;
  tile.portName = state.port.name;
  tile.adapter = state.port.adapter;
  tile.imei = state.imei;
  tile.step = stepWords(state.step);
  tile.failure = state.failure;
  if (state.step == JobStep::Done || state.step == JobStep::DoneEarlier) tile.mark = TileMark::Good;
  if (state.step == JobStep::Failed) tile.mark = TileMark::Bad;
  return tile;
}

StationViewLogic::MachineryMaker userStationMachinery(TraceSink* trace) {
  return [trace]() -> SettingsResult<StationMachinery> {
    const UserSettings settings = loadUserSettings();
    if (settings.problem) return *settings.problem;
    SettingsResult<StationMachinery> machinery =
        mappedStationMachinery(settings.ports.config, trace, EngineOptions{settings.checkReplyChecksum});
    if (!machinery) return SettingsError{machinery.error().kind, shown(settings.path) + ": " + machinery.error().message};
    machinery->history = std::make_shared<const HistoryArchive>(defaultHistoryFolder(), settings.historyKeep);
    return machinery;
  };
}

StationViewLogic::StationViewLogic(StationView& view, Clock& clock, MachineryMaker machinery)
    : view_(view), clock_(clock), makeMachinery_(std::move(machinery)) {}

StationViewLogic::~StationViewLogic() {
  // Closed without waiting (the program ends): jobs give up and are joined,
  // and what they report before the station goes is still recorded.
  if (station_) {
    station_->stop();
    while (station_->busy()) {
      clock_.sleepMs(kLookEveryMs);
      station_->tick();
    }
  }
  station_.reset();
  if (record_) record_->close();
}

bool StationViewLogic::start(const StationChoice& choice) {
  if (phase_ == StationPhase::Running || phase_ == StationPhase::Stopping) return false;
  std::size_t skipped = 0;
  SettingsResult<JobPlan> plan =
      loadStationPlan({choice.profile, choice.values, choice.record, false, "in a values file"}, &skipped);
  if (!plan) {
    view_.showProblem(plan.error().message);
    return false;
  }
  SettingsResult<StationMachinery> machinery = makeMachinery_();
  if (!machinery) {
    view_.showProblem(machinery.error().message);
    return false;
  }
  OutputResult<StationRecordFiles> record = StationRecordFiles::open(choice.record, "");
  if (!record) {
    view_.showProblem(record.error().message);
    return false;
  }
  for (const int port : tiles_) view_.removeTile(port);
  tiles_.clear();
  if (skipped != 0)
    view_.showProblem(shown(choice.record) + ": " + std::to_string(skipped) + " line(s) not a whole entry, skipped");
  record_ = std::move(*record);
  machinery_ = std::move(*machinery);
  plan->history = machinery_.history;
  std::error_code ignored;
  recordPath_ = std::filesystem::absolute(choice.record, ignored).string();
  if (ignored) recordPath_ = choice.record;
  StationListener& listener = *this;
  station_ = std::make_unique<Station>(std::move(*plan), *machinery_.presence, *machinery_.launcher, clock_, listener,
                                       [this](const RecordEntry& entry) { return record_->keep(entry); });
  view_.showRecordPath(recordPath_);
  view_.showTotals(station_->totals());
  setPhase(StationPhase::Running);
  station_->tick();
  return true;
}

void StationViewLogic::tick() {
  if (!station_) return;
  station_->tick();
  if (station_->recordLost() && phase_ == StationPhase::Running) {
    view_.showProblem(shown(recordPath_) + ": the record could not be written whole; the station stops");
    stop();
  }
  if (phase_ == StationPhase::Stopping && !station_->busy()) finish();
}

void StationViewLogic::stop() {
  if (phase_ != StationPhase::Running) return;
  station_->stop();
  setPhase(StationPhase::Stopping);
  station_->tick();
  if (!station_->busy()) finish();
}

bool StationViewLogic::requestClose() {
  if (phase_ != StationPhase::Running && phase_ != StationPhase::Stopping) return true;
  closeAsked_ = true;
  stop();
  return phase_ != StationPhase::Running && phase_ != StationPhase::Stopping;
}

void StationViewLogic::finish() {
  station_.reset();  // its jobs have ended: it joins their threads
  machinery_ = {};
  if (!record_->close())
    view_.showProblem(shown(recordPath_) + ": the record could not be written whole");
  record_.reset();
  setPhase(StationPhase::Stopped);
  if (closeAsked_) view_.closeNow();
}

void StationViewLogic::setPhase(StationPhase phase) {
  phase_ = phase;
  view_.showPhase(phase);
}

void StationViewLogic::portChanged(const PortState& state) {
  tiles_.insert(state.port.number);
  view_.showTile(tileOf(state));
}

void StationViewLogic::portGone(const PresentPort& port) {
  tiles_.erase(port.number);
  view_.removeTile(port.number);
}

void StationViewLogic::totalsChanged(const StationTotals& totals) { view_.showTotals(totals); }

}  // namespace pelmora
