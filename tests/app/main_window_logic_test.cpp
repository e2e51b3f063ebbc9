// The main window's behaviour against the fake view, with the real link
// engine stepped on the test's thread: the communication thread that
// initialise starts is parked in its first sleep, so every step of the
// engine runs on the test's thread and the clock advances only there.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <tuple>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window_logic.h"
#include "app/restore_earlier.h"
#include "app/testing/fake_main_view.h"
#include "app/testing/fake_port_index_store.h"
#include "link/link_engine.h"
#include "pages/apn_page.h"
#include "pages/misc_page.h"
#include "pages/sms_track_page.h"
#include "pages/transport_page.h"
#include "settings/settings_codec.h"
#include "settings/shared_settings.h"
#include "sim/demo_images.h"
#include "tests/engine/engine_fakes.h"

namespace pelmora::testing {
namespace {

// A machine with the USB adapters of `usb` plugged in, none of them a serial device.
class FakeDiscovery final : public PortDiscovery {
 public:
  PortDescription describe(const std::string&) override { return {}; }
  std::vector<UsbIdentity> usbDevices() override { return usb; }
  std::vector<UsbIdentity> usb;
};

struct WindowHarness {
  WindowHarness() {
    view.buildPages(logic.pageTable());
    port.onWrite = [this](int number, const Bytes& frame) { answer(number, frame); };
  }
  ~WindowHarness() {
    engine.requestStop();
    clock.release();
  }
  // The window's initialisation, with the communication thread parked.
  void start() {
    logic.initialise(engine);
    clock.waitUntilParked();
  }
  // The user picks `port`, whose tracker answers the handshake.
  void connect(int number) {
    view.selectPort(number);
    logic.onPortSelected();
    engine.communicationPass();
  }
  void pressRead() {
    logic.onReadSettings();
    engine.communicationPass();
  }
  // Connected on COM3 to a tracker holding `held`, and read.
  void readTracker(Bytes held = sim::extendedDemoImage()) {
    port.openable = {3, 5};
    image = std::move(held);
    start();
    connect(3);
    pressRead();
    view.log.clear();
  }
  // The tracker on every port answers a handshake at once, a read with
  // `image` when there is one, and a write with its acknowledgement, keeping
  // what it wrote when `keepsWrites`.
  void answer(int number, const Bytes& frame) {
    const std::uint8_t command = frame[12];
    if (command == 0x02) ++writeRequests;
    // The tracker keeps its header (magic and firmware text, bytes 0-67), sent as zeros.
    if (command == 0x02 && keepsWrites) std::copy(frame.begin() + 13 + 68, frame.end() - 4, image.begin() + 68);
    if (command != 0x01 || !image.empty())
      port.arriveNow(number, replyFrame(0x8800 | command, command == 0x01 ? image : Bytes{0x01}));
  }

  FakeClock clock;
  ScriptedPort port{clock};
  Bytes image;
  bool keepsWrites = true;
  int writeRequests = 0;  // WriteSettings requests written
  SharedSettings settings;
  FakeMainView view;
  FakePortIndexStore store;
  FakeDiscovery discovery;
  MainWindowLogic logic{view, store, settings, &discovery};
  LinkEngine engine{port, clock, logic, settings, nullptr};  // stopped before the logic goes
};

using ::testing::ElementsAre;

constexpr int kSms = 0;
constexpr int kApn = 2;
constexpr int kTransport = 4;
constexpr int kMisc = 5;

// The Extended demo image whose tracker holds values that break their rule:
// a two-digit password, a check box's 5 and an alarm switch's 7.
Bytes imageBreakingRules() {
  Bytes image = sim::extendedDemoImage();
  SettingsCodec codec;
  SettingsModel model;
  codec.decodeSettingsBlock(image, model);
  model.SmsPassword.assign(u"12");
  model.LedsOff = 5;
  model.OverspeedAlarmEnabled = 7;
  model.OverspeedIndex = 3;
  const std::span<const std::uint8_t> block = codec.encodeSettingsBlock(model);
  std::copy(block.begin() + 68, block.end(), image.begin() + 68);  // the header is the tracker's
  return image;
}

std::u16string u16(const std::string& text) { return {text.begin(), text.end()}; }  // ASCII paths
constexpr std::u16string_view kReadFirst = u"No tracker settings loaded: read the tracker first\r\n\r\n";

TEST(MainWindowStart, PreselectsTheSavedPortWithoutOpeningItAndInitialisesTheWindow) {
  const struct {
    const char* label;
    std::optional<std::u16string> stored;
    int selected;
    std::u16string log;
  } rows[] = {
      {"7", u"7", 7, u""},
      {"-1 becomes 0", u"-1", 0, u""},
      {"150: no entry", u"150", -1, u""},
      {"first run: nothing chosen, and what to do", std::nullopt, -1,
       u"Plug the tracker in and press Scan Ports\r\n\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    WindowHarness h;
    h.store.value = row.stored;
    h.start();
    EXPECT_EQ(h.view.selectedPort(), row.selected);
    EXPECT_TRUE(h.port.calls.empty());
    EXPECT_EQ(h.store.writes, 0);
    ASSERT_EQ(h.view.portEntries.size(), 100u);
    EXPECT_EQ(h.view.portEntries[99], u"COM99");
    EXPECT_EQ(std::tuple(h.view.readEnabled, h.view.writeEnabled, h.view.progressLow, h.view.progressHigh),
              std::tuple(false, false, 0, 4000));
    EXPECT_EQ(h.view.visiblePageCount(), 1);
    EXPECT_EQ(h.view.page(5).selectedItem(misc::IDC_TIME_ZONE), 20) << "the pages' own initialisation ran";
    EXPECT_EQ(h.view.log, row.log);
  }
}

TEST(MainWindowStart, TheDemoOpensItsTrackersPortAndSaysSoWithoutTheSavedIndex) {
  WindowHarness h;
  h.port.openable = {3};
  h.logic.setDemoPort(3);
  h.start();
  EXPECT_EQ(h.view.selectedPort(), 3);
  EXPECT_EQ(h.engine.currentPort(), 3);
  // The tracker's answer to the handshake the open sends may be logged before the open's own line.
  const std::u16string first = u"Demo: the simulated tracker is on COM3; press Read Settings\r\n\r\n";
  h.clock.waitUntilParked();
  EXPECT_EQ(h.view.log.substr(0, first.size()), first);
  EXPECT_NE(h.view.log.find(u"\r\n\r\nOpen  port 3 sucessfully\r\n\r\n"), std::u16string::npos);
  EXPECT_EQ(h.store.writes, 0);
}

TEST(MainWindowButtons, FollowTheButtonStateTable) {
  constexpr int kReadPressed = 100, kSettingsReady = 101, kOtherKind = 102;
  const struct {
    const char* label;
    int step;  // a TrackerEvent::Buttons value, or one of the three above
    bool read;
    bool write;
  } rows[] = {
      {"on-line without settings", 1, true, false},      {"value 2 does nothing", 2, true, false},
      {"settings read", 3, true, true},                  {"kind 7", kOtherKind, true, true},
      {"off-line", 0, false, false},                     {"settings read leaves Read as it was", 3, false, true},
      {"off-line", 0, false, false},                     {"on-line", 1, true, false},
      {"Read pressed", kReadPressed, true, false},       {"settings read through the link", kSettingsReady, true, true},
      {"off-line", 0, false, false},                     {"on-line after a settings read", 1, true, true},
      {"Read pressed again", kReadPressed, true, false}, {"on-line with settings loaded", 1, true, true},
  };
  WindowHarness h;
  h.port.openable = {3};
  h.image = sim::extendedDemoImage();
  h.start();
  h.connect(3);
  for (const auto& row : rows) {
    if (row.step == kReadPressed) h.logic.onReadSettings();
    else if (row.step == kSettingsReady) h.pressRead();
    else if (row.step == kOtherKind) h.logic.trackerEvent(static_cast<TrackerEvent>(7), 0, {});
    else h.logic.trackerEvent(TrackerEvent::Buttons, row.step, {});
    EXPECT_EQ(std::pair(h.view.readEnabled, h.view.writeEnabled), std::pair(row.read, row.write)) << row.label;
  }
}

TEST(MainWindowStatusLight, BlinksWhileTheStateHoldsAndShowsAChangeAtOnce) {
  WindowHarness h;
  h.port.openable = {3};
  h.start();
  for (int i = 0; i < 4; ++i) h.logic.onTimerTick();  // no port: off-line
  EXPECT_THAT(h.view.statusImages,
              ElementsAre(StatusImage::Offline, StatusImage::None, StatusImage::Offline, StatusImage::None));
  h.connect(3);
  ASSERT_TRUE(h.engine.trackerOnline());
  h.view.statusImages.clear();
  for (int i = 0; i < 3; ++i) h.logic.onTimerTick();
  // Green at once; the counter (3 after four off-line ticks) did not move,
  // so the next tick shows green again (odd), then none.
  EXPECT_THAT(h.view.statusImages, ElementsAre(StatusImage::Online, StatusImage::Online, StatusImage::None));
}

TEST(MainWindowLog, EveryEntryIsFollowedByAnEmptyLineAndTheOldestGoWholeBeyondOneMebibyte) {
  WindowHarness h;
  h.logic.appendLog(u"A");
  h.logic.trackerEvent(TrackerEvent::Log, 0, u"B");
  h.logic.appendLog(u"C\r\n");
  EXPECT_EQ(h.view.log, u"A\r\n\r\nB\r\n\r\nC\r\n\r\n\r\n");
  // With a clock each entry begins with its time; the log is copied, and saved as UTF-8, as shown.
  h.logic.setLogClock(&h.clock);
  h.logic.trackerEvent(TrackerEvent::Log, 0, u"\u041f");
  EXPECT_EQ(h.view.log.substr(h.view.log.size() - 14), u"12:34:56 \u041f\r\n\r\n");
  h.logic.onCopyLog();
  EXPECT_EQ(h.view.copied, h.view.log);
  h.view.logPath = ::testing::TempDir() + "window.log";
  h.logic.onSaveLog();
  std::ifstream file(*h.view.logPath, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}),
            "A\r\n\r\nB\r\n\r\nC\r\n\r\n\r\n12:34:56 \xD0\x9F\r\n\r\n");
  const std::u16string saved = u"12:34:56 Log saved to " + u16(*h.view.logPath) + u"\r\n\r\n";
  EXPECT_EQ(h.view.log.substr(h.view.log.size() - saved.size()), saved);
  std::remove(h.view.logPath->c_str());
  // In another language a line is shown translated whole, or as the pattern of its numbers.
  h.view.translations = {{u"Tracker is on line", u"\u0422\u0440\u0435\u043a\u0435\u0440"},
                         {u"COM%1 is busy, COM%2 too", u"COM%2 \u0438 COM%1"}};
  for (const auto& [line, shown] : {std::pair<std::u16string, std::u16string>{u"Tracker is on line", u"\u0422\u0440\u0435\u043a\u0435\u0440"},
                                    {u"COM12 is busy, COM3 too", u"COM3 \u0438 COM12"},
                                    {u"COM12 is free", u"COM12 is free"}}) {
    h.logic.trackerEvent(TrackerEvent::Log, 0, line);
    EXPECT_EQ(h.view.log.substr(h.view.log.size() - shown.size() - 4), shown + u"\r\n\r\n");
  }
  // After "first", `times` entries; what is kept is whole entries, so its size tells them.
  const struct {
    const char* label;
    std::u16string entry;
    int times;
    std::size_t kept;  // units
  } rows[] = {
      // 26 units an entry: 20164 entries fit in 524288 units, 20165 do not.
      {"a tracker silent for a day: a time-out every 4.5 s", u"Send command time out!", 30000, 20164u * 26u},
      {"empty entries: at most 32768 are kept", u"", 40000, 32768u * 4u},
      {"one entry longer than the bound is cut to it", std::u16string(600000, u'y'), 1, 1024u * 1024u / 2u},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    WindowHarness filled;
    filled.logic.appendLog(u"first");
    for (int i = 0; i < row.times; ++i) filled.logic.appendLog(row.entry);
    EXPECT_EQ(filled.view.log.size(), row.kept);
  }
}

TEST(MainWindowProgress, ShowsPositionsOutsideTheRangeAsItsNearestEnd) {
  WindowHarness h;
  for (const auto& [sent, shown] : {std::pair{0, 0}, {100, 100}, {4000, 4000}, {4001, 4000}, {7000, 4000}, {-1, 0}}) {
    h.logic.trackerEvent(TrackerEvent::Progress, sent, {});
    EXPECT_EQ(h.view.progress, shown) << "sent " << sent;
  }
}

TEST(MainWindowPortChooser, AScanSelectionIsShownOnlyForTheOpenPortAndNeitherStoredNorOpened) {
  WindowHarness h;
  h.store.value = u"7";
  h.port.openable = {5};
  h.start();
  h.engine.openTrackerPort(5);  // as a scan does
  // A port other than the open one comes from a scan the user overrode.
  for (const auto& [sent, selected] : {std::pair{3, 7}, {5, 5}, {150, 5}, {-1, 5}}) {
    h.logic.trackerEvent(TrackerEvent::SelectPort, sent, {});
    EXPECT_EQ(h.view.selectedPort(), selected) << "sent " << sent;
  }
  EXPECT_EQ(h.store.writes, 0);
  EXPECT_EQ(h.port.calls, std::vector<std::string>{"open 5"});
}

// Settings read from one tracker do not reach another unasked (the engine
// test shows when the tracker may have changed).
TEST(MainWindowWrite, AsksFirstWhenTheTrackerMayHaveChangedSinceTheRead) {
  for (const bool otherPort : {false, true}) {
    for (const bool yes : {false, true}) {
      SCOPED_TRACE(std::string(otherPort ? "another port" : "right after the read") + (yes ? ", Yes" : ", No"));
      WindowHarness h;
      h.readTracker();
      if (otherPort) h.connect(5);
      ASSERT_TRUE(h.view.writeEnabled) << "an on-line report enables Write once settings were read";
      h.view.confirmAnswer = yes;
      h.logic.onWriteSettings();
      h.engine.serviceRequests();
      EXPECT_EQ(h.view.questions.size(), otherPort ? 1u : 0u);
      EXPECT_EQ(h.writeRequests, !otherPort || yes ? 1 : 0);
    }
  }
}

// A tracker id taken from an opened settings file (another tracker's,
// saved) does not reach this tracker unasked; a typed one, or one a new read
// replaced, is not asked about.
TEST(MainWindowWrite, AsksBeforeAnOpenedFileChangesTheTrackerId) {
  const std::string file = ::testing::TempDir() + "tracker-a.json";
  const std::u16string question =
      u"These settings change TrackerId from \"35900012345678\" to \"456\" (from the file tracker-a.json). "
      u"TrackerId belongs to one tracker only.\n\nWrite them anyway?";
  const struct {
    const char* label;
    std::string fileId;  // "": no file opened
    bool typed;          // "456" typed on the page
    bool readAgain;
    bool yes;
    std::size_t questions;
    int writes;
  } rows[] = {
      {"from the file, No", "456", false, false, false, 1, 0},
      {"from the file, Yes", "456", false, false, true, 1, 1},
      {"the file holds this tracker's id", "35900012345678", false, false, false, 0, 1},
      {"read again after the file", "456", false, true, false, 0, 1},
      {"typed on the page", "", true, false, false, 0, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    WindowHarness h;
    h.readTracker();
    if (!row.fileId.empty()) {
      std::ofstream(file) << R"({"pelmora-settings": 1, "fields": {"TrackerId": ")" << row.fileId << "\"}}";
      h.view.openPath = file;
      h.logic.onOpenSettings();
      ASSERT_EQ(h.view.page(kTransport).text(transport::IDC_TRACKER_ID), u16(row.fileId));
    }
    if (row.readAgain) {
      h.view.confirmAnswer = true;  // the file's id is discarded
      h.pressRead();
      h.view.questions.clear();
    }
    if (row.typed) h.view.page(kTransport).setText(transport::IDC_TRACKER_ID, u"456");
    h.view.confirmAnswer = row.yes;
    h.logic.onWriteSettings();
    h.engine.serviceRequests();
    EXPECT_EQ(h.view.questions.size(), row.questions);
    if (row.questions > 0) {
      EXPECT_EQ(h.view.questions.back(), question);
    }
    EXPECT_EQ(h.writeRequests, row.writes);
    std::remove(file.c_str());
  }
}

// --- Fields that break their rule --------------------------------------------

TEST(MainWindowMarks, TheTrackersOwnAfterAReadTheUsersBreachAsTheyType) {
  using M = FieldMark;
  WindowHarness h;
  h.readTracker(imageBreakingRules());
  EXPECT_THAT(h.view.page(kSms).markedIds(), ElementsAre(sms_track::IDC_SMS_PASSWORD));
  EXPECT_EQ(h.view.page(kSms).markWhy(sms_track::IDC_SMS_PASSWORD), u"has 2 digits; the rule is exactly 6 digits");
  EXPECT_THAT(h.view.page(kMisc).markedIds(), ElementsAre(misc::IDC_OVERSPEED, misc::IDC_LEDS_OFF));
  EXPECT_EQ(h.view.page(kMisc).mark(misc::IDC_LEDS_OFF), M::TrackersOwn);
  EXPECT_EQ(h.view.page(kMisc).mark(misc::IDC_OVERSPEED), M::TrackersOwn);
  for (const int page : {1, 2, 3, 4}) EXPECT_TRUE(h.view.page(page).markedIds().empty()) << page;
  // What the user types, one step after another, and the mark it leaves.
  const struct {
    const char* label;
    int page;
    int id;
    std::u16string text;  // retyped; "click" clicks the check box
    FieldMark mark;
    std::u16string why;
  } steps[] = {
      {"three digits", kSms, sms_track::IDC_SMS_PASSWORD, u"123", M::Breach, u"has 3 digits; the rule is exactly 6 digits"},
      {"the tracker's own again", kSms, sms_track::IDC_SMS_PASSWORD, u"12", M::TrackersOwn, u"has 2 digits; the rule is exactly 6 digits"},
      {"six digits", kSms, sms_track::IDC_SMS_PASSWORD, u"654321", M::None, u""},
      {"port 0", kTransport, transport::IDC_TCP_PORT, u"0", M::Breach, u"is not a port 1-65535; the rule is a port 1-65535, or empty"},
      {"port 80", kTransport, transport::IDC_TCP_PORT, u"80", M::None, u""},
      {"the box unchecked", kMisc, misc::IDC_LEDS_OFF, u"click", M::None, u""},
      {"and checked again: the tracker's 5", kMisc, misc::IDC_LEDS_OFF, u"click", M::TrackersOwn, u"is neither 0 nor 1; the rule is 0 (off) or 1 (on)"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.label);
    FakePageControls& page = h.view.page(step.page);
    if (step.text == u"click") {
      page.click(step.id);
      h.logic.onPageCommand(step.page, step.id);
    } else {
      page.setText(step.id, u"");
      page.type(step.id, step.text);
      h.logic.onPageEdited(step.page);
    }
    EXPECT_EQ(page.mark(step.id), step.mark);
    EXPECT_EQ(page.markWhy(step.id), step.why);
  }
}

// The user's breach is refused, naming each field; the tracker's own values
// go back to it as they came.
TEST(MainWindowWrite, RefusesWhatTheUserMadeBreakItsRuleAndSendsTheTrackersOwnBackUnchanged) {
  const struct {
    const char* label;
    std::u16string password, port;  // typed; "" leaves the field alone
    int writes;
    std::u16string log;
  } rows[] = {
      {"two fields", u"1234", u"0", 0,
       u"Write Settings refused: 2 fields you changed break their rule; nothing was sent:\r\n"
       u"SmsPassword (Sms Track, Password) is \"1234\": has 4 digits; the rule is exactly 6 digits\r\n"
       u"ServerPort (Transport, Port (TCP  transport protocols  setting)) is \"0\": is not a port 1-65535; the "
       u"rule is a port 1-65535, or empty\r\n\r\n"},
      {"the tracker's own left alone", u"", u"", 1, u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    WindowHarness h;
    h.logic.setVerifyAfterWrite(false);
    h.readTracker(imageBreakingRules());
    const Bytes held = h.image;
    if (!row.password.empty()) h.view.page(kSms).setText(sms_track::IDC_SMS_PASSWORD, row.password);
    if (!row.port.empty()) h.view.page(kTransport).setText(transport::IDC_TCP_PORT, row.port);
    h.logic.onWriteSettings();
    EXPECT_EQ(h.view.log, row.log);
    EXPECT_TRUE(h.view.questions.empty());
    h.engine.communicationPass();
    EXPECT_EQ(h.writeRequests, row.writes);
    EXPECT_TRUE(h.image == held) << "the tracker holds what it held";
  }
}

// Windows has no brltty to warn about: its failure reasons stop at the sentence.
#ifdef _WIN32
constexpr bool kBrlttyAdvice = false;
#else
constexpr bool kBrlttyAdvice = true;
#endif

TEST(MainWindowPortChooser, ASelectionOpensThePortAndStoresItsIndexWhateverTheOutcome) {
  const struct {
    const char* label;
    int port;
    OpenFailure failure;
    std::u16string log;
  } rows[] = {
      {"COM0 never opens", 0, OpenFailure::OutOfRange,
       u"Fail to open port 0\r\n\r\nCOM0 is not a port that can be opened; the ports start at COM1.\r\n\r\n"},
      {"busy", 42, OpenFailure::Busy,
       u"Fail to open port 42\r\n\r\nCOM42 is busy: it is in use by another program.\r\n\r\n"},
      {"permission", 7, OpenFailure::AccessDenied,
       u"Fail to open port 7\r\n\r\nPermission denied on COM7: add your user to the dialout group, then log in "
       u"again.\r\n\r\n"},
      {"not mapped", 9, OpenFailure::NotMapped, u"Fail to open port 9\r\n\r\nNo device is mapped to COM9.\r\n\r\n"},
      {"not a serial device", 10, OpenFailure::NotATerminal,
       u"Fail to open port 10\r\n\r\nThe device of COM10 is not a serial device.\r\n\r\n"},
      {"no such device, a CH340 plugged in", 11, OpenFailure::NoSuchDevice,
       u"Fail to open port 11\r\n\r\nThe device of COM11 does not exist (no such device): is it plugged in?" +
           std::u16string(kBrlttyAdvice ? u" A CH340 adapter (1a86:7523) is plugged in: brltty is known to take this "
                                          u"adapter for a braille display, which removes its serial device. If you "
                                          u"use no braille display, remove brltty (\"sudo apt remove brltty\") and "
                                          u"plug the adapter in again."
                                        : u"") +
           u"\r\n\r\n"},
      {"opens", 3, OpenFailure::Other, u"Open  port 3 sucessfully\r\n\r\n"},  // openable: never asked
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    WindowHarness h;
    h.port.openable = {3};
    h.port.failures[row.port] = row.failure;
    h.port.devices[11] = "/dev/ttyUSB0";
    h.discovery.usb = {UsbIdentity{0x1a86, 0x7523, "QinHeng", "USB Serial", ""}};
    h.start();
    h.view.log.clear();
    h.view.selectPort(row.port);
    h.logic.onPortSelected();
    EXPECT_EQ(h.view.log, row.log);
    const std::string number = std::to_string(row.port);
    EXPECT_EQ(h.store.value, std::u16string(number.begin(), number.end()));
    EXPECT_EQ(h.engine.currentPort(), row.port == 3 ? 3 : kNoPort);
    EXPECT_EQ(h.engine.scanStopFlag(), 1) << "a running scan ends";
  }
}

// --- Unwritten changes --------------------------------------------------------

TEST(MainWindowChanges, TheChangedFieldsAreMarkedAndCountedUntilWritten) {
  WindowHarness h;
  h.logic.setVerifyAfterWrite(false);
  h.readTracker();
  const std::u16string readApn = h.view.page(kApn).text(apn::IDC_APN_NAME);
  const struct {
    const char* label;
    int page;
    int id;
    std::u16string text;
    std::vector<int> apnMarked;
    std::vector<int> smsMarked;
    std::u16string count;
  } rows[] = {
      {"the APN typed", kApn, apn::IDC_APN_NAME, u"edited.apn", {apn::IDC_APN_NAME}, {}, u"1 change"},
      {"the interval too", kSms, sms_track::IDC_SMS_INTERVAL, u"45", {apn::IDC_APN_NAME}, {sms_track::IDC_SMS_INTERVAL},
       u"2 changes"},
      {"the APN typed back", kApn, apn::IDC_APN_NAME, readApn, {}, {sms_track::IDC_SMS_INTERVAL}, u"1 change"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    h.view.page(row.page).setText(row.id, row.text);
    h.logic.onPageEdited(row.page);
    EXPECT_EQ(h.view.page(kApn).changedIds(), row.apnMarked);
    EXPECT_EQ(h.view.page(kSms).changedIds(), row.smsMarked);
    EXPECT_EQ(h.view.changeCount, row.count);
  }
  h.logic.onWriteSettings();
  h.engine.communicationPass();
  ASSERT_EQ(h.writeRequests, 1);
  EXPECT_TRUE(h.view.page(kSms).changedIds().empty()) << "written: the tracker holds it now";
  EXPECT_EQ(h.view.changeCount, u"");
  EXPECT_TRUE(h.logic.mayClose());
}

// Read Settings, Open Settings and closing ask before unwritten changes go;
// nothing is asked without them.
TEST(MainWindowChanges, DiscardingThemIsAskedFirstAndEachAnswerDoesWhatItSays) {
  enum Action { Read, Open, Close };
  const std::string saved = ::testing::TempDir() + "before-closing.json";
  const struct {
    const char* label;
    Action action;
    bool edited;
    bool yes;            // confirm()
    Answer answer;       // ask()
    bool chooseFile;     // the save dialog gives a file
    std::u16string question;
    bool goesOn;         // read again, the file dialog shown, or the window may close
  } rows[] = {
      {"read, no changes", Read, false, false, Answer::Cancel, false, u"", true},
      {"read, No", Read, true, false, Answer::Cancel, false, u"Discard your 2 changes and read the tracker again?", false},
      {"read, Yes", Read, true, true, Answer::Cancel, false, u"Discard your 2 changes and read the tracker again?", true},
      {"open, No", Open, true, false, Answer::Cancel, false, u"Discard your 2 changes and open a settings file?", false},
      {"open, Yes", Open, true, true, Answer::Cancel, false, u"Discard your 2 changes and open a settings file?", true},
      {"close, no changes", Close, false, false, Answer::Cancel, false, u"", true},
      {"close, Cancel", Close, true, false, Answer::Cancel, false,
       u"Your 2 changes were not written to the tracker. Save them to a settings file before closing?", false},
      {"close, No: discarded", Close, true, false, Answer::No, false,
       u"Your 2 changes were not written to the tracker. Save them to a settings file before closing?", true},
      {"close, Yes, saved", Close, true, false, Answer::Yes, true,
       u"Your 2 changes were not written to the tracker. Save them to a settings file before closing?", true},
      {"close, Yes, the save cancelled", Close, true, false, Answer::Yes, false,
       u"Your 2 changes were not written to the tracker. Save them to a settings file before closing?", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    WindowHarness h;
    h.readTracker();
    const std::u16string readApn = h.view.page(kApn).text(apn::IDC_APN_NAME);
    if (row.edited) {
      h.view.page(kApn).setText(apn::IDC_APN_NAME, u"edited.apn");
      h.view.page(kSms).setText(sms_track::IDC_SMS_INTERVAL, u"45");
    }
    h.view.confirmAnswer = row.yes;
    h.view.askAnswer = row.answer;
    if (row.chooseFile) h.view.saveTarget = SaveTarget{saved, SettingsFileFormat::Json};
    bool wentOn = false;
    switch (row.action) {
      case Read:
        h.pressRead();
        wentOn = h.view.page(kApn).text(apn::IDC_APN_NAME) == readApn;
        break;
      case Open:
        h.logic.onOpenSettings();
        wentOn = h.view.fileDialogs == 1;
        break;
      case Close:
        wentOn = h.logic.mayClose();
        EXPECT_EQ(std::ifstream(saved).good(), row.chooseFile);
        break;
    }
    EXPECT_EQ(wentOn, row.goesOn);
    EXPECT_EQ(h.view.questions, row.question.empty() ? std::vector<std::u16string>{}
                                                     : std::vector<std::u16string>{row.question});
    std::remove(saved.c_str());
  }
}

// --- Settings files, compare and verify --------------------------------------

TEST(MainWindowSettingsFiles, BeforeAnyReadEachSaysToReadFirstAndAsksNothing) {
  for (const auto action :
       {&MainWindowLogic::onSaveSettings, &MainWindowLogic::onOpenSettings, &MainWindowLogic::onCompareWithTracker}) {
    WindowHarness h;
    h.start();
    h.view.log.clear();
    (h.logic.*action)();
    EXPECT_EQ(h.view.log, kReadFirst);
    EXPECT_EQ(h.view.fileDialogs, 0);
    EXPECT_FALSE(h.view.shownComparison);
  }
}

// A row for each field a page shows, in words; the others only counted.
TEST(MainWindowSettingsFiles, CompareTabulatesTheEditedFieldsAndLeavesTheModelAlone) {
  const std::string file = ::testing::TempDir() + "hidden.json";
  std::ofstream(file) << R"({"pelmora-settings": 1, "fields": {"HttpServerDomain": "other.example"}})";
  WindowHarness h;
  h.readTracker();
  h.logic.onCompareWithTracker();
  ASSERT_TRUE(h.view.shownComparison);
  EXPECT_TRUE(h.view.shownComparison->rows.empty());
  EXPECT_EQ(h.view.shownComparison->otherFields, 0u);
  const std::u16string readApn = h.view.page(kApn).text(apn::IDC_APN_NAME);
  h.view.openPath = file;
  h.logic.onOpenSettings();
  h.view.page(kApn).setText(apn::IDC_APN_NAME, u"edited.apn");
  h.view.page(kSms).setText(sms_track::IDC_SMS_INTERVAL, u"45");
  h.view.page(kMisc).selectItem(misc::IDC_TIME_ZONE, 0);
  h.logic.onCompareWithTracker();
  std::vector<std::string> rows;
  for (const ComparedField& row : h.view.shownComparison->rows)
    rows.push_back(std::string(row.entry->key) + ": " + row.tracker + " -> " + row.written);
  const std::string apnBefore(readApn.begin(), readApn.end());
  EXPECT_THAT(rows, ElementsAre("SmsReportInterval: 30 min -> 45 min", "ApnName: \"" + apnBefore + "\" -> \"edited.apn\"",
                                "TimeZoneMinutes: GMT+3 -> GMT-12"));
  EXPECT_EQ(h.view.shownComparison->otherFields, 1u) << "HttpServerDomain, which no page shows";
  EXPECT_EQ(h.settings.model.ApnName.view(), readApn) << "what the engine writes is untouched";
  std::remove(file.c_str());
}

// Save (with the APN edited to "saved.apn") or write `content`, edit the
// APN to "kept.apn", then open the file: it shows, or one line says why not.
TEST(MainWindowSettingsFiles, SaveAndOpenShowTheFileOrSayWhatIsWrongChangingNothing) {
  const std::string dir = ::testing::TempDir();
  const std::u16string opened = u": Write Settings sends them to the tracker";
  const struct {
    std::string file;
    std::optional<SettingsFileFormat> save;
    std::string content;
    std::u16string log;  // after the file's path
    std::u16string apnShown;
    std::u16string nameShown = {};  // the file's name in the log, when not ASCII
  } rows[] = {
      {dir + "ui.json", SettingsFileFormat::Json, "", opened, u"saved.apn"},
      {dir + "ui_typo.json", {}, R"({"pelmora-settings": 1, "fields": {"ApnNme": "x"}})",
       u": unknown field \"ApnNme\" (nearest known: ApnName)", u"kept.apn"},
#ifdef _WIN32
      // Windows names files in UTF-16: a name that is not UTF-8 names no file there.
      {dir + "fleet\xC3\xA9\xFF.json", {}, "", u": cannot be read (the name is not UTF-8)", u"kept.apn",
       u"fleet\u00E9\uFFFD.json"},
#else
      {dir + "fleet\xC3\xA9\xFF.json", {}, R"({"pelmora-settings": 1, "fields": {"ApnNme": "x"}})",
       u": unknown field \"ApnNme\" (nearest known: ApnName)", u"kept.apn", u"fleet\u00E9\uFFFD.json"},
#endif
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    WindowHarness h;
    h.readTracker();
    std::u16string expected;
    if (row.save) {
      h.view.page(kApn).setText(apn::IDC_APN_NAME, u"saved.apn");
      h.view.saveTarget = SaveTarget{row.file, *row.save};
      h.logic.onSaveSettings();
      expected = u"Settings saved to " + u16(row.file) + u"\r\n\r\n";
    } else if (!row.content.empty()) {
      std::ofstream(row.file) << row.content;
    }
    h.view.page(kApn).setText(apn::IDC_APN_NAME, u"kept.apn");
    h.view.openPath = row.file;
    h.view.confirmAnswer = true;
    h.logic.onOpenSettings();
    EXPECT_THAT(h.view.questions, ElementsAre(u"Discard your change and open a settings file?"));
    const std::u16string shownPath = row.nameShown.empty() ? u16(row.file) : u16(dir) + row.nameShown;
    expected += (row.log == opened ? u"Settings opened from " : u"") + shownPath + row.log + u"\r\n\r\n";
    EXPECT_EQ(h.view.log, expected);
    EXPECT_EQ(h.view.page(kApn).text(apn::IDC_APN_NAME), row.apnShown);
    const std::u16string_view inModel = row.log == opened ? row.apnShown : h.settings.codec.readModel().ApnName.view();
    EXPECT_EQ(h.settings.model.ApnName.view(), inModel);
    std::remove(row.file.c_str());
  }
}

// After a read, and after "Write setting to tracker ok!" (the settings are
// then read back and checked) the progress bar shows full until the next command.
TEST(MainWindowVerify, ReadsBackAfterAWriteAndSaysWhatDiffers) {
  const std::u16string readBack = u"Read Setting ...\r\n\r\nGet Tracker's setting ok!\r\n\r\n";
  const struct {
    bool verify;
    bool keepsWrites;
    std::u16string log;  // after the write's lines; $ stands for the APN read first
  } rows[] = {
      {true, true, readBack + u"Verified: 1 field changed as intended\r\n\r\n"},
      {true, false, readBack + u"Verify failed: 1 field differs from what was written (written -> read back):\r\n"
                               u"ApnName: \"edited.apn\" -> \"$\"\r\n\r\n"},
      {false, true, u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.verify << row.keepsWrites);
    WindowHarness h;
    h.logic.setVerifyAfterWrite(row.verify);
    h.readTracker();
    EXPECT_EQ(h.view.progress, 4000);
    const std::u16string readApn = h.view.page(kApn).text(apn::IDC_APN_NAME);
    h.keepsWrites = row.keepsWrites;
    h.view.page(kApn).setText(apn::IDC_APN_NAME, u"edited.apn");
    h.logic.onWriteSettings();
    EXPECT_EQ(h.view.progress, 0);
    for (int pass = 0; pass < (row.verify ? 2 : 1); ++pass) h.engine.communicationPass();
    std::u16string log = u"Write Setting ...\r\n\r\nWrite setting to tracker ok!\r\n\r\n" + row.log;
    if (const std::size_t at = log.find(u'$'); at != std::u16string::npos) log.replace(at, 1, readApn);
    EXPECT_EQ(h.view.log, log);
    EXPECT_EQ(h.view.page(kApn).text(apn::IDC_APN_NAME), row.keepsWrites ? u"edited.apn" : readApn);
    EXPECT_EQ(h.view.progress, 4000);
    h.logic.onTimerTick();
    h.engine.communicationPass();  // a handshake's wait leaves it full
    EXPECT_EQ(h.view.progress, 4000);
    h.logic.onReadSettings();
    EXPECT_EQ(h.view.progress, 0);
  }
}

// The window keeps the image of the last read before its write (and sends
// nothing when it cannot); Restore Earlier Settings lays a kept image over
// the pages after a question listing what changes back, and writes it.
TEST(MainWindowHistory, KeepsTheReadBeforeAWriteAndRestoresItFromTheMenuAfterTheQuestion) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "pelmora-window-history-test";
  const struct {
    const char* label;
    bool blocked;  // a file where the history folder should be
    bool chosen;   // a line chosen from the list, not cancelled
    bool yes;
  } rows[] = {{"restored on Yes", false, true, true},
              {"nothing on No", false, true, false},
              {"nothing when the list is cancelled", false, false, true},
              {"cannot keep: not sent", true, true, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    fs::remove_all(dir);
    fs::create_directories(dir);
    if (row.blocked) std::ofstream(dir / "history") << "not a folder";
    const HistoryArchive history((dir / "history").string());
    WindowHarness h;
    h.logic.setHistory(&history);
    h.readTracker();
    const Bytes original = h.image;
    const std::u16string readApn = h.view.page(kApn).text(apn::IDC_APN_NAME);
    h.view.page(kApn).setText(apn::IDC_APN_NAME, u"edited.apn");
    h.logic.onWriteSettings();
    for (int pass = 0; pass < 2; ++pass) h.engine.communicationPass();
    if (!row.blocked) {
      ASSERT_NE(h.image, original);
    }
    if (row.chosen) h.view.earlierChosen = 0;
    h.view.confirmAnswer = row.yes;
    const std::size_t questionsBefore = h.view.questions.size();
    h.logic.onRestoreEarlier();
    for (int pass = 0; pass < 2; ++pass) h.engine.communicationPass();
    if (row.blocked) {
      EXPECT_EQ(h.writeRequests, 0);
      EXPECT_NE(h.view.log.find(u"Write Settings refused: the tracker's settings cannot be kept before the write: " +
                                u16((dir / "history").string()) + u": the folder cannot be made ("),
                std::u16string::npos);
      EXPECT_NE(h.view.log.find(kNothingKeptText), std::u16string::npos);
      EXPECT_TRUE(h.view.earlierChoices.empty());
      continue;
    }
    ASSERT_EQ(h.view.earlierChoices.size(), 1u);
    const std::u16string& line = h.view.earlierChoices[0];
    EXPECT_EQ(line.substr(line.find(u"  ")), u"  window on COM3: 1 field changed, verified");
    if (!row.chosen) {
      EXPECT_EQ(h.view.questions.size(), questionsBefore);
      EXPECT_EQ(h.writeRequests, 1);
      continue;
    }
    ASSERT_EQ(h.view.questions.size(), questionsBefore + 1);
    EXPECT_NE(h.view.questions.back().find(u"These fields change back:\nApnName (APN, APN): \"edited.apn\" -> \"" +
                                           readApn + u"\"\n\nWrite them to the tracker?"),
              std::u16string::npos);
    EXPECT_EQ(h.writeRequests, row.yes ? 2 : 1);
    EXPECT_EQ(h.image == original, row.yes);
    EXPECT_EQ(RestoreEarlier(h.view, h.logic, h.settings, history).choices().size(), row.yes ? 2u : 1u)
        << "a restore keeps what it replaces too";
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace pelmora::testing
