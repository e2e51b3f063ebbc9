#include "app/qt/screenshot_tour.h"

#include <QAbstractButton>
#include <QPixmap>
#include <QTabBar>
#include <QWidget>

#include <cstdio>

#include "app/main_window_template.h"
#include "app/qt/page_tabs.h"
#include "app/qt/pelmora_dlg.h"
#include "app/qt/qt_text.h"
#include "app/qt/ui_language.h"

namespace pelmora {
namespace {

constexpr int kPollMs = 100;
constexpr int kStepLimitPolls = 600;  // a minute for each step
constexpr int kLightWaitPolls = 12;   // the light blinks once a second: wait for it to be lit

}  // namespace

ScreenshotTour::ScreenshotTour(CPelmoraDlg& window, const QString& directory)
    : window_(window), directory_(directory) {
  poller_.setInterval(kPollMs);
  QObject::connect(&poller_, &QTimer::timeout, &window_, [this] { poll(); });
}

QString ScreenshotTour::fileNameFor(const QString& tabTitle, UiLanguage language) {
  const QString name = tabTitle.toLower().simplified().replace(QLatin1Char(' '), QLatin1Char('-'));
  return QStringLiteral("tab-%1%2.png").arg(name, language == UiLanguage::Russian ? QStringLiteral("-ru") : QString());
}

bool ScreenshotTour::start() {
  if (!directory_.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "pelmora: cannot make the folder %s\n", qPrintable(directory_.path()));
    return false;
  }
  step_ = Step::WaitOnline;
  pollsLeft_ = kStepLimitPolls;
  poller_.start();
  return true;
}

void ScreenshotTour::finish(bool ok, const QString& message) {
  poller_.stop();
  step_ = Step::Done;
  succeeded_ = ok;
  std::fprintf(ok ? stdout : stderr, "pelmora: %s\n", qPrintable(message));
  window_.reject();
}

void ScreenshotTour::poll() {
  if (--pollsLeft_ < 0) {
    finish(false, QStringLiteral("the demo tracker did not answer in time; no screenshots written"));
    return;
  }
  auto* read = static_cast<QAbstractButton*>(window_.control(IDC_READ_SETTINGS));
  auto* write = static_cast<QAbstractButton*>(window_.control(IDC_WRITE_SETTINGS));
  switch (step_) {
    case Step::WaitOnline:
      if (!read->isEnabled()) return;
      read->click();
      step_ = Step::WaitSettings;
      pollsLeft_ = kStepLimitPolls;
      return;
    case Step::WaitSettings:
      if (!window_.logic().settingsLoaded() || !write->isEnabled()) return;
      step_ = Step::Shoot;
      tab_ = 0;
      // No caret blinking in the pictures.
      if (QWidget* focus = window_.focusWidget()) focus->clearFocus();
      lightWaits_ = 0;
      window_.pageTabs()->tabBar()->setCurrentIndex(tab_);
      return;
    case Step::Shoot: {
      if (window_.shownStatusImage() == StatusImage::None && ++lightWaits_ < kLightWaitPolls) return;
      QTabBar* bar = window_.pageTabs()->tabBar();
      const QString title = toQString(window_.logic().pageTable()[tab_].titleText());
      const QString path = directory_.filePath(fileNameFor(title, currentLanguage()));
      if (!window_.grab().save(path, "PNG")) {
        finish(false, QStringLiteral("cannot write %1").arg(path));
        return;
      }
      std::printf("pelmora: wrote %s\n", qPrintable(path));
      if (++tab_ == bar->count()) {
        // Enlarged, the log pane takes the room and the pages keep their layout.
        window_.resize(window_.size() + QSize(window_.width() / 3, window_.height() / 3));
        step_ = Step::ShootEnlarged;
        lightWaits_ = 0;
        return;
      }
      bar->setCurrentIndex(tab_);
      lightWaits_ = 0;
      pollsLeft_ = kStepLimitPolls;
      return;
    }
    case Step::ShootEnlarged: {
      if (window_.shownStatusImage() == StatusImage::None && ++lightWaits_ < kLightWaitPolls) return;
      const QString path = directory_.filePath(
          QStringLiteral("window-enlarged%1.png")
              .arg(currentLanguage() == UiLanguage::Russian ? QStringLiteral("-ru") : QString()));
      if (!window_.grab().save(path, "PNG")) {
        finish(false, QStringLiteral("cannot write %1").arg(path));
        return;
      }
      std::printf("pelmora: wrote %s\n", qPrintable(path));
      finish(true, QStringLiteral("%1 screenshots written").arg(window_.pageTabs()->tabBar()->count() + 1));
      return;
    }
    case Step::Done:
      return;
  }
}

}  // namespace pelmora
