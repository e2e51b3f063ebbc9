// The six pages together, as the window holds them: what each edit lets the
// user type and where its text goes, and a read shown on all six pages and
// saved straight back, which gives every field back as it came. That the
// block written then differs from the one read only in the changed fields
// is the codec's part.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "page_test_support.h"
#include "pages/agps_page.h"
#include "pages/apn_page.h"
#include "pages/key_binding_page.h"
#include "pages/misc_page.h"
#include "pages/sms_track_page.h"
#include "pages/transport_page.h"
#include "settings/settings_codec.h"

namespace pelmora::test {
namespace {

enum PageIndex { kSms, kKeys, kApn, kAgps, kTransport, kMisc };

// The six pages of the window, each on controls of its own template.
class AllPages {
 public:
  AllPages() {
    for (SettingsPage* page : pages_) {
      controls_.push_back(std::make_unique<FakePageControls>(page->dialogTemplate()));
      page->initialise(*controls_.back());
    }
  }
  void exchange(SettingsModel& model, ExchangeDirection direction) {
    for (std::size_t i = 0; i < pages_.size(); ++i) pages_[i]->exchange(*controls_[i], model, direction);
  }
  FakePageControls& controls(PageIndex page) { return *controls_[page]; }

 private:
  SmsTrackPage sms_;
  KeyBindingPage keys_;
  ApnPage apn_;
  AgpsPage agps_;
  TransportPage transport_;
  MiscPage misc_;
  std::array<SettingsPage*, 6> pages_{&sms_, &keys_, &apn_, &agps_, &transport_, &misc_};
  std::vector<std::unique_ptr<FakePageControls>> controls_;
};

using Field = std::u16string (*)(const SettingsModel&);
template <auto Member>
std::u16string Text(const SettingsModel& m) {
  return std::u16string((m.*Member).view());
}
template <auto Member>
std::u16string Number(const SettingsModel& m) {
  const std::string digits = std::to_string(m.*Member);
  return {digits.begin(), digits.end()};
}

TEST(AllPages, EachEditTakesWhatItsLimitLetsInAndSavesItToItsField) {
  struct Row {
    PageIndex page;
    int id;
    std::u16string typed, kept;  // kept: what the edit shows after the typing
    Field field;
    std::u16string saved = {};   // the field after a save, shown again by the next load; empty: as kept
  };
  const std::u16string number20 = u"+4917012345678901234", message32 = u"Help! I am at the usual place 32";
  const std::u16string apn90 = std::u16string(89, u'a') + u"z", nines = u"99999999999";
  using M = SettingsModel;
  const Row rows[] = {
      {kSms, sms_track::IDC_SMS_PASSWORD, u"12a3456789", u"123456", Text<&M::SmsPassword>},
      {kSms, sms_track::IDC_SMS_PASSWORD, u"", u"", Text<&M::SmsPassword>, u"482915"},
      {kSms, sms_track::IDC_SMS_INTERVAL, u"", u"", Number<&M::SmsReportInterval>, u"0"},
      {kSms, sms_track::IDC_SMS_INTERVAL, nines + u"9", nines, Number<&M::SmsReportInterval>, u"4294967295"},
      {kKeys, key_binding::IDC_SMS_KEY1, number20 + u"5", number20,
       [](const M& m) { return std::u16string(m.KeySlot[3].SmsNumber.view()); }},
      {kKeys, key_binding::IDC_MESSAGE_KEY3, message32 + u"!", message32,
       [](const M& m) { return std::u16string(m.SosMessage[2].view()); }},
      {kApn, apn::IDC_APN_NAME, apn90 + u"!", apn90, Text<&M::ApnName>},
      {kApn, apn::IDC_APN_USER, std::u16string(61, u'u'), std::u16string(60, u'u'), Text<&M::ApnUser>},
      {kApn, apn::IDC_APN_PASSWORD, std::u16string(61, u'p'), std::u16string(60, u'p'), Text<&M::ApnPassword>},
      {kApn, apn::IDC_APN_DNS1, u"10.0.0.1", u"10.0.0.1", Text<&M::PrimaryDns>},
      {kApn, apn::IDC_APN_DNS2, u"192.168.100.254", u"192.168.100.254", Text<&M::SecondaryDns>},
      {kAgps, agps::IDC_AGPS_NAME, u"assistance-service-2x", u"assistance-service-2", Text<&M::AgpsName>},
      {kAgps, agps::IDC_AGPS_SERVER_IP, u"203.0.113.7", u"203.0.113.7", Text<&M::AgpsServerIp>},
      {kAgps, agps::IDC_AGPS_PORT, u"0080", u"0080", Text<&M::AgpsPort>},
      {kAgps, agps::IDC_AGPS_PORT, u"", u"", Text<&M::AgpsPort>},
      {kAgps, agps::IDC_AGPS_PORT, std::u16string(30, u'7'), std::u16string(22, u'7'), Text<&M::AgpsPort>},
      {kAgps, agps::IDC_AGPS_SMS_NUMBER, u"+7 912 345 67 89 0123", u"+7 912 345 67 89 012", Text<&M::AgpsSmsNumber>},
      {kTransport, transport::IDC_TCP_SERVER_IP, u"198.51.100.20", u"198.51.100.20", Text<&M::ServerIp>},
      {kTransport, transport::IDC_TCP_PORT, u"05000", u"05000", Text<&M::ServerPort>},
      {kTransport, transport::IDC_TCP_PORT, u"", u"", Text<&M::ServerPort>},
      {kTransport, transport::IDC_TCP_PORT, std::u16string(30, u'1'), std::u16string(22, u'1'), Text<&M::ServerPort>},
      {kTransport, transport::IDC_TRACKER_ID, u"123456789012345", u"12345678901234", Text<&M::TrackerId>},
      {kTransport, transport::IDC_TRACKER_ID, u"", u"", Text<&M::TrackerId>, u"482915"},
      {kTransport, transport::IDC_TCP_INTERVAL, nines + u"9", nines, Number<&M::TcpReportInterval>, u"4294967295"},
      {kMisc, misc::IDC_WIRETAP_NUMBER, u"+4917012345678901234567", number20, Text<&M::WiretapNumber>},
  };
  AllPages pages;
  SettingsModel model;
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << "page " << row.page << " id " << row.id << " typed "
                                      << ::testing::PrintToString(row.typed.substr(0, 30)));
    FakePageControls& controls = pages.controls(row.page);
    controls.setText(row.id, u"");
    controls.type(row.id, row.typed);
    EXPECT_EQ(controls.text(row.id), row.kept);
    const std::u16string& saved = row.saved.empty() ? row.kept : row.saved;
    pages.exchange(model, PAGE_SAVE);
    EXPECT_EQ(row.field(model), saved);
    controls.setText(row.id, u"something else");
    pages.exchange(model, PAGE_LOAD);
    EXPECT_EQ(controls.text(row.id), saved);
  }
}

// A model decoded from a block whose every byte is non-zero: every text at
// its full capacity, beyond its edit's limit and not only digits; every
// number and carried field a value of its own. The check boxes hold values
// other than 0 and 1, the time zone and overspeed index match no item.
SettingsModel Populated() {
  std::vector<std::uint8_t> block(3384);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>((i * 7 + 3) % 251 + 1);
  const std::uint8_t extended[] = {0x01, 0x00, 0x86, 0xF6};
  std::copy(std::begin(extended), std::end(extended), block.begin());
  SettingsModel m;
  SettingsCodec codec;
  EXPECT_EQ(codec.decodeSettingsBlock(block, m), DecodeResult::Decoded);

  const std::uint32_t values[] = {5, 0xFFFFFFFF, 2, 0, 1, 7, 3, 9};
  std::uint32_t* boxes[] = {&m.CallLocationReport, &m.NmeaGprmcFormat,    &m.AutoHangUp, &m.PowerOnSosSms,
                            &m.LowVoltageShutdown, &m.BlindAreaAlert, &m.LedsOff,    &m.LowPowerAlarmEnabled};
  for (std::size_t i = 0; i < std::size(boxes); ++i) *boxes[i] = values[i];
  m.LowPowerAlarmVoltage = 3.3f;
  m.OverspeedAlarmEnabled = 7;
  m.OverspeedIndex = 25;
  m.TimeZoneMinutes = 330;
  m.SmsReportInterval = 4294967295u;
  m.TcpReportInterval = 2147483648u;
  m.HttpReportInterval = 4294967290u;  // the hidden HTTP fields go back too
  m.TcpTrackEnabled = 12;
  m.PrimaryDns.assign(u"10.0.0.1");
  return m;
}

// What each value means to its page (an unchecked box, an overspeed switch
// that is off) the page tests check; here every page together gives back
// every field, those of the others and those no page shows included.
TEST(AllPages, LoadThenSaveGivesEveryFieldBack) {
  SettingsModel model = Populated();
  const SettingsModel expected = model;
  AllPages pages;
  // The phone and the APN port are shown but exchanged with nothing.
  FakePageControls& sms = pages.controls(kSms);
  FakePageControls& apnPage = pages.controls(kApn);
  sms.type(sms_track::IDC_SMS_PHONE, u"+49 170 1234567 890 12");
  apnPage.type(apn::IDC_APN_PORT, u"80a80");
  pages.exchange(model, PAGE_LOAD);
  // Numbers show unsigned, as a digits-only edit can take them back (the shown intervals: the rows above).
  EXPECT_EQ(pages.controls(kTransport).text(transport::IDC_HTTP_INTERVAL), u"4294967290");
  pages.exchange(model, PAGE_SAVE);
  ExpectSameModel(model, expected);
  pages.exchange(model, PAGE_SAVE);
  ExpectSameModel(model, expected);
  EXPECT_EQ(sms.text(sms_track::IDC_SMS_PHONE), u"+49 170 1234567 890 ");  // 20 characters
  EXPECT_EQ(apnPage.text(apn::IDC_APN_PORT), u"8080");
}

}  // namespace
}  // namespace pelmora::test
