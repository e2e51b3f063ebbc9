#include "pages/agps_page.h"

#include <gtest/gtest.h>

#include <string>

#include "page_test_support.h"

namespace pelmora::test {
namespace {

using namespace agps;
using AgpsPage = PageTest<CDlgAgps>;

TEST_F(AgpsPage, PortIsStoredAsTheDigitsTyped) {
  retype(IDC_AGPS_PORT, u"0080");
  save();
  EXPECT_EQ(model.AgpsPort, u"0080");
  controls.setText(IDC_AGPS_PORT, u"");
  load();
  EXPECT_EQ(controls.text(IDC_AGPS_PORT), u"0080");

  retype(IDC_AGPS_PORT, u"");
  save();
  EXPECT_EQ(model.AgpsPort, u"");

  // No more digits than the field holds.
  EXPECT_EQ(retype(IDC_AGPS_PORT, std::u16string(30, u'7')), 22u);
  save();
  EXPECT_EQ(model.AgpsPort, std::u16string(22, u'7'));
}

TEST_F(AgpsPage, NameAddressAndNumberTravelAsText) {
  const std::u16string name20 = u"assistance-service-2";
  ASSERT_EQ(name20.size(), 20u);
  EXPECT_EQ(controls.type(IDC_AGPS_NAME, name20 + u"x"), 20u);
  EXPECT_EQ(controls.type(IDC_AGPS_SMS_NUMBER, u"+7 912 345 67 89 0123"), 20u);
  controls.type(IDC_AGPS_SERVER_IP, u"203.0.113.7");
  save();
  EXPECT_EQ(model.AgpsName, name20);
  EXPECT_EQ(model.AgpsSmsNumber, u"+7 912 345 67 89 012");
  EXPECT_EQ(model.AgpsServerIp, u"203.0.113.7");

  // A full-width model text is shown whole and goes back whole.
  model.AgpsName.assign(std::u16string(22, u'N'));
  load();
  EXPECT_EQ(controls.text(IDC_AGPS_NAME), std::u16string(22, u'N'));
  save();
  EXPECT_EQ(model.AgpsName, std::u16string(22, u'N'));
}

}  // namespace
}  // namespace pelmora::test
