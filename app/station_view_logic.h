#pragma once
// The station's window without a window: the user chooses the profile (and
// each tracker's values, and the record), starts, watches one tile per
// tracker and stops. The logic drives station::Station by ticks from the
// window's thread (the window's timer calls tick() every kLookEveryMs); all
// decisions are the station's, the view only shows them.

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "app/station_view.h"
#include "link/clock.h"
#include "link/trace.h"
#include "station/station.h"
#include "station/station_assembly.h"
#include "station/station_record.h"

namespace pelmora {

struct StationChoice {
  std::string profile;
  std::string values;  // "" for none
  std::string record = station::kDefaultRecordFile;
};

class StationViewLogic final : private station::StationListener {
 public:
  // How often the window ticks: the station looks at its ports four times a second.
  static constexpr int kLookEveryMs = 250;

  // The presence and launcher a started station runs with, or why there are none.
  using MachineryMaker = std::function<SettingsResult<station::StationMachinery>()>;

  StationViewLogic(StationView& view, Clock& clock, MachineryMaker machinery);
  ~StationViewLogic() override;
  StationViewLogic(const StationViewLogic&) = delete;
  StationViewLogic& operator=(const StationViewLogic&) = delete;

  // Starts the station, or shows why not (the profile, values or record
  // file named and what is wrong; no port watched, nothing written).
  bool start(const StationChoice& choice);
  void tick();
  // No new tracker is taken; writes on the line finish, are verified and
  // recorded, then the station stops and its record is closed.
  void stop();
  // The window wants to close: true when it may now; otherwise the station
  // stops and closeNow() follows once the last job is recorded.
  bool requestClose();
  StationPhase phase() const { return phase_; }

 private:
  void portChanged(const station::PortState& state) override;
  void portGone(const station::PresentPort& port) override;
  void totalsChanged(const station::StationTotals& totals) override;
  void setPhase(StationPhase phase);
  void finish();

  StationView& view_;
  Clock& clock_;
  MachineryMaker makeMachinery_;
  StationPhase phase_ = StationPhase::Choosing;
  bool closeAsked_ = false;
  std::string recordPath_;
  std::set<int> tiles_;  // the ports whose tiles are shown
  // Declared in the order they are needed: the station goes first (joining
  // its jobs), then what it ran on, then the record it wrote to.
  std::unique_ptr<station::StationRecordFiles> record_;
  station::StationMachinery machinery_;
  std::unique_ptr<station::Station> station_;
};

// The machinery of the station of this machine: the [Ports] entries of the
// user's port map, each job tracing into `trace` (may be nullptr).
StationViewLogic::MachineryMaker userStationMachinery(TraceSink* trace);

// The tile a port's state shows.
StationTile tileOf(const station::PortState& state);

}  // namespace pelmora
