// A read shown on all six pages and written straight back gives the
// tracker every field as it came, apart from the changes made on purpose.

#include <gtest/gtest.h>

#include <array>
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

namespace pelmora::test {
namespace {

// `tag`, then digits, to the field's full capacity: each field its own text.
template <std::size_t N>
void Fill(FixedText<N>& field, std::u16string_view tag) {
  std::u16string text(tag);
  for (std::size_t i = 0; text.size() < N; ++i) text.push_back(static_cast<char16_t>(u'0' + i % 10));
  field.assign(text);
}

struct Variant {
  const char* name;
  std::int32_t timeZone;
  std::array<std::uint32_t, 8> boxes;  // CallLocationReport .. LedsOff, LowPowerAlarmEnabled
  std::uint32_t overspeedEnabled;
  std::uint32_t overspeedIndex;
};

SettingsModel Populated(const Variant& v) {
  SettingsModel m;
  m.MagicNumber = 0xF6860001;
  Fill(m.RomVersion, u"ROM");
  Fill(m.SmsPassword, u"pw");
  m.SmsReportInterval = 4294967295u;
  Fill(m.Opaque1, u"o1");
  for (std::size_t i = 0; i < m.KeySlot.size(); ++i) {
    const auto digit = static_cast<char16_t>(u'0' + i);
    m.KeySlot[i].Word = 0x1000u + static_cast<std::uint32_t>(i);
    Fill(m.KeySlot[i].SmsNumber, std::u16string(u"sms") + digit);
    Fill(m.KeySlot[i].PhoneNumber, std::u16string(u"tel") + digit);
    Fill(m.SosMessage[i], std::u16string(u"Сообщение ") + digit);
  }
  std::uint32_t* boxes[] = {&m.CallLocationReport, &m.NmeaGprmcFormat,    &m.AutoHangUp, &m.PowerOnSosSms,
                            &m.LowVoltageShutdown, &m.BlindAreaAlert, &m.LedsOff,    &m.LowPowerAlarmEnabled};
  for (std::size_t i = 0; i < v.boxes.size(); ++i) *boxes[i] = v.boxes[i];
  m.LowPowerAlarmVoltage = 3.3f;
  m.OverspeedAlarmEnabled = v.overspeedEnabled;
  m.OverspeedIndex = v.overspeedIndex;
  m.Opaque2 = {1, 2, 3};
  m.Opaque4 = 4;
  m.Opaque6 = 6;
  m.Opaque9 = 9;
  for (std::size_t i = 0; i < m.Opaque12.size(); ++i) m.Opaque12[i] = 0xC0DE0000u + static_cast<std::uint32_t>(i);
  Fill(m.Opaque3, u"o3");
  Fill(m.Opaque5, u"o5");
  Fill(m.Opaque7, u"o7");
  Fill(m.Opaque10, u"o10");
  for (auto& text : m.Opaque11) Fill(text, u"o11");
  for (auto& text : m.Opaque13) Fill(text, u"o13");
  Fill(m.TrackerId, u"id");
  Fill(m.ApnName, u"apn");
  Fill(m.ApnUser, u"user");
  Fill(m.ApnPassword, u"secret");
  m.PrimaryDns.assign(u"10.0.0.1");
  m.SecondaryDns.assign(u"not an address");
  m.ServerIp.assign(u"198.51.100.20");
  Fill(m.ServerPort, u"port");
  m.TcpReportInterval = 2147483648u;
  m.TcpTrackEnabled = 12;
  m.Opaque8 = {8, 9, 10, 11, 12, 13, 14, 15};
  Fill(m.WiretapNumber, u"wire");
  m.TimeZoneMinutes = v.timeZone;
  m.HttpReportInterval = 600;
  Fill(m.AgpsName, u"agps");
  m.AgpsServerIp.assign(u"203.0.113.7");
  m.AgpsPort.assign(u"0080");
  Fill(m.AgpsSmsNumber, u"agsms");
  Fill(m.HttpServerDomain, u"http");
  Fill(m.Imei, u"35");
  return m;
}

// The six pages of the window, each on controls of its own template.
class AllPages {
 public:
  AllPages() {
    for (SettingsPage* page : pages_) {
      controls_.push_back(std::make_unique<FakePageControls>(page->dialogTemplate()));
      page->OnInitDialog(*controls_.back());
    }
  }
  void exchange(SettingsModel& model, ExchangeDirection direction) {
    for (std::size_t i = 0; i < pages_.size(); ++i) pages_[i]->exchange(*controls_[i], model, direction);
  }

 private:
  CDlgSMSTrack sms_;
  CDlgBtnBinding keys_;
  CDLGAPN apn_;
  CDlgAgps agps_;
  CDlgTransport transport_;
  CDlgGeneral misc_;
  std::array<SettingsPage*, 6> pages_{&sms_, &keys_, &apn_, &agps_, &transport_, &misc_};
  std::vector<std::unique_ptr<FakePageControls>> controls_;
};

TEST(AllPages, LoadThenSaveGivesEveryFieldBack) {
  const Variant variants[] = {
      {"plain", -300, {1, 0, 1, 0, 1, 0, 1, 0}, 1, 12},
      {"unusual", 330, {5, 0xFFFFFFFF, 2, 0, 1, 7, 3, 9}, 7, 25},
      {"alarm off", 720, {0, 0, 0, 0, 0, 0, 0, 1}, 0, 5},
  };
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.name);
    SettingsModel model = Populated(v);
    SettingsModel expected = model;
    expected.KeySlot[UnboundSlot].SmsNumber.clear();
    expected.KeySlot[UnboundSlot].PhoneNumber.clear();
    expected.SosMessage[UnboundSlot].clear();
    expected.LowPowerAlarmVoltage = 3.5f;
    if (v.overspeedEnabled == 0) expected.OverspeedIndex = 0;

    AllPages pages;
    pages.exchange(model, PAGE_LOAD);
    pages.exchange(model, PAGE_SAVE);
    ExpectSameModel(model, expected);
    pages.exchange(model, PAGE_SAVE);
    ExpectSameModel(model, expected);
  }
}

}  // namespace
}  // namespace pelmora::test
