#include "pages/transport_page.h"

#include <gtest/gtest.h>

#include <string>

#include "page_test_support.h"

namespace pelmora::test {
namespace {

using namespace transport;

class TransportPage : public PageTest<CDlgTransport> {
 protected:
  // The box toggles itself, then the window passes the click on.
  void clickTrack() {
    controls.click(IDC_TCP_TRACK);
    page.onCommand(controls, IDC_TCP_TRACK);
  }
};

TEST_F(TransportPage, ClickingTcpTrackStoresOneOrZero) {
  clickTrack();
  EXPECT_EQ(controls.text(IDC_TCP_TRACK_VALUE), u"1");
  save();
  EXPECT_EQ(model.TcpTrackEnabled, 1u);
  clickTrack();
  save();
  EXPECT_EQ(model.TcpTrackEnabled, 0u);
  page.onCommand(controls, IDC_HTTP_GROUP);  // other clicks do nothing
  EXPECT_EQ(controls.text(IDC_TCP_TRACK_VALUE), u"0");
}

TEST_F(TransportPage, TcpTrackValueGoesBackUnchangedUnlessClicked) {
  for (const auto& [loaded, checked] : {std::pair{12u, 1}, {2u, 0}, {4294967295u, 0}}) {
    model.TcpTrackEnabled = loaded;
    load();
    EXPECT_EQ(controls.checkState(IDC_TCP_TRACK), checked) << loaded;
    save();
    EXPECT_EQ(model.TcpTrackEnabled, loaded);
  }
  model.TcpTrackEnabled = 12;
  load();
  clickTrack();
  save();
  EXPECT_EQ(model.TcpTrackEnabled, 0u);
}

TEST_F(TransportPage, TrackerIdPortAndIntervals) {
  save();
  EXPECT_EQ(model.TrackerId, u"482915");
  controls.setText(IDC_TRACKER_ID, u"");
  load();
  EXPECT_EQ(controls.text(IDC_TRACKER_ID), u"482915");

  EXPECT_EQ(retype(IDC_TRACKER_ID, u"123456789012345"), 14u);
  retype(IDC_TCP_INTERVAL, u"6");
  retype(IDC_TCP_PORT, u"05000");
  controls.type(IDC_TCP_SERVER_IP, u"198.51.100.20");
  save();
  EXPECT_EQ(model.TrackerId, u"12345678901234");
  EXPECT_EQ(model.TcpReportInterval, 6u);
  EXPECT_EQ(model.ServerPort, u"05000");
  EXPECT_EQ(model.ServerIp, u"198.51.100.20");

  retype(IDC_TCP_PORT, u"");
  save();
  EXPECT_EQ(model.ServerPort, u"");

  // The port takes what its field holds; an interval takes eleven digits.
  EXPECT_EQ(retype(IDC_TCP_PORT, std::u16string(30, u'1')), 22u);
  EXPECT_EQ(retype(IDC_TCP_INTERVAL, u"99999999999"), 11u);
  save();
  EXPECT_EQ(model.ServerPort, std::u16string(22, u'1'));
  EXPECT_EQ(model.TcpReportInterval, 2147483647u);
}

TEST_F(TransportPage, HiddenHttpFieldsRoundTrip) {
  model.HttpServerDomain.assign(u"reports.example.org/track/upload-01");  // cut to 32 by the model
  model.HttpReportInterval = 4294967290u;
  const SettingsModel before = model;
  load();
  EXPECT_EQ(controls.text(IDC_HTTP_INTERVAL), u"-6");
  // The user cannot reach them.
  EXPECT_EQ(controls.type(IDC_HTTP_DOMAIN, u"x"), 0u);
  EXPECT_EQ(controls.type(IDC_HTTP_INTERVAL, u"1"), 0u);
  save();
  EXPECT_EQ(model.HttpServerDomain, before.HttpServerDomain);
  EXPECT_EQ(model.HttpReportInterval, 4294967290u);
}

}  // namespace
}  // namespace pelmora::test
