#pragma once
// --screenshots DIR: drives the window against the demo tracker as a user
// would (Scan Ports, then Read Settings once the tracker is on line), then
// writes one PNG of the window per tab, named after the tab
// ("tab-sms-track.png", ...), and closes the window.

#include <QDir>
#include <QString>
#include <QTimer>

namespace pelmora {

class CPelmoraDlg;

class ScreenshotTour {
 public:
  ScreenshotTour(CPelmoraDlg& window, const QString& directory);
  // False when the folder cannot be made; the window is then left alone.
  bool start();
  bool succeeded() const { return succeeded_; }

  // "Sms Track" gives "tab-sms-track.png".
  static QString fileNameFor(const QString& tabTitle);

 private:
  enum class Step { Scan, WaitOnline, WaitSettings, Shoot, Done };
  void poll();
  void finish(bool ok, const QString& message);

  CPelmoraDlg& window_;
  QDir directory_;
  QTimer poller_;
  Step step_ = Step::Scan;
  int tab_ = 0;
  int pollsLeft_ = 0;
  int lightWaits_ = 0;
  bool succeeded_ = false;
};

}  // namespace pelmora
