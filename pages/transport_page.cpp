#include "pages/transport_page.h"

#include "pages/page_exchange.h"

namespace pelmora {

using namespace transport;

namespace {

// The box is checked exactly when the value's text begins with "1".
void ShowTrackState(PageControls& controls) {
  const std::u16string value = controls.text(IDC_TCP_TRACK_VALUE);
  controls.setCheck(IDC_TCP_TRACK, !value.empty() && value.front() == u'1' ? 1 : 0);
}

}  // namespace

void OnTcpTrackClicked(PageControls& controls) {
  controls.setText(IDC_TCP_TRACK_VALUE, controls.checkState(IDC_TCP_TRACK) == 1 ? u"1" : u"0");
}

void TransportPage::initialise(PageControls& controls) {
  limitShownTexts(controls, ShownFields);
  controls.limitText(IDC_HTTP_DOMAIN, 32);
  // The port is stored as text: no more digits than the field holds.
  controls.limitText(IDC_TCP_PORT, static_cast<int>(decltype(SettingsModel::ServerPort)::capacity));
  controls.limitText(IDC_TCP_INTERVAL, kNumberEditLimit);
  controls.limitText(IDC_HTTP_INTERVAL, kNumberEditLimit);
  controls.limitText(IDC_TCP_TRACK_VALUE, kNumberEditLimit);
}

void TransportPage::exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) {
  ExchangeText(controls, IDC_HTTP_DOMAIN, model.HttpServerDomain, direction);
  ExchangeNumber(controls, IDC_HTTP_INTERVAL, model.HttpReportInterval, direction);
  ExchangeText(controls, IDC_TRACKER_ID, model.TrackerId, direction, kDefaultPasswordText);
  ExchangeText(controls, IDC_TCP_SERVER_IP, model.ServerIp, direction);
  ExchangeText(controls, IDC_TCP_PORT, model.ServerPort, direction);
  ExchangeNumber(controls, IDC_TCP_INTERVAL, model.TcpReportInterval, direction);
  ExchangeNumber(controls, IDC_TCP_TRACK_VALUE, model.TcpTrackEnabled, direction);
  ShowTrackState(controls);
}

void TransportPage::onCommand(PageControls& controls, int controlId) {
  if (controlId == IDC_TCP_TRACK) OnTcpTrackClicked(controls);
}

}  // namespace pelmora
