#include "pages/apn_page.h"

#include "pages/page_exchange.h"

namespace pelmora {

using namespace apn;

void ApnPage::initialise(PageControls& controls) {
  limitShownTexts(controls, ShownFields);
}

void ApnPage::exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) {
  ExchangeText(controls, IDC_APN_NAME, model.ApnName, direction);
  ExchangeText(controls, IDC_APN_USER, model.ApnUser, direction);
  ExchangeText(controls, IDC_APN_PASSWORD, model.ApnPassword, direction);
  ExchangeText(controls, IDC_APN_DNS1, model.PrimaryDns, direction);
  ExchangeText(controls, IDC_APN_DNS2, model.SecondaryDns, direction);
}

}  // namespace pelmora
