#include "pages/apn_page.h"

#include <gtest/gtest.h>

#include <string>

#include "page_test_support.h"

namespace pelmora::test {
namespace {

using namespace apn;
using ApnPage = PageTest<CDLGAPN>;

TEST_F(ApnPage, TextsAndDnsAddressesTravelAsText) {
  const std::u16string name90 = std::u16string(89, u'a') + u"z";
  EXPECT_EQ(controls.type(IDC_APN_NAME, name90 + u"!"), 90u);
  EXPECT_EQ(controls.type(IDC_APN_USER, std::u16string(61, u'u')), 60u);
  EXPECT_EQ(controls.type(IDC_APN_PASSWORD, std::u16string(61, u'p')), 60u);
  controls.type(IDC_APN_DNS1, u"10.0.0.1");
  controls.type(IDC_APN_DNS2, u"192.168.100.254");
  save();
  EXPECT_EQ(model.ApnName, name90);
  EXPECT_EQ(model.ApnUser, std::u16string(60, u'u'));
  EXPECT_EQ(model.ApnPassword, std::u16string(60, u'p'));
  EXPECT_EQ(model.PrimaryDns, u"10.0.0.1");
  EXPECT_EQ(model.SecondaryDns, u"192.168.100.254");

  for (const int id : {IDC_APN_NAME, IDC_APN_DNS1, IDC_APN_DNS2}) controls.setText(id, u"");
  load();
  EXPECT_EQ(controls.text(IDC_APN_NAME), name90);
  EXPECT_EQ(controls.text(IDC_APN_DNS1), u"10.0.0.1");
  EXPECT_EQ(controls.text(IDC_APN_DNS2), u"192.168.100.254");

  // The whole 100 units of a model name are shown and go back.
  model.ApnName.assign(std::u16string(100, u'n'));
  load();
  save();
  EXPECT_EQ(model.ApnName, std::u16string(100, u'n'));
}

TEST_F(ApnPage, PortKeepsItsTextAndIsNeverStored) {
  EXPECT_EQ(controls.type(IDC_APN_PORT, u"80a80"), 4u);
  save();
  const SettingsModel withPort = model;
  controls.setText(IDC_APN_PORT, u"");
  save();
  ExpectSameModel(model, withPort);

  controls.setText(IDC_APN_PORT, u"8080");
  model.ApnName.assign(u"internet");
  load();
  EXPECT_EQ(controls.text(IDC_APN_PORT), u"8080");
}

}  // namespace
}  // namespace pelmora::test
