// Each page on its own fake controls: what a page does beyond showing and
// storing a field (its choosers, check boxes and rows).
#include "pages/key_binding_page.h"
#include "pages/misc_page.h"
#include "pages/transport_page.h"

#include <gtest/gtest.h>

#include <string>

#include "page_test_support.h"

namespace pelmora::test {
namespace {

using namespace misc;
using MiscPageTest = PageTest<MiscPage>;
using KeyBindingPageTest = PageTest<KeyBindingPage>;
using TransportPageTest = PageTest<TransportPage>;

TEST_F(MiscPageTest, InitialisationFillsTheChoosers) {
  ASSERT_EQ(controls.itemCount(IDC_TIME_ZONE), 25u);
  for (const auto& [index, zone] :
       {std::pair{0u, u"GMT-12"}, {11u, u"GMT-1"}, {12u, u"UTC"}, {13u, u"GMT+1"}, {24u, u"GMT+12"}})
    EXPECT_EQ(controls.itemText(IDC_TIME_ZONE, index), zone);
  EXPECT_EQ(controls.text(IDC_TIME_ZONE), u"GMT+8");
  ASSERT_EQ(controls.itemCount(IDC_OVERSPEED), 21u);
  EXPECT_EQ(controls.itemText(IDC_OVERSPEED, 0), u"Disable Overspeed Alarm");
  EXPECT_EQ(controls.itemText(IDC_OVERSPEED, 1), u"10Km/h");
  EXPECT_EQ(controls.itemText(IDC_OVERSPEED, 20), u"200Km/h");
  EXPECT_EQ(controls.selectedItem(IDC_OVERSPEED), -1);
  save();  // right after initialisation
  EXPECT_EQ(model.TimeZoneMinutes, 480);
}

TEST_F(MiscPageTest, TimeZoneStoresTheOffsetOfTheChosenItem) {
  for (const auto& [zone, minutes] : {std::pair{u"UTC", 0}, {u"GMT-12", -720}, {u"GMT+12", 720}, {u"GMT-5", -300}}) {
    controls.selectItem(IDC_TIME_ZONE, ItemIndex(controls, IDC_TIME_ZONE, zone));
    save();
    EXPECT_EQ(model.TimeZoneMinutes, minutes) << ::testing::PrintToString(std::u16string(zone));
  }
  model.TimeZoneMinutes = 60;
  load();
  EXPECT_EQ(controls.text(IDC_TIME_ZONE), u"GMT+1");

  // No matching item: no selection (the value goes back as it came: see the all-pages test).
  model.TimeZoneMinutes = 330;
  load();
  EXPECT_EQ(controls.selectedItem(IDC_TIME_ZONE), -1);

  // A typed text that matches no item leaves the value alone too.
  model.TimeZoneMinutes = -300;
  load();
  controls.type(IDC_TIME_ZONE, u"+3");
  save();
  EXPECT_EQ(model.TimeZoneMinutes, -300);
}

TEST_F(MiscPageTest, OverspeedStoresItemAndSwitch) {
  struct Row {
    const char* label;
    std::uint32_t enabled, index;  // loaded
    std::u16string_view chosen;    // empty: none
    std::u16string_view shown;     // empty: no selection
    std::uint32_t savedEnabled, savedIndex;
  };
  const Row rows[] = {
      {"70Km/h chosen", 0, 0, u"70Km/h", u"70Km/h", 1, 7},
      {"alarm off chosen", 1, 7, u"Disable Overspeed Alarm", u"Disable Overspeed Alarm", 0, 0},
      {"loaded off with index 5", 0, 5, u"", u"Disable Overspeed Alarm", 0, 0},
      {"loaded 30Km/h", 1, 3, u"", u"30Km/h", 1, 3},
      {"index beyond the list goes back", 1, 25, u"", u"", 1, 25},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    model.OverspeedAlarmEnabled = row.enabled;
    model.OverspeedIndex = row.index;
    load();
    if (!row.chosen.empty()) controls.selectItem(IDC_OVERSPEED, ItemIndex(controls, IDC_OVERSPEED, row.chosen));
    if (row.shown.empty()) {
      EXPECT_EQ(controls.selectedItem(IDC_OVERSPEED), -1);
    } else {
      EXPECT_EQ(controls.text(IDC_OVERSPEED), row.shown);
    }
    save();
    EXPECT_EQ(model.OverspeedAlarmEnabled, row.savedEnabled);
    EXPECT_EQ(model.OverspeedIndex, row.savedIndex);
  }
}

TEST_F(MiscPageTest, EachCheckBoxStoresIntoItsOwnField) {
  struct Box {
    int id;
    std::uint32_t SettingsModel::*field;
  };
  const Box boxes[] = {
      {1020, &SettingsModel::CallLocationReport}, {1026, &SettingsModel::NmeaGprmcFormat},
      {1021, &SettingsModel::AutoHangUp},         {1022, &SettingsModel::PowerOnSosSms},
      {1025, &SettingsModel::LowVoltageShutdown}, {1023, &SettingsModel::BlindAreaAlert},
      {1024, &SettingsModel::LedsOff},            {1027, &SettingsModel::LowPowerAlarmEnabled},
  };
  for (const Box& box : boxes) {
    model = SettingsModel{};
    load();
    controls.click(box.id);
    save();
    for (const Box& other : boxes)
      EXPECT_EQ(model.*other.field, other.id == box.id ? 1u : 0u) << "click " << box.id << ", field of " << other.id;
  }
}

TEST_F(MiscPageTest, ACheckBoxValueOtherThanOneGoesBackUnlessChanged) {
  model.LedsOff = 5;
  load();
  EXPECT_EQ(controls.checkState(IDC_LEDS_OFF), 1);  // unchanged it goes back: see the all-pages test
  controls.click(IDC_LEDS_OFF);
  save();
  EXPECT_EQ(model.LedsOff, 0u);
  controls.click(IDC_LEDS_OFF);
  save();
  EXPECT_EQ(model.LedsOff, 1u);

  // Changed and changed back before the save: the box shows what it showed.
  model.LedsOff = 5;
  load();
  controls.click(IDC_LEDS_OFF);
  controls.click(IDC_LEDS_OFF);
  save();
  EXPECT_EQ(model.LedsOff, 5u);
}

TEST_F(KeyBindingPageTest, EachRowSavesIntoItsSlots) {
  struct Row {
    std::u16string button;
    int phone, sms, message;  // the row's edits
    int keySlot, messageSlot;
  };
  const Row rows[] = {
      {u"Button 1", key_binding::IDC_PHONE_KEY1, key_binding::IDC_SMS_KEY1, key_binding::IDC_MESSAGE_KEY1, 3, 3},
      {u"Button 2", key_binding::IDC_PHONE_KEY2, key_binding::IDC_SMS_KEY2, key_binding::IDC_MESSAGE_KEY2, 0, 1},
      {u"Button 3", key_binding::IDC_PHONE_KEY3, key_binding::IDC_SMS_KEY3, key_binding::IDC_MESSAGE_KEY3, 1, 2},
      {u"Button SOS", key_binding::IDC_PHONE_SOS, key_binding::IDC_SMS_SOS, key_binding::IDC_MESSAGE_SOS, 2, 0},
  };
  for (const Row& row : rows) {
    retype(row.phone, u"tel " + row.button);
    retype(row.sms, u"sms " + row.button);
    retype(row.message, u"text " + row.button);
  }
  save();
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.button));
    EXPECT_EQ(model.KeySlot[row.keySlot].PhoneNumber, u"tel " + row.button);
    EXPECT_EQ(model.KeySlot[row.keySlot].SmsNumber, u"sms " + row.button);
    EXPECT_EQ(model.SosMessage[row.messageSlot], u"text " + row.button);
  }
}

// The hidden value goes back as it came unless the box is clicked (see the
// all-pages test); the box is checked when the value's text starts with 1.
TEST_F(TransportPageTest, TcpTrackBoxShowsItsValueAndAClickSetsIt) {
  for (const auto& [loaded, checked] : {std::pair{12u, 1}, {2u, 0}, {4294967295u, 0}}) {
    model.TcpTrackEnabled = loaded;
    load();
    EXPECT_EQ(controls.checkState(transport::IDC_TCP_TRACK), checked) << loaded;
  }
  model.TcpTrackEnabled = 12;
  load();
  // The box toggles itself, then the window passes the click on.
  controls.click(transport::IDC_TCP_TRACK);
  page.onCommand(controls, transport::IDC_TCP_TRACK);
  save();
  EXPECT_EQ(model.TcpTrackEnabled, 0u);
}

}  // namespace
}  // namespace pelmora::test
