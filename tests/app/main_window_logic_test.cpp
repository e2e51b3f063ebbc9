// The main window's behaviour against the fake view, with the real link
// engine stepped on the test's thread.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window_template.h"
#include "pages/agps_page.h"
#include "pages/apn_page.h"
#include "pages/key_binding_page.h"
#include "pages/misc_page.h"
#include "pages/sms_track_page.h"
#include "pages/transport_page.h"
#include "tests/app/app_test_support.h"

namespace pelmora::testing {
namespace {

using ::testing::ElementsAre;

constexpr int kSmsTrack = 0;
constexpr int kKeyBinding = 1;
constexpr int kApn = 2;
constexpr int kAgps = 3;
constexpr int kTransport = 4;
constexpr int kMisc = 5;

// A Basic settings image (3180 bytes, magic 0xF6860000 implied) whose
// password at offset 0 is "654321", UTF-16LE.
Bytes basicImageWithPassword() {
  Bytes image(3180, 0);
  const std::u16string password = u"654321";
  for (std::size_t i = 0; i < password.size(); ++i) image[2 * i] = static_cast<std::uint8_t>(password[i]);
  return image;
}

TEST(MainWindowStart, PreselectsTheSavedPortWithoutOpeningIt) {
  struct Row {
    const char* label;
    std::optional<std::u16string> stored;
    bool storeAvailable;
    int selected;
  };
  const std::vector<Row> rows{
      {"7", u"7", true, 7},
      {"-1 becomes 0", u"-1", true, 0},
      {"no digits give 0", u"abc", true, 0},
      {"leading blank, trailing letter", u" 12x", true, 12},
      {"150: no entry", u"150", true, -1},
      {"-5: no entry", u"-5", true, -1},
      {"no value", std::nullopt, true, 0},
      {"no store at all", u"7", false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    WindowHarness h;
    h.store.value = row.stored;
    h.store.available = row.storeAvailable;
    h.port.openable = {7, 12};
    h.start();
    EXPECT_EQ(h.view.selectedPort(), row.selected);
    EXPECT_TRUE(h.port.opened.empty());
    EXPECT_EQ(h.engine.currentPort(), kNoPort);
    EXPECT_EQ(h.store.writes, 0);
  }
}

TEST(MainWindowStart, InitialisesChooserButtonsProgressAndPages) {
  WindowHarness h;
  h.start();

  ASSERT_EQ(h.view.portEntries.size(), 100u);
  EXPECT_EQ(h.view.portEntries[0], u"COM0");
  EXPECT_EQ(h.view.portEntries[42], u"COM42");
  EXPECT_EQ(h.view.portEntries[99], u"COM99");

  EXPECT_FALSE(h.view.readEnabled);
  EXPECT_FALSE(h.view.writeEnabled);
  EXPECT_EQ(h.view.progressLow, 0);
  EXPECT_EQ(h.view.progressHigh, 4000);

  EXPECT_EQ(h.view.visiblePageCount(), 1);
  EXPECT_TRUE(h.view.pageVisible[0]);

  // The pages' own initialisation ran on their controls.
  EXPECT_EQ(h.view.page(kSmsTrack).textLimit(sms_track::IDC_SMS_PASSWORD), 6);
  EXPECT_EQ(h.view.page(kMisc).itemCount(misc::IDC_TIME_ZONE), 25u);
  EXPECT_EQ(h.view.page(kMisc).selectedItem(misc::IDC_TIME_ZONE), 20);
  EXPECT_TRUE(h.view.log.empty());
}

TEST(MainWindowButtons, FollowTheButtonStateTable) {
  WindowHarness h;
  h.start();
  auto buttons = [&](int value) { h.logic.trackerEvent(TRACKER_EVENT_BUTTONS, value, {}); };
  auto state = [&] { return std::pair{h.view.readEnabled, h.view.writeEnabled}; };

  // Before any settings read.
  buttons(1);
  EXPECT_EQ(state(), std::pair(true, false)) << "on-line without settings";
  buttons(2);
  EXPECT_EQ(state(), std::pair(true, false)) << "value 2 does nothing";
  buttons(3);
  EXPECT_EQ(state(), std::pair(true, true)) << "settings read";
  buttons(2);
  buttons(99);
  buttons(-1);
  h.logic.trackerEvent(7, 0, {});
  EXPECT_EQ(state(), std::pair(true, true)) << "unknown values and kinds";
  buttons(0);
  EXPECT_EQ(state(), std::pair(false, false)) << "off-line";
  buttons(3);
  EXPECT_EQ(state(), std::pair(false, true)) << "settings read leaves Read as it was";
  buttons(0);

  // "Read Settings" disables Write; an on-line report without settings
  // loaded does not bring it back.
  buttons(1);
  buttons(3);
  h.logic.onReadSettings();
  EXPECT_EQ(state(), std::pair(true, false)) << "Read pressed";
  buttons(1);
  EXPECT_EQ(state(), std::pair(true, false)) << "on-line, no settings yet";
  EXPECT_FALSE(h.logic.settingsLoaded());

  h.logic.settingsReady();
  EXPECT_TRUE(h.logic.settingsLoaded());
  EXPECT_EQ(state(), std::pair(true, true)) << "settings arrived";

  // From now on every on-line report enables both.
  buttons(0);
  EXPECT_EQ(state(), std::pair(false, false));
  buttons(1);
  EXPECT_EQ(state(), std::pair(true, true)) << "on-line after a settings read";
  h.logic.onReadSettings();
  EXPECT_EQ(state(), std::pair(true, false)) << "Read pressed again";
  buttons(1);
  EXPECT_EQ(state(), std::pair(true, true)) << "on-line report with settings loaded";
}

TEST(MainWindowStatusLight, BlinksWhileTheStateHoldsAndShowsAChangeAtOnce) {
  WindowHarness h;
  h.port.openable = {3};
  h.start();

  for (int i = 0; i < 4; ++i) h.logic.onTimerTick();  // no port: off-line
  EXPECT_THAT(h.view.statusImages,
              ElementsAre(StatusImage::Offline, StatusImage::None, StatusImage::Offline, StatusImage::None));

  // The tracker answers; the change comes on a tick after a blank one.
  h.view.selectPort(3);
  h.logic.onPortSelected();
  h.engine.communicationPass();
  ASSERT_TRUE(h.engine.trackerOnline());
  h.view.statusImages.clear();
  for (int i = 0; i < 3; ++i) h.logic.onTimerTick();
  // Green at once; the counter (3 after four off-line ticks) did not move,
  // so the next tick shows green again (odd), then none.
  EXPECT_THAT(h.view.statusImages, ElementsAre(StatusImage::Online, StatusImage::Online, StatusImage::None));
}

TEST(MainWindowLog, EveryEntryIsFollowedByAnEmptyLine) {
  WindowHarness h;
  h.logic.AppendLog(u"A");
  h.logic.trackerEvent(TRACKER_EVENT_LOG, 0, u"B");
  EXPECT_EQ(h.takeLog(), u"A\r\n\r\nB\r\n\r\n");

  WindowHarness ending;
  ending.logic.AppendLog(u"C\r\n");
  EXPECT_EQ(ending.takeLog(), u"C\r\n\r\n\r\n");
}

TEST(MainWindowLog, DropsTheOldestEntriesWholeBeyondOneMebibyte) {
  constexpr std::size_t kMebibyteUnits = 1024 * 1024 / 2;  // UTF-16

  {
    SCOPED_TRACE("a tracker silent for a day: a time-out every 4.5 s");
    WindowHarness h;
    for (int i = 0; i < 30000; ++i) h.logic.trackerEvent(TRACKER_EVENT_LOG, 0, u"Send command time out!");
    // 26 units an entry: 20164 entries fit in 524288 units, 20165 do not.
    EXPECT_EQ(h.view.log.size(), 20164u * 26u);
    EXPECT_EQ(h.view.log.substr(0, 26), u"Send command time out!\r\n\r\n");
  }
  {
    SCOPED_TRACE("entries of 1000 units: 524 fit");
    WindowHarness h;
    for (int i = 0; i < 600; ++i) {
      char tag[16];
      std::snprintf(tag, sizeof tag, "entry %05d", i);
      std::u16string entry(tag, tag + 11);
      entry.resize(996, u'x');
      h.logic.AppendLog(entry);
    }
    EXPECT_EQ(h.view.log.size(), 524000u);
    EXPECT_EQ(h.view.log.substr(0, 11), u"entry 00076");
  }
  {
    SCOPED_TRACE("empty entries: at most 32768 are kept");
    WindowHarness h;
    for (int i = 0; i < 40000; ++i) h.logic.AppendLog(u"");
    EXPECT_EQ(h.view.log.size(), 32768u * 4u);
  }
  {
    SCOPED_TRACE("one entry longer than the bound is cut to it");
    WindowHarness h;
    h.logic.AppendLog(u"first");
    h.logic.AppendLog(std::u16string(600000, u'y'));
    EXPECT_EQ(h.view.log.size(), kMebibyteUnits);
    EXPECT_EQ(h.view.log.front(), u'y');
    EXPECT_EQ(h.view.log.substr(kMebibyteUnits - 5), u"y\r\n\r\n");
  }
}

TEST(MainWindowSettingsReady, ShowsIdentityAndLoadsAllSixPages) {
  WindowHarness h;
  h.start();
  {
    std::lock_guard<std::mutex> hold(h.settings.lock);
    SettingsModel& m = h.settings.model;
    m.MagicNumber = 0xF6860000u;
    m.RomVersion.assign(u"TK-2.31");
    m.Imei.assign(u"356938035643809");
    m.SmsPassword.assign(u"123456");
    m.KeySlot[3].PhoneNumber.assign(u"5551001");  // button 1's slot
    m.ApnName.assign(u"internet.example");
    m.AgpsName.assign(u"agps.example");
    m.TrackerId.assign(u"7654321");
    m.WiretapNumber.assign(u"5550100");
  }
  h.logic.settingsReady();

  EXPECT_EQ(h.view.identityText(IdentityField::MagicNumber), u"f6860000");
  EXPECT_EQ(h.view.identityText(IdentityField::RomVersion), u"TK-2.31");
  EXPECT_EQ(h.view.identityText(IdentityField::Imei), u"356938035643809");
  EXPECT_THAT(h.view.identityOrder,
              ElementsAre(IdentityField::RomVersion, IdentityField::Imei, IdentityField::MagicNumber));
  EXPECT_TRUE(h.view.writeEnabled);

  EXPECT_EQ(h.view.page(kSmsTrack).text(sms_track::IDC_SMS_PASSWORD), u"123456");
  EXPECT_EQ(h.view.page(kKeyBinding).text(key_binding::IDC_PHONE_KEY1), u"5551001");
  EXPECT_EQ(h.view.page(kApn).text(apn::IDC_APN_NAME), u"internet.example");
  EXPECT_EQ(h.view.page(kAgps).text(agps::IDC_AGPS_NAME), u"agps.example");
  EXPECT_EQ(h.view.page(kTransport).text(transport::IDC_TRACKER_ID), u"7654321");
  EXPECT_EQ(h.view.page(kMisc).text(misc::IDC_WIRETAP_NUMBER), u"5550100");
}

TEST(MainWindowSettingsReady, AReadFillsThePagesAndAWriteSendsWhatTheyShow) {
  WindowHarness h;
  h.port.openable = {3};
  h.port.settingsImage = basicImageWithPassword();
  h.start();
  h.view.selectPort(3);
  h.logic.onPortSelected();
  h.engine.communicationPass();  // handshake reply: on line
  ASSERT_EQ(h.takeLog(), u"Open  port 3 sucessfully\r\n\r\nTracker is on line\r\n\r\n");
  EXPECT_TRUE(h.view.readEnabled);
  EXPECT_FALSE(h.view.writeEnabled);

  h.logic.onReadSettings();
  EXPECT_EQ(h.port.commandsWritten.back(), 0x8801);
  h.engine.communicationPass();  // the settings reply
  ASSERT_TRUE(h.logic.settingsLoaded());

  EXPECT_EQ(h.takeLog(), u"Read Setting ...\r\n\r\nGet Tracker's setting ok!\r\n\r\n");
  EXPECT_EQ(h.view.identityText(IdentityField::MagicNumber), u"f6860000");
  EXPECT_EQ(h.view.page(kSmsTrack).text(sms_track::IDC_SMS_PASSWORD), u"654321");
  EXPECT_EQ(h.view.progress, 100);
  EXPECT_TRUE(h.view.readEnabled);
  EXPECT_TRUE(h.view.writeEnabled);

  // Write: the pages save into the model that is encoded and sent.
  h.view.page(kSmsTrack).setText(sms_track::IDC_SMS_INTERVAL, u"15");
  h.logic.onWriteSettings();
  EXPECT_EQ(h.port.commandsWritten.back(), 0x8802);
  ASSERT_EQ(h.port.lastWriteData.size(), 3180u);
  // SmsReportInterval is the 32-bit little-endian word at 20 in the Basic layout.
  EXPECT_THAT(Bytes(h.port.lastWriteData.begin() + 20, h.port.lastWriteData.begin() + 24),
              ElementsAre(15, 0, 0, 0));
  h.engine.communicationPass();
  EXPECT_EQ(h.takeLog(), u"Write Setting ...\r\n\r\nWrite setting to tracker ok!\r\n\r\n");
}

TEST(MainWindowProgress, ShowsPositionsOutsideTheRangeAsItsNearestEnd) {
  WindowHarness h;
  const std::vector<std::pair<int, int>> rows{{0, 0}, {100, 100}, {4000, 4000}, {4001, 4000},
                                              {7000, 4000}, {-1, 0}, {-20, 0}};
  for (const auto& [sent, shown] : rows) {
    h.logic.trackerEvent(TRACKER_EVENT_PROGRESS, sent, {});
    EXPECT_EQ(h.view.progress, shown) << "sent " << sent;
  }
}

TEST(MainWindowPortChooser, AScanSelectionIsShownButNeitherStoredNorOpened) {
  WindowHarness h;
  h.store.value = u"7";
  h.port.openable = {5};
  h.start();
  const std::vector<std::pair<int, int>> rows{{5, 5}, {150, -1}, {99, 99}, {100, -1}, {-1, -1}, {0, 0}};
  for (const auto& [sent, selected] : rows) {
    h.logic.trackerEvent(TRACKER_EVENT_SELECT_PORT, sent, {});
    EXPECT_EQ(h.view.selectedPort(), selected) << "sent " << sent;
  }
  EXPECT_EQ(h.store.writes, 0);
  EXPECT_EQ(h.store.value, u"7");
  EXPECT_TRUE(h.port.opened.empty());
}

TEST(MainWindowPortChooser, ASelectionOpensThePortAndStoresItsIndexWhateverTheOutcome) {
  struct Row {
    const char* label;
    int port;
    OpenFailure failure;
    std::u16string log;
    std::u16string stored;
  };
  const std::vector<Row> rows{
      {"COM0 never opens", 0, OpenFailure::None,
       u"Fail to open port 0\r\n\r\nCOM0 is not a port that can be opened; the ports start at COM1.\r\n\r\n", u"0"},
      {"busy", 42, OpenFailure::Busy,
       u"Fail to open port 42\r\n\r\nCOM42 is busy: it is in use by another program.\r\n\r\n", u"42"},
      {"permission", 7, OpenFailure::AccessDenied,
       u"Fail to open port 7\r\n\r\nPermission denied on COM7: add your user to the dialout group, then log in "
       u"again.\r\n\r\n",
       u"7"},
      {"no such device", 8, OpenFailure::NoSuchDevice,
       u"Fail to open port 8\r\n\r\nThe device of COM8 does not exist (no such device): is it plugged "
       u"in?\r\n\r\n",
       u"8"},
      {"not mapped", 9, OpenFailure::NotMapped, u"Fail to open port 9\r\n\r\nNo device is mapped to COM9.\r\n\r\n",
       u"9"},
      {"not a serial device", 10, OpenFailure::NotATerminal,
       u"Fail to open port 10\r\n\r\nThe device of COM10 is not a serial device.\r\n\r\n", u"10"},
      {"opens", 3, OpenFailure::None, u"Open  port 3 sucessfully\r\n\r\n", u"3"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    WindowHarness h;
    h.port.openable = {3};
    h.port.failures[row.port] = row.failure;
    h.start();
    h.view.selectPort(row.port);
    h.logic.onPortSelected();
    EXPECT_EQ(h.takeLog(), row.log);
    EXPECT_EQ(h.store.value, row.stored);
    EXPECT_EQ(h.engine.currentPort(), row.port == 3 ? 3 : kNoPort);
    EXPECT_EQ(h.engine.scanStopFlag(), 1) << "a running scan ends";
  }

  SCOPED_TRACE("a store that cannot be written keeps nothing and says nothing");
  WindowHarness h;
  h.store.available = false;
  h.port.openable = {3};
  h.start();
  h.view.selectPort(3);
  h.logic.onPortSelected();
  EXPECT_EQ(h.takeLog(), u"Open  port 3 sucessfully\r\n\r\n");
  EXPECT_EQ(h.store.value, std::nullopt);
}

TEST(MainWindowPages, ShowPageLeavesExactlyOnePageVisible) {
  WindowHarness h;
  h.start();
  for (int k = 0; k < 6; ++k) {
    h.logic.onTabChanged(k);
    EXPECT_EQ(h.view.visiblePageCount(), 1) << "tab " << k;
    EXPECT_TRUE(h.view.pageVisible[static_cast<std::size_t>(k)]) << "tab " << k;
  }
  h.logic.onTabChanged(-1);
  EXPECT_EQ(h.view.visiblePageCount(), 0) << "no tab selected";
}

TEST(MainWindowPages, AClickOnEnableTcpTrackReachesTheTransportPage) {
  WindowHarness h;
  h.start();
  FakePageControls& page = h.view.page(kTransport);
  page.click(transport::IDC_TCP_TRACK);
  h.logic.onPageCommand(kTransport, transport::IDC_TCP_TRACK);
  EXPECT_EQ(page.text(transport::IDC_TCP_TRACK_VALUE), u"1");
  page.click(transport::IDC_TCP_TRACK);
  h.logic.onPageCommand(kTransport, transport::IDC_TCP_TRACK);
  EXPECT_EQ(page.text(transport::IDC_TCP_TRACK_VALUE), u"0");
  h.logic.onPageCommand(6, transport::IDC_TCP_TRACK);   // no such page: nothing
  h.logic.onPageCommand(-1, transport::IDC_TCP_TRACK);
  EXPECT_EQ(page.text(transport::IDC_TCP_TRACK_VALUE), u"0");
}

TEST(PageTable, SixRowsInTabOrder) {
  WindowHarness h;
  const PageTable& table = h.logic.pageTable();
  struct Row {
    std::u16string_view title;
    int templateId;
    int icon;
    int classTemplate;
  };
  const std::vector<Row> expected{
      {u"Sms Track", 129, 153, 129}, {u"Key Binding", 132, 151, 132}, {u"APN", 130, 150, 130},
      {u"AGPS", 131, 149, 131},      {u"Transport", 138, 148, 138},   {u"Misc", 155, 152, 140},
  };
  ASSERT_EQ(table.rows().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const PageEntry& row = table.rows()[i];
    EXPECT_EQ(row.titleText(), expected[i].title);
    EXPECT_EQ(row.templateId, expected[i].templateId);
    EXPECT_EQ(row.tabIcon, expected[i].icon);
    EXPECT_EQ(row.page->classTemplateId(), expected[i].classTemplate);
    EXPECT_EQ(row.page->dialogTemplate().id, expected[i].templateId);
    EXPECT_EQ(row.title.back(), u'\0');
  }
}

TEST(MainWindowTemplates, MainWindowAndAboutBox) {
  const DialogTemplate& main = mainWindowTemplate();
  EXPECT_EQ(main.id, 102);
  EXPECT_EQ(main.caption, u"Veltranix Pelmora(1.0.03)");
  EXPECT_EQ(main.width, 436);
  EXPECT_EQ(main.height, 299);
  EXPECT_EQ(main.fontFace, u"Arial");
  EXPECT_EQ(main.fontPointSize, 12);
  struct Control {
    int id;
    ItemKind kind;
    DialogRect rect;
    int image;
  };
  const std::vector<Control> controls{
      {1010, ItemKind::ComboBox, {2, 2, 41, 27}, 0},       {1009, ItemKind::Bitmap, {44, 2, 11, 11}, 1004},
      {1004, ItemKind::PushButton, {57, 2, 66, 13}, 0},    {1005, ItemKind::PushButton, {125, 2, 65, 13}, 0},
      {1006, ItemKind::PushButton, {192, 2, 65, 13}, 0},   {1036, ItemKind::ProgressBar, {258, 3, 168, 10}, 0},
      {1007, ItemKind::Edit, {56, 22, 58, 10}, 0},         {1013, ItemKind::Edit, {149, 22, 138, 10}, 0},
      {1008, ItemKind::Edit, {315, 22, 87, 10}, 0},        {1000, ItemKind::TabControl, {2, 40, 320, 240}, 0},
      {1011, ItemKind::Edit, {323, 52, 106, 228}, 0},      {1012, ItemKind::Bitmap, {352, 183, 21, 21}, 142},
  };
  for (const Control& c : controls) {
    const TemplateItem* item = main.find(c.id);
    ASSERT_NE(item, nullptr) << c.id;
    EXPECT_EQ(item->kind, c.kind) << c.id;
    EXPECT_EQ(item->rect.x, c.rect.x) << c.id;
    EXPECT_EQ(item->rect.y, c.rect.y) << c.id;
    EXPECT_EQ(item->rect.width, c.rect.width) << c.id;
    EXPECT_EQ(item->rect.height, c.rect.height) << c.id;
    EXPECT_EQ(item->image, c.image) << c.id;
  }
  EXPECT_EQ(main.items.size(), controls.size() + 4) << "and a group box and three labels";
  EXPECT_EQ(main.find(1006)->text, u"Write Settings");
  EXPECT_TRUE(main.find(1012)->style & StyleHidden);
  EXPECT_TRUE(main.find(1011)->style & StyleMultiline);
  EXPECT_TRUE(main.find(1011)->style & StyleReadOnly);

  const DialogTemplate& about = aboutBoxTemplate();
  EXPECT_EQ(about.id, 100);
  EXPECT_EQ(about.caption, u"About Pelmora");
  EXPECT_EQ(about.width, 170);
  EXPECT_EQ(about.height, 62);
  EXPECT_EQ(about.fontFace, u"MS Shell Dlg");
  EXPECT_EQ(about.fontPointSize, 8);
  ASSERT_NE(about.find(1), nullptr);
  EXPECT_EQ(about.find(1)->text, u"OK");
  EXPECT_EQ(about.find(1)->rect.x, 113);
  EXPECT_EQ(about.find(1)->rect.y, 41);
  EXPECT_EQ(kAboutMenuText, u"&About Pelmora...");
  EXPECT_EQ(STATUS_TIMER_ID, 0x2000);
}

}  // namespace
}  // namespace pelmora::testing
