#pragma once
// Shared by the page tests: a page on fake controls after its
// initialisation, readable texts in failure messages, and a field-by-field
// comparison of two models.

#include <gtest/gtest.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "pages/exchange_direction.h"
#include "pages/testing/fake_page_controls.h"
#include "settings/settings_model.h"

namespace pelmora {

template <std::size_t N>
void PrintTo(const FixedText<N>& text, std::ostream* os) {
  *os << ::testing::PrintToString(std::u16string(text.view()));
}

namespace test {

// A page whose window was just created: controls from its template,
// OnInitDialog done, and a model of its own.
template <class Page>
class PageTest : public ::testing::Test {
 protected:
  PageTest() { page.OnInitDialog(controls); }

  void load() { page.exchange(controls, model, PAGE_LOAD); }
  void save() { page.exchange(controls, model, PAGE_SAVE); }
  // What the user does to an edit: select all, delete, type.
  std::size_t retype(int id, std::u16string_view text) {
    controls.setText(id, u"");
    return controls.type(id, text);
  }

  Page page;
  FakePageControls controls{page.dialogTemplate()};
  SettingsModel model;
};

// Index of the chooser item showing `text`, -1 when there is none.
inline int ItemIndex(const FakePageControls& controls, int id, std::u16string_view text) {
  for (std::size_t i = 0; i < controls.itemCount(id); ++i)
    if (controls.itemText(id, i) == text) return static_cast<int>(i);
  return -1;
}

inline std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

// Every field of the model, identity included.
inline void ExpectSameModel(const SettingsModel& actual, const SettingsModel& expected) {
#define PELMORA_EXPECT_FIELD(field) EXPECT_EQ(actual.field, expected.field) << #field
  PELMORA_EXPECT_FIELD(MagicNumber);
  PELMORA_EXPECT_FIELD(RomVersion);
  PELMORA_EXPECT_FIELD(SmsPassword);
  PELMORA_EXPECT_FIELD(SmsReportInterval);
  PELMORA_EXPECT_FIELD(Opaque1);
  for (std::size_t i = 0; i < expected.KeySlot.size(); ++i) {
    PELMORA_EXPECT_FIELD(KeySlot[i].Word) << " [" << i << "]";
    PELMORA_EXPECT_FIELD(KeySlot[i].SmsNumber) << " [" << i << "]";
    PELMORA_EXPECT_FIELD(KeySlot[i].PhoneNumber) << " [" << i << "]";
  }
  PELMORA_EXPECT_FIELD(LowPowerAlarmEnabled);
  EXPECT_EQ(Bits(actual.LowPowerAlarmVoltage), Bits(expected.LowPowerAlarmVoltage)) << "LowPowerAlarmVoltage";
  PELMORA_EXPECT_FIELD(OverspeedAlarmEnabled);
  PELMORA_EXPECT_FIELD(OverspeedIndex);
  PELMORA_EXPECT_FIELD(Opaque2);
  PELMORA_EXPECT_FIELD(Opaque3);
  PELMORA_EXPECT_FIELD(Opaque4);
  PELMORA_EXPECT_FIELD(Opaque5);
  PELMORA_EXPECT_FIELD(CallLocationReport);
  PELMORA_EXPECT_FIELD(NmeaGprmcFormat);
  PELMORA_EXPECT_FIELD(AutoHangUp);
  PELMORA_EXPECT_FIELD(PowerOnSosSms);
  PELMORA_EXPECT_FIELD(LowVoltageShutdown);
  PELMORA_EXPECT_FIELD(BlindAreaAlert);
  PELMORA_EXPECT_FIELD(LedsOff);
  PELMORA_EXPECT_FIELD(Opaque6);
  PELMORA_EXPECT_FIELD(Opaque7);
  PELMORA_EXPECT_FIELD(TrackerId);
  PELMORA_EXPECT_FIELD(ApnName);
  PELMORA_EXPECT_FIELD(ApnUser);
  PELMORA_EXPECT_FIELD(ApnPassword);
  PELMORA_EXPECT_FIELD(PrimaryDns);
  PELMORA_EXPECT_FIELD(SecondaryDns);
  PELMORA_EXPECT_FIELD(ServerIp);
  PELMORA_EXPECT_FIELD(ServerPort);
  PELMORA_EXPECT_FIELD(TcpReportInterval);
  PELMORA_EXPECT_FIELD(TcpTrackEnabled);
  PELMORA_EXPECT_FIELD(Opaque8);
  PELMORA_EXPECT_FIELD(WiretapNumber);
  PELMORA_EXPECT_FIELD(TimeZoneMinutes);
  PELMORA_EXPECT_FIELD(HttpReportInterval);
  PELMORA_EXPECT_FIELD(Opaque9);
  PELMORA_EXPECT_FIELD(SosMessage);
  PELMORA_EXPECT_FIELD(Opaque10);
  PELMORA_EXPECT_FIELD(Opaque11);
  PELMORA_EXPECT_FIELD(AgpsName);
  PELMORA_EXPECT_FIELD(AgpsServerIp);
  PELMORA_EXPECT_FIELD(AgpsPort);
  PELMORA_EXPECT_FIELD(AgpsSmsNumber);
  PELMORA_EXPECT_FIELD(Opaque12);
  PELMORA_EXPECT_FIELD(Opaque13);
  PELMORA_EXPECT_FIELD(HttpServerDomain);
  PELMORA_EXPECT_FIELD(Imei);
#undef PELMORA_EXPECT_FIELD
}

}  // namespace test
}  // namespace pelmora
