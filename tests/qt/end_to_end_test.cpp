// The real window against the simulated tracker on a pseudo-terminal, as a
// technician uses it: Scan Ports, Read Settings, one edit on every page,
// Write Settings. The tracker then holds an image that differs from the one
// it sent in exactly the edited fields and in what every save changes on
// purpose. Escape in the middle of a further read ends every thread. The
// demo, as the program assembles it, reads the same tracker behind the
// loopback port.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "sim/demo_images.h"
#include "sim/loopback_serial_port.h"
#include "sim/sim_tracker.h"
#include "tests/qt/window_support.h"

namespace pelmora::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A text field of the Extended layout: its offset and width in UTF-16 units.
struct TextField {
  std::size_t offset;
  std::size_t units;
};

void putText(Bytes& image, TextField field, std::u16string_view text) {
  for (std::size_t i = 0; i < field.units; ++i) {
    const char16_t unit = i < text.size() ? text[i] : u'\0';
    image[field.offset + 2 * i] = static_cast<std::uint8_t>(unit & 0xFF);
    image[field.offset + 2 * i + 1] = static_cast<std::uint8_t>(unit >> 8);
  }
}

// That the fields no page shows go back as they came the page tests check.
TEST(QtEndToEnd, ScanReadEditWriteAgainstTheSimulatedTracker) {
  const Bytes sent = sim::extendedDemoImage();
  sim::SimOptions options;
  options.image = sent;
  sim::SimTracker tracker(options);
  ASSERT_TRUE(tracker.start()) << tracker.errorText();

  TestWindow t(PortMapConfig{{{3, tracker.devicePath()}}, false});
  ASSERT_TRUE(t.showActive());
  CPelmoraDlg& window = *t.window;
  auto* scan = qobject_cast<QAbstractButton*>(window.control(1004));
  auto* read = qobject_cast<QAbstractButton*>(window.control(1005));
  auto* write = qobject_cast<QAbstractButton*>(window.control(1006));
  auto* chooser = qobject_cast<QComboBox*>(window.control(1010));

  // Scan: the tracker is found on COM3 and selected; the status timer turns the light green. What the
  // log and the buttons say on the way the window-logic tests check.
  QTest::mouseClick(scan, Qt::LeftButton);
  ASSERT_TRUE(TestWindow::waitFor([&] { return read->isEnabled() && chooser->currentIndex() == 3; }))
      << window.logText().toStdString();
  ASSERT_TRUE(TestWindow::waitFor([&] { return window.shownStatusImage() == StatusImage::Online; }, 5000));

  // Read: all six pages and the identity row.
  QTest::mouseClick(read, Qt::LeftButton);
  ASSERT_TRUE(TestWindow::waitFor([&] { return write->isEnabled(); })) << window.logText().toStdString();
  EXPECT_EQ(qobject_cast<QLineEdit*>(window.control(1007))->text(), QStringLiteral("f6860001"));
  EXPECT_EQ(qobject_cast<QLineEdit*>(window.control(1013))->text(), QStringLiteral("PLM-DEMO 1.0.3 build 2026-11-30"));
  EXPECT_EQ(qobject_cast<QLineEdit*>(window.control(1008))->text(), QStringLiteral("490154203237518"));

  // A text a page did not show would be written back changed; a chooser
  // or a check box that showed nothing would not.
  EXPECT_EQ(t.pageText(5, 1001), QStringLiteral("GMT+3"));
  EXPECT_EQ(t.pageText(5, 1038), QStringLiteral("80Km/h"));
  EXPECT_TRUE(qobject_cast<QCheckBox*>(t.pageWidget(4, 1031))->isChecked());

  // One edit on every page, typed: page, control, text.
  const std::tuple<int, int, const char16_t*> edits[] = {{0, 1014, u"45"}, {1, 1016, u"Back at base"},
                                                         {2, 1034, u"fleet"}, {3, 1027, u"8080"},
                                                         {4, 1028, u"35900099999999"}};
  for (const auto& [page, id, text] : edits) {
    t.showTab(page);
    TestWindow::typeOver(t.pageWidget(page, id), QString::fromUtf16(text));
  }
  t.showTab(5);
  auto* leds = qobject_cast<QCheckBox*>(t.pageWidget(5, 1024));
  QTest::mouseClick(leds, Qt::LeftButton, {}, leds->rect().center());
  ASSERT_TRUE(leds->isChecked());

  QTest::mouseClick(write, Qt::LeftButton);
  ASSERT_TRUE(TestWindow::waitFor(
      [&] { return window.logText().contains(QStringLiteral("Write setting to tracker ok!")); }))
      << window.logText().toStdString();

  Bytes expected = sent;
  std::fill_n(expected.begin(), 68, std::uint8_t{0});  // the header: magic and firmware text
  expected[88] = 45;                                   // SmsReportInterval, 30 before
  putText(expected, {2148, 52}, u"Back at base");      // SosMessage[0]
  putText(expected, {1348, 64}, u"fleet");             // ApnUser
  putText(expected, {2868, 22}, u"8080");              // AgpsPort
  putText(expected, {1104, 22}, u"35900099999999");    // TrackerId
  expected[1052] = 1;                                  // LedsOff, 0 before

  EXPECT_EQ(tracker.writtenImage(), expected);

  // Read back and found as written (what the report says the window-logic tests check).
  ASSERT_TRUE(TestWindow::waitFor([&] { return window.logText().contains(QStringLiteral("Verified: ")); }))
      << window.logText().toStdString();

  // Escape while the reply is still arriving and the threads keep sending progress to the window.
  QTest::mouseClick(read, Qt::LeftButton);
  ASSERT_TRUE(TestWindow::waitFor([&] { return tracker.counters().readSettings == 3; }));
  QTest::keyClick(t.window.get(), Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(t.assembly.engine()->tryJoinAll());
}

// The demo as `pelmora --demo` assembles it: the simulated tracker behind
// the loopback port on COM3, no pseudo-terminal. The window opens it at
// start and says so, Read shows its Extended image, and the tracker's record
// holds the one read.
TEST(QtEndToEnd, TheDemoReadsTheSimulatedTrackerBehindTheLoopbackPort) {
  WindowAssembly::Parts parts = programParts({true, ""});
  parts.portIndexStore = std::make_unique<FakePortIndexStore>();
  TestWindow t(std::move(parts));
  ASSERT_TRUE(t.showActive());
  CPelmoraDlg& window = *t.window;
  auto* read = qobject_cast<QAbstractButton*>(window.control(1005));
  auto* write = qobject_cast<QAbstractButton*>(window.control(1006));
  auto* chooser = qobject_cast<QComboBox*>(window.control(1010));

  EXPECT_TRUE(window.logText().contains(QStringLiteral("Demo: the simulated tracker is on COM3; press Read Settings")));
  ASSERT_TRUE(TestWindow::waitFor([&] { return read->isEnabled() && chooser->currentIndex() == kDemoPort; }))
      << window.logText().toStdString();
  QTest::mouseClick(read, Qt::LeftButton);
  ASSERT_TRUE(TestWindow::waitFor([&] { return write->isEnabled(); })) << window.logText().toStdString();
  EXPECT_EQ(qobject_cast<QLineEdit*>(window.control(1007))->text(), QStringLiteral("f6860001"));
  EXPECT_EQ(qobject_cast<QLineEdit*>(window.control(1008))->text(), QStringLiteral("490154203237518"));
  EXPECT_EQ(static_cast<sim::LoopbackSerialPort&>(t.assembly.port()).tracker().counters().readSettings, 1u);
}

// The window's place comes from the user's settings and goes back there when
// the window closes; the screenshots neither take it nor change it.
TEST(QtEndToEnd, TheWindowsPlaceIsKeptInTheUsersSettingsButNotByTheScreenshots) {
  const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/KVL");
  const QString file = folder + QStringLiteral("/COMM.conf");
  const QByteArray saved = "[Window]\nGeometry=40,30,1000,800\n";
  const struct {
    const char* label;
    bool screenshots;
  } rows[] = {{"the demo", false}, {"screenshots", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    ASSERT_TRUE(QDir().mkpath(folder));
    {
      QFile settings(file);
      ASSERT_TRUE(settings.open(QIODevice::WriteOnly | QIODevice::Truncate));
      settings.write(saved);
    }
    WindowAssembly::Parts parts = programParts({true, "", row.screenshots});
    parts.portIndexStore = std::make_unique<FakePortIndexStore>();
    {
      TestWindow t(std::move(parts));
      ASSERT_TRUE(t.showActive());
      EXPECT_EQ(t.window->width() == 1000 && t.window->height() == 800, !row.screenshots)
          << t.window->width() << "x" << t.window->height();
      t.window->resize(1100, 850);
      t.window->close();
    }
    QFile settings(file);
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QByteArray kept = settings.readAll();
    if (row.screenshots)
      EXPECT_EQ(kept, saved);
    else
      EXPECT_TRUE(kept.contains(",1100,850")) << kept.toStdString();
  }
  QFile::remove(file);
}

}  // namespace
}  // namespace pelmora::testing
