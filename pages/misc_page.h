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

// The choosers' items are the catalogue's (kTimeZoneChoices, kOverspeedChoices);
// the overspeed chooser shows both the index and the alarm switch.
inline constexpr ShownField ShownFields[] = {
    {IDC_TIME_ZONE, "TimeZoneMinutes"},
    {IDC_OVERSPEED, "OverspeedIndex"},
    {IDC_OVERSPEED, "OverspeedAlarmEnabled"},
    {IDC_WIRETAP_NUMBER, "WiretapNumber"},
    {IDC_CALL_LOCATION_REPORT, "CallLocationReport"},
    {IDC_NMEA_GPRMC, "NmeaGprmcFormat"},
    {IDC_AUTO_HANG_UP, "AutoHangUp"},
    {IDC_POWER_ON_SOS_SMS, "PowerOnSosSms"},
    {IDC_LOW_VOLTAGE_SHUTDOWN, "LowVoltageShutdown"},
    {IDC_BLIND_AREA_ALERT, "BlindAreaAlert"},
    {IDC_LEDS_OFF, "LedsOff"},
    {IDC_LOW_POWER_ALARM, "LowPowerAlarmEnabled"},
};

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

// What the overspeed chooser last exchanged: an alarm switch other than 0
// or 1 (the tracker's own) goes back as it came while the chooser still
// shows the item it showed for it.
struct OverspeedMemory {
  std::uint32_t enabled = 0;
  int shownItem = -1;  // -1: nothing exchanged yet, or no selection
};

const DialogTemplate& PageTemplate();     // 155
const DialogTemplate& EnglishTemplate();  // 140
}  // namespace misc

class MiscPage final : public SettingsPage {
 public:
  MiscPage() : SettingsPage(misc::PageTemplate(), misc::ShownFields) {}
  void initialise(PageControls& controls) override;
  void exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) override;
  void peekSave(PageControls& controls, SettingsModel& model) override;

 private:
  misc::CheckBoxMemory boxes_;        // what each check box last exchanged
  misc::OverspeedMemory overspeed_;  // what the overspeed chooser last exchanged
};

}  // namespace pelmora
