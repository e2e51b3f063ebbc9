#pragma once
// "Sms Track": the tracker's SMS password and the interval of its SMS
// position reports, in minutes.

#include "pages/settings_page.h"

namespace pelmora {

namespace sms_track {
inline constexpr int IDD_SMS_TRACK = 129;
inline constexpr int IDC_SMS_PASSWORD = 1013;
inline constexpr int IDC_SMS_INTERVAL = 1014;
inline constexpr int IDC_SMS_PHONE = 1015;  // shown and limited, exchanged with nothing

inline constexpr ShownField ShownFields[] = {
    {IDC_SMS_PASSWORD, "SmsPassword"},
    {IDC_SMS_INTERVAL, "SmsReportInterval"},
};

const DialogTemplate& PageTemplate();
}  // namespace sms_track

class SmsTrackPage final : public SettingsPage {
 public:
  SmsTrackPage() : SettingsPage(sms_track::PageTemplate(), sms_track::ShownFields) {}
  void initialise(PageControls& controls) override;
  void exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) override;
};

}  // namespace pelmora
