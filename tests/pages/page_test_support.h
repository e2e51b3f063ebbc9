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
inline void PrintTo(const KeySlotRecord& slot, std::ostream* os) {
  *os << "{" << slot.Word << ", " << ::testing::PrintToString(slot.SmsNumber) << ", "
      << ::testing::PrintToString(slot.PhoneNumber) << "}";
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

// Every field of the model, identity included, each named when it differs.
inline void ExpectSameModel(const SettingsModel& actual, const SettingsModel& expected) {
  const auto field = [&](const auto& a, const auto& e, const char* name) { EXPECT_EQ(a, e) << name; };
#define SAME(name) field(actual.name, expected.name, #name)
  SAME(MagicNumber); SAME(RomVersion); SAME(SmsPassword); SAME(SmsReportInterval); SAME(Opaque1); SAME(KeySlot);
  SAME(LowPowerAlarmEnabled); SAME(OverspeedAlarmEnabled); SAME(OverspeedIndex); SAME(Opaque2); SAME(Opaque3);
  SAME(Opaque4); SAME(Opaque5); SAME(CallLocationReport); SAME(NmeaGprmcFormat); SAME(AutoHangUp);
  SAME(PowerOnSosSms); SAME(LowVoltageShutdown); SAME(BlindAreaAlert); SAME(LedsOff); SAME(Opaque6); SAME(Opaque7);
  SAME(TrackerId); SAME(ApnName); SAME(ApnUser); SAME(ApnPassword); SAME(PrimaryDns); SAME(SecondaryDns);
  SAME(ServerIp); SAME(ServerPort); SAME(TcpReportInterval); SAME(TcpTrackEnabled); SAME(Opaque8);
  SAME(WiretapNumber); SAME(TimeZoneMinutes); SAME(HttpReportInterval); SAME(Opaque9); SAME(SosMessage);
  SAME(Opaque10); SAME(Opaque11); SAME(AgpsName); SAME(AgpsServerIp); SAME(AgpsPort); SAME(AgpsSmsNumber);
  SAME(Opaque12); SAME(Opaque13); SAME(HttpServerDomain); SAME(Imei);
#undef SAME
  EXPECT_EQ(Bits(actual.LowPowerAlarmVoltage), Bits(expected.LowPowerAlarmVoltage)) << "LowPowerAlarmVoltage";
}

}  // namespace test
}  // namespace pelmora
