#pragma once
// --screenshots DIR: drives the window against the demo tracker as a user
// would (Read Settings once the tracker on the demo's port is on line),
// then writes one PNG of the window per tab, named after the tab's English
// title and the window's language ("tab-sms-track.png",
// "tab-sms-track-ru.png"), and one of the window enlarged
// ("window-enlarged.png"), and closes the window.

#include <QDir>
#include <QString>
#include <QTimer>

#include "app/qt/ui_language.h"

namespace pelmora {

class CPelmoraDlg;

class ScreenshotTour {
 public:
  ScreenshotTour(CPelmoraDlg& window, const QString& directory);
  // False when the folder cannot be made; the window is then left alone.
  bool start();
  bool succeeded() const { return succeeded_; }

  // "Sms Track" gives "tab-sms-track.png" in English, "tab-sms-track-ru.png" in Russian.
  static QString fileNameFor(const QString& tabTitle, UiLanguage language);

 private:
  enum class Step { WaitOnline, WaitSettings, Shoot, ShootEnlarged, Done };
  void poll();
  void finish(bool ok, const QString& message);

  CPelmoraDlg& window_;
  QDir directory_;
  QTimer poller_;
  Step step_ = Step::WaitOnline;
  int tab_ = 0;
  int pollsLeft_ = 0;
  int lightWaits_ = 0;
  bool succeeded_ = false;
};

}  // namespace pelmora
