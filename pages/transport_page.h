#pragma once
// "Transport": TCP server address and port, tracker id, report interval and
// the TCP-track switch. The switch's value lives in a hidden edit; the
// check box only reflects it, so a value other than 0 or 1 goes back as it
// came unless the box is clicked. A hidden HTTP group carries its two
// fields through a read and a write.

#include "pages/settings_page.h"

namespace pelmora {

namespace transport {
inline constexpr int IDD_TRANSPORT = 138;
inline constexpr int IDC_TCP_SERVER_IP = 1026;  // IP-address field
inline constexpr int IDC_TCP_PORT = 1027;
inline constexpr int IDC_TRACKER_ID = 1028;
inline constexpr int IDC_TCP_INTERVAL = 1014;
inline constexpr int IDC_TCP_TRACK = 1031;
inline constexpr int IDC_TCP_TRACK_VALUE = 1032;  // hidden
inline constexpr int IDC_HTTP_GROUP = 1040;       // hidden, as the rest of the group
inline constexpr int IDC_HTTP_DOMAIN_LABEL = 1041;
inline constexpr int IDC_HTTP_DOMAIN = 1029;
inline constexpr int IDC_HTTP_INTERVAL_LABEL = 1042;
inline constexpr int IDC_HTTP_INTERVAL = 1030;
inline constexpr int IDC_HTTP_INTERVAL_UNIT = 1043;

// The switch is shown by its check box, whatever the hidden edit holds.
inline constexpr ShownField ShownFields[] = {
    {IDC_TCP_SERVER_IP, "ServerIp"},       {IDC_TCP_PORT, "ServerPort"},       {IDC_TRACKER_ID, "TrackerId"},
    {IDC_TCP_INTERVAL, "TcpReportInterval"}, {IDC_TCP_TRACK, "TcpTrackEnabled"},
};

const DialogTemplate& PageTemplate();
}  // namespace transport

// After the check box toggled itself: the hidden value becomes "1" or "0".
void OnTcpTrackClicked(PageControls& controls);

class TransportPage final : public SettingsPage {
 public:
  TransportPage() : SettingsPage(transport::PageTemplate(), transport::ShownFields) {}
  void initialise(PageControls& controls) override;
  void exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) override;
  void onCommand(PageControls& controls, int controlId) override;
};

}  // namespace pelmora
