#pragma once
// The provisioning station's window: choose the profile (each tracker's
// values, the record), Start, then one tile per tracker on the station's
// ports, readable at arm's length: a big green or red mark, the port, the
// IMEI and the step; the totals and the record's path beneath; Stop.
// Closing lets writes on the line finish, be verified and recorded first.
// It only shows: StationViewLogic (app/station_view_logic.h) decides.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <map>

#include "app/station_view.h"
#include "app/station_view_logic.h"
#include "link/clock.h"

class QGridLayout;

namespace pelmora {

class StationTileWidget;

class StationWindow final : public QWidget, private StationView {
 public:
  // `clock` outlives the window.
  StationWindow(StationViewLogic::MachineryMaker machinery, Clock& clock, QWidget* parent = nullptr);
  ~StationWindow() override;

  // For tests and the screenshot: the choices and buttons, the tiles shown.
  QLineEdit* profileEdit() const { return profile_; }
  QLineEdit* valuesEdit() const { return values_; }
  QLineEdit* recordEdit() const { return record_; }
  QPushButton* startButton() const { return start_; }
  QPushButton* stopButton() const { return stop_; }
  QLabel* totalsLabel() const { return totals_; }
  QLabel* problemLabel() const { return problem_; }
  QLabel* recordPathLabel() const { return recordPath_; }
  StationPhase phase() const { return logic_.phase(); }
  std::map<int, StationTile> shownTiles() const;
  // One look now, as the timer does (tests drive it without waiting).
  void tick() { logic_.tick(); }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void showTile(const StationTile& tile) override;
  void removeTile(int port) override;
  void showTotals(const station::StationTotals& totals) override;
  void showRecordPath(const std::string& path) override;
  void showPhase(StationPhase phase) override;
  void showProblem(const std::string& message) override;
  void closeNow() override;
  void layTiles();
  void choose(QLineEdit* edit, const QString& title, const QString& filters, bool forWriting);

  StationViewLogic logic_;
  QLineEdit* profile_;
  QLineEdit* values_;
  QLineEdit* record_;
  QPushButton* start_;
  QPushButton* stop_;
  QLabel* phaseLine_;
  QLabel* problem_;
  QGridLayout* grid_;
  QLabel* totals_;
  QLabel* recordPath_;
  QTimer ticks_;
  std::map<int, StationTileWidget*> tiles_;  // by port, in port order
};

// Opens the station's window beside `parent` (the main window's File menu,
// "Station…"), on this machine's ports; it deletes itself when closed.
// `trace` (may be nullptr) outlives the window.
void openStationWindow(QWidget* parent, TraceSink* trace = nullptr);

}  // namespace pelmora
