#include "pages/sms_track_page.h"

#include "pages/page_exchange.h"

namespace pelmora {

using namespace sms_track;

void SmsTrackPage::initialise(PageControls& controls) {
  limitShownTexts(controls, ShownFields);
  controls.limitText(IDC_SMS_INTERVAL, kNumberEditLimit);
  controls.limitText(IDC_SMS_PHONE, 20);
}

void SmsTrackPage::exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) {
  ExchangeText(controls, IDC_SMS_PASSWORD, model.SmsPassword, direction, kDefaultPasswordText);
  ExchangeNumber(controls, IDC_SMS_INTERVAL, model.SmsReportInterval, direction);
}

}  // namespace pelmora
