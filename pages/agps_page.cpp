#include "pages/agps_page.h"

#include "pages/page_exchange.h"

namespace pelmora {

using namespace agps;

void AgpsPage::initialise(PageControls& controls) {
  limitShownTexts(controls, ShownFields);
  // The port is stored as text: no more digits than the field holds.
  controls.limitText(IDC_AGPS_PORT, static_cast<int>(decltype(SettingsModel::AgpsPort)::capacity));
}

void AgpsPage::exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) {
  ExchangeText(controls, IDC_AGPS_NAME, model.AgpsName, direction);
  ExchangeText(controls, IDC_AGPS_SERVER_IP, model.AgpsServerIp, direction);
  ExchangeText(controls, IDC_AGPS_PORT, model.AgpsPort, direction);
  ExchangeText(controls, IDC_AGPS_SMS_NUMBER, model.AgpsSmsNumber, direction);
}

}  // namespace pelmora
