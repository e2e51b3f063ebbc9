// The station's window on scripted ports and jobs: it builds, shows a tile
// per tracker with its mark, and closes only once the write on the line is
// recorded. With PELMORA_STATION_SCREENSHOT=FILE it also saves what it
// shows as a PNG, in Russian when FILE ends in "-ru.png" (docs/station.png
// and docs/station-ru.png were made this way).

#include "app/qt/station_window.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/qt/ui_language.h"
#include "tests/station/station_fakes.h"

namespace pelmora {
namespace {

using namespace pelmora::station;

JobReport ended(const char* imei, const char* failure) {
  JobReport report;
  report.imei = imei;
  report.failure = failure;
  report.written = report.verified = *failure == '\0';
  return report;
}

TEST(StationWindow, ShowsATilePerTrackerAndClosesOnceTheLineIsRecorded) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile profile(dir.filePath(QStringLiteral("fleet.json")));
  ASSERT_TRUE(profile.open(QIODevice::WriteOnly));
  profile.write(R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})");
  profile.close();

  const QByteArray shot = qgetenv("PELMORA_STATION_SCREENSHOT");
  const bool russian = shot.endsWith("-ru.png");
  if (russian) useLanguage(UiLanguage::Russian);
  testing::FakePresence* presence = nullptr;
  testing::FakeLauncher* launcher = nullptr;
  SystemClock clock;
  StationWindow window(
      [&]() -> SettingsResult<StationMachinery> {
        auto ownPresence = std::make_unique<testing::FakePresence>();
        auto ownLauncher = std::make_unique<testing::FakeLauncher>();
        presence = ownPresence.get();
        launcher = ownLauncher.get();
        return StationMachinery{std::move(ownPresence), std::move(ownLauncher), nullptr};
      },
      clock);
  window.show();
  window.profileEdit()->setText(profile.fileName());
  window.recordEdit()->setText(dir.filePath(QStringLiteral("record.jsonl")));
  window.startButton()->click();
  ASSERT_EQ(window.phase(), StationPhase::Running) << window.problemLabel()->text().toStdString();
  EXPECT_FALSE(window.startButton()->isEnabled());

  presence->ports = {{5, "COM5", "FT232R A10K3V9Q"}, {6, "COM6", ""}, {7, "COM7", ""}};
  window.tick();
  ASSERT_EQ(launcher->jobs.size(), 3u);
  launcher->jobs[0].ended(ended("490154203237518", ""));
  launcher->jobs[1].ended(ended("490154203237519", "write: the tracker refused the settings"));
  launcher->jobs[2].hooks.step(JobStep::Writing);
  window.tick();
  const std::map<int, StationTile> tiles = window.shownTiles();
  ASSERT_EQ(tiles.size(), 3u);
  EXPECT_EQ(tiles.at(5).mark, TileMark::Good);
  EXPECT_EQ(tiles.at(6).mark, TileMark::Bad);
  EXPECT_EQ(tiles.at(7).mark, TileMark::Working);
  if (!russian) {
    EXPECT_EQ(window.totalsLabel()->text(), QStringLiteral("Done: 1    Failed: 1    This hour: 1    Done earlier: 0"));
  }
  if (!shot.isEmpty()) {
    EXPECT_TRUE(window.grab().save(QString::fromLocal8Bit(shot)));
  }
  if (russian) useLanguage(UiLanguage::English);

  window.close();
  EXPECT_TRUE(window.isVisible()) << "a write is on the line";
  EXPECT_EQ(window.phase(), StationPhase::Stopping);
  launcher->jobs[2].ended(ended("490154203237520", ""));
  window.tick();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.phase(), StationPhase::Stopped);
  QFile record(dir.filePath(QStringLiteral("record.jsonl")));
  ASSERT_TRUE(record.open(QIODevice::ReadOnly));
  EXPECT_EQ(record.readAll().count('\n'), 3);
}

// This machine's station: a port map without [Ports] entries (the test's
// settings folder is empty) starts nothing and says where to name them.
TEST(StationWindow, StartsNothingWithoutStationPorts) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile profile(dir.filePath(QStringLiteral("fleet.json")));
  ASSERT_TRUE(profile.open(QIODevice::WriteOnly));
  profile.write(R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})");
  profile.close();
  SystemClock clock;
  StationWindow window(userStationMachinery(nullptr), clock);
  window.profileEdit()->setText(profile.fileName());
  window.recordEdit()->setText(dir.filePath(QStringLiteral("record.jsonl")));
  window.startButton()->click();
  EXPECT_EQ(window.phase(), StationPhase::Choosing);
  EXPECT_TRUE(window.problemLabel()->text().contains(QStringLiteral("COMM.conf: no station ports")))
      << window.problemLabel()->text().toStdString();
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("record.jsonl"))));
}

}  // namespace
}  // namespace pelmora
