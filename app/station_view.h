#pragma once
// What the station's window shows, without a platform: the window's face
// implements this; the station view logic (station_view_logic.h) says what
// to show. Texts are UTF-8, as the station words them.

#include <string>

#include "station/station.h"

namespace pelmora {

// A tile's big mark: green once its tracker is done, red once it failed,
// neither while its job is on its way.
enum class TileMark { Working, Good, Bad };

// One port with a tracker behind it.
struct StationTile {
  int port = 0;
  std::string portName;  // "COM5"
  std::string adapter;   // "" where unknown
  TileMark mark = TileMark::Working;
  std::string imei;     // "" until the tracker told it
  std::string step;     // the station's own words: "writing", "done — unplug"
  std::string failure;  // why, with TileMark::Bad
  bool operator==(const StationTile&) const = default;
};

// Choosing what to run; running; stopping (jobs on the line end and are
// recorded); stopped, its record closed.
enum class StationPhase { Choosing, Running, Stopping, Stopped };

class StationView {
 public:
  virtual ~StationView() = default;
  // A tile new or changed, by its port.
  virtual void showTile(const StationTile& tile) = 0;
  virtual void removeTile(int port) = 0;
  virtual void showTotals(const station::StationTotals& totals) = 0;
  // Where the record is kept, as a full path.
  virtual void showRecordPath(const std::string& path) = 0;
  virtual void showPhase(StationPhase phase) = 0;
  // What cannot start or went wrong, naming the file and what is wrong.
  virtual void showProblem(const std::string& message) = 0;
  // The window was asked to close while jobs were on the line; they are recorded now.
  virtual void closeNow() = 0;
};

}  // namespace pelmora
