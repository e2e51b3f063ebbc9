#pragma once
// "Misc": time zone, overspeed alarm, wiretap number and eight on/off
// features. The page is made from template 155 (Russian texts); the window
// shows its English twin 140 in English.

#include <array>
#include <cstdint>
#include <string_view>

#include "pages/settings_page.h"

namespace pelmora {

namespace misc {
inline constexpr int IDD_MISC = 155;
inline constexpr int IDD_MISC_EN = 140;
inline constexpr int IDC_TIME_ZONE = 1001;  // chooser
inline constexpr int IDC_OVERSPEED = 1038;  // chooser
inline constexpr int IDC_WIRETAP_NUMBER = 1035;
inline constexpr int IDC_CALL_LOCATION_REPORT = 1020;
inline constexpr int IDC_NMEA_GPRMC = 1026;
inline constexpr int IDC_AUTO_HANG_UP = 1021;
inline constexpr int IDC_POWER_ON_SOS_SMS = 1022;
inline constexpr int IDC_LOW_VOLTAGE_SHUTDOWN = 1025;
inline constexpr int IDC_BLIND_AREA_ALERT = 1023;
inline constexpr int IDC_LEDS_OFF = 1024;
inline constexpr int IDC_LOW_POWER_ALARM = 1027;

// Time-zone chooser: item i is TimeZoneTexts[i], offset TimeZoneOffsets[i].
inline constexpr std::array<std::u16string_view, 25> TimeZoneTexts{
    u"GMT-12", u"GMT-11", u"GMT-10", u"GMT-9", u"GMT-8", u"GMT-7", u"GMT-6", u"GMT-5", u"GMT-4",
    u"GMT-3",  u"GMT-2",  u"GMT-1",  u"UTC",   u"GMT+1", u"GMT+2", u"GMT+3", u"GMT+4", u"GMT+5",
    u"GMT+6",  u"GMT+7",  u"GMT+8",  u"GMT+9", u"GMT+10", u"GMT+11", u"GMT+12",
};
inline constexpr std::array<std::int32_t, 25> TimeZoneOffsets{
    -720, -660, -600, -540, -480, -420, -360, -300, -240, -180, -120, -60, 0,
    60,   120,  180,  240,  300,  360,  420,  480,  540,  600,  660,  720,
};
inline constexpr int kInitialTimeZone = 20;  // "GMT+8"

// Overspeed chooser: item n > 0 stands for n x 10 km/h.
inline constexpr std::array<std::u16string_view, 21> OverspeedTexts{
    u"Disable Overspeed Alarm",
    u"10Km/h",  u"20Km/h",  u"30Km/h",  u"40Km/h",  u"50Km/h",  u"60Km/h",  u"70Km/h",
    u"80Km/h",  u"90Km/h",  u"100Km/h", u"110Km/h", u"120Km/h", u"130Km/h", u"140Km/h",
    u"150Km/h", u"160Km/h", u"170Km/h", u"180Km/h", u"190Km/h", u"200Km/h",
};

inline constexpr int kWiretapLimit = 20;

// The check boxes in exchange order: seven features, then the low-power
// alarm.
struct MiscCheckBox {
  int id;
  std::uint32_t SettingsModel::*field;
};
inline constexpr std::array<MiscCheckBox, 8> MiscCheckBoxes{{
    {IDC_CALL_LOCATION_REPORT, &SettingsModel::CallLocationReport},
    {IDC_NMEA_GPRMC, &SettingsModel::NmeaGprmcFormat},
    {IDC_AUTO_HANG_UP, &SettingsModel::AutoHangUp},
    {IDC_POWER_ON_SOS_SMS, &SettingsModel::PowerOnSosSms},
    {IDC_LOW_VOLTAGE_SHUTDOWN, &SettingsModel::LowVoltageShutdown},
    {IDC_BLIND_AREA_ALERT, &SettingsModel::BlindAreaAlert},
    {IDC_LEDS_OFF, &SettingsModel::LedsOff},
    {IDC_LOW_POWER_ALARM, &SettingsModel::LowPowerAlarmEnabled},
}};

// What each check box last exchanged with the model: the value and the
// state the box showed for it. A box still in that state on save gives the
// value back as it was, so a value other than 0 or 1 survives unless the
// user changes the box.
struct CheckBoxMemory {
  struct Box {
    std::uint32_t value = 0;
    int shownState = -1;  // -1: nothing exchanged yet
  };
  std::array<Box, MiscCheckBoxes.size()> boxes{};
};

const DialogTemplate& PageTemplate();     // 155
const DialogTemplate& EnglishTemplate();  // 140
}  // namespace misc

class MiscPage final : public SettingsPage {
 public:
  MiscPage() : SettingsPage(misc::PageTemplate()) {}
  void initialise(PageControls& controls) override;
  void exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) override;

 private:
  misc::CheckBoxMemory boxes_;  // what each check box last exchanged
};

}  // namespace pelmora
