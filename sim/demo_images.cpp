#include "sim/demo_images.h"

#include <cstddef>
#include <fstream>
#include <iterator>
#include <string_view>
#include <utility>

#include "settings/settings_layout.h"

namespace pelmora::sim {
namespace {

constexpr std::size_t kMaxReplyImageSize = 4096 - 17;

void keySlot(KeySlotRecord& slot, std::uint32_t word, std::u16string_view sms, std::u16string_view phone) {
  slot.Word = word;
  slot.SmsNumber.assign(sms);
  slot.PhoneNumber.assign(phone);
}

// Slot 4 of the key bindings and messages stays empty (no button edits it);
// Opaque13[4] is set in the Extended image only.
SettingsModel demoModel() {
  SettingsModel m;
  m.SmsPassword.assign(u"123456");
  m.SmsReportInterval = 30;  // minutes
  m.Opaque1.assign(u"opaque-1");
  keySlot(m.KeySlot[0], 0xA0000001, u"+15550100002", u"+15550100102");  // Button 2
  keySlot(m.KeySlot[1], 0xA0000002, u"+15550100003", u"+15550100103");  // Button 3
  keySlot(m.KeySlot[2], 0xA0000003, u"+15550100911", u"+15550100119");  // Button SOS
  keySlot(m.KeySlot[3], 0xA0000004, u"+15550100001", u"+15550100101");  // Button 1
  m.KeySlot[4].Word = 0xA0000005;
  m.LowPowerAlarmEnabled = 1;
  m.LowPowerAlarmVoltage = 3.5f;
  m.OverspeedAlarmEnabled = 1;
  m.OverspeedIndex = 8;  // 80 km/h
  m.Opaque2 = {0xB0000001, 0xB0000002, 0xB0000003};
  m.Opaque3.assign(u"opaque-3 carried as it came");
  m.Opaque4 = 0xB0000004;
  m.Opaque5.assign(u"opaque-5 carried as it came");
  m.CallLocationReport = 1;
  m.NmeaGprmcFormat = 0;
  m.AutoHangUp = 1;
  m.PowerOnSosSms = 1;
  m.LowVoltageShutdown = 0;
  m.BlindAreaAlert = 1;
  m.LedsOff = 0;
  m.Opaque6 = 0xB0000006;
  m.Opaque7.assign(u"opaque-7");
  m.TrackerId.assign(u"35900012345678");
  m.ApnName.assign(u"internet.demo-carrier.example");
  m.ApnUser.assign(u"demo");
  m.ApnPassword.assign(u"demo-pass");
  m.PrimaryDns.assign(u"8.8.8.8");
  m.SecondaryDns.assign(u"8.8.4.4");
  m.ServerIp.assign(u"203.0.113.10");
  m.ServerPort.assign(u"5013");
  m.TcpReportInterval = 6;  // x 10 s
  m.TcpTrackEnabled = 1;
  for (std::size_t i = 0; i < m.Opaque8.size(); ++i) m.Opaque8[i] = 0xB8000000 + static_cast<std::uint32_t>(i);
  m.WiretapNumber.assign(u"+15550100999");
  m.TimeZoneMinutes = 180;  // GMT+3
  m.HttpReportInterval = 12;  // x 10 s
  m.Opaque9 = 0xB0000009;
  m.SosMessage[0].assign(u"SOS! Please call me back.");  // Button SOS
  m.SosMessage[1].assign(u"Button 2: all is well.");
  m.SosMessage[2].assign(u"Button 3: running late.");
  m.SosMessage[3].assign(u"Button 1: pick me up.");
  m.Opaque10.assign(u"opaque-10");
  m.Opaque11[0].assign(u"opaque-11a");
  m.Opaque11[1].assign(u"opaque-11b");
  m.Opaque11[2].assign(u"opaque-11c");
  m.AgpsName.assign(u"demo-agps");
  m.AgpsServerIp.assign(u"198.51.100.7");
  m.AgpsPort.assign(u"46434");
  m.AgpsSmsNumber.assign(u"+15550100777");
  for (std::size_t i = 0; i < m.Opaque12.size(); ++i) m.Opaque12[i] = 0xBC000000 + static_cast<std::uint32_t>(i);
  m.Opaque13[0].assign(u"opaque-13a");
  m.Opaque13[1].assign(u"opaque-13b");
  m.Opaque13[2].assign(u"opaque-13c");
  m.Opaque13[3].assign(u"opaque-13d");
  m.HttpServerDomain.assign(u"track.demo.example");
  return m;
}

}  // namespace

std::vector<std::uint8_t> basicDemoImage() { return imageOfModel(demoModel(), Layout::Basic); }

std::vector<std::uint8_t> extendedDemoImage() {
  SettingsModel model = demoModel();
  model.Opaque13[4].assign(u"opaque-13e");
  model.RomVersion.assign(u"PLM-DEMO 1.0.3 build 2026-11-30");
  model.Imei.assign(u"490154203237518");
  return imageOfModel(model, Layout::Extended);
}

bool loadImageFile(const std::string& path, std::vector<std::uint8_t>& image) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad() || bytes.empty() || bytes.size() > kMaxReplyImageSize) return false;
  image = std::move(bytes);
  return true;
}

bool saveImageFile(const std::string& path, const std::vector<std::uint8_t>& image) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  return static_cast<bool>(file.flush());
}

}  // namespace pelmora::sim
