#pragma once
// "APN": the access point name, its user name and password, and two DNS
// servers as dotted text. "Port" is on the page but exchanged with nothing.

#include "pages/settings_page.h"

namespace pelmora {

namespace apn {
inline constexpr int IDD_APN = 130;
inline constexpr int IDC_APN_NAME = 1033;
inline constexpr int IDC_APN_USER = 1034;
inline constexpr int IDC_APN_PASSWORD = 1013;
inline constexpr int IDC_APN_DNS1 = 1011;  // IP-address field
inline constexpr int IDC_APN_DNS2 = 1012;  // IP-address field
inline constexpr int IDC_APN_PORT = 1027;  // in the template only

inline constexpr ShownField ShownFields[] = {
    {IDC_APN_NAME, "ApnName"},       {IDC_APN_USER, "ApnUser"},       {IDC_APN_PASSWORD, "ApnPassword"},
    {IDC_APN_DNS1, "PrimaryDns"},    {IDC_APN_DNS2, "SecondaryDns"},
};

const DialogTemplate& PageTemplate();
}  // namespace apn

class ApnPage final : public SettingsPage {
 public:
  ApnPage() : SettingsPage(apn::PageTemplate(), apn::ShownFields) {}
  void initialise(PageControls& controls) override;
  void exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) override;
};

}  // namespace pelmora
