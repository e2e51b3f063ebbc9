#include "pages/transport_page.h"

#include <gtest/gtest.h>

#include "page_test_support.h"

namespace pelmora::test {
namespace {

using namespace transport;
using TransportPage = PageTest<CDlgTransport>;

TEST_F(TransportPage, TcpTrackValueGoesBackUnchangedUnlessClicked) {
  // The box toggles itself, then the window passes the click on.
  const auto clickTrack = [this] {
    controls.click(IDC_TCP_TRACK);
    page.onCommand(controls, IDC_TCP_TRACK);
  };
  clickTrack();
  EXPECT_EQ(controls.text(IDC_TCP_TRACK_VALUE), u"1");
  save();
  EXPECT_EQ(model.TcpTrackEnabled, 1u);
  clickTrack();
  save();
  EXPECT_EQ(model.TcpTrackEnabled, 0u);
  page.onCommand(controls, IDC_HTTP_GROUP);  // other clicks do nothing
  EXPECT_EQ(controls.text(IDC_TCP_TRACK_VALUE), u"0");

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

}  // namespace
}  // namespace pelmora::test
