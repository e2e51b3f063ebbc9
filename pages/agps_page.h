#pragma once
// "AGPS": the assisted-GPS service name, the address and port of its
// server, and an SMS number. The port travels as the digits typed.

#include "pages/settings_page.h"

namespace pelmora {

namespace agps {
inline constexpr int IDD_AGPS = 131;
inline constexpr int IDC_AGPS_NAME = 1007;
inline constexpr int IDC_AGPS_SERVER_IP = 1008;  // IP-address field
inline constexpr int IDC_AGPS_PORT = 1027;
inline constexpr int IDC_AGPS_SMS_NUMBER = 1010;

inline constexpr ShownField ShownFields[] = {
    {IDC_AGPS_NAME, "AgpsName"},
    {IDC_AGPS_SERVER_IP, "AgpsServerIp"},
    {IDC_AGPS_PORT, "AgpsPort"},
    {IDC_AGPS_SMS_NUMBER, "AgpsSmsNumber"},
};

const DialogTemplate& PageTemplate();
}  // namespace agps

class AgpsPage final : public SettingsPage {
 public:
  AgpsPage() : SettingsPage(agps::PageTemplate(), agps::ShownFields) {}
  void initialise(PageControls& controls) override;
  void exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) override;
};

}  // namespace pelmora
