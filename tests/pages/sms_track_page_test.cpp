#include "pages/sms_track_page.h"

#include <gtest/gtest.h>

#include "page_test_support.h"

namespace pelmora::test {
namespace {

using namespace sms_track;
using SmsTrackPage = PageTest<CDlgSMSTrack>;

TEST_F(SmsTrackPage, PasswordTakesSixDigitsAndSavesTheDefaultWhenEmpty) {
  save();
  EXPECT_EQ(model.SmsPassword, u"482915");
  controls.setText(IDC_SMS_PASSWORD, u"something else");
  load();
  EXPECT_EQ(controls.text(IDC_SMS_PASSWORD), u"482915");

  EXPECT_EQ(retype(IDC_SMS_PASSWORD, u"12a3456789"), 6u);
  EXPECT_EQ(controls.text(IDC_SMS_PASSWORD), u"123456");
  save();
  EXPECT_EQ(model.SmsPassword, u"123456");

  // A model text is shown whole, beyond the limit and with non-digits.
  model.SmsPassword.assign(u"pw34567890");
  load();
  EXPECT_EQ(controls.text(IDC_SMS_PASSWORD), u"pw34567890");
  save();
  EXPECT_EQ(model.SmsPassword, u"pw34567890");
}

TEST_F(SmsTrackPage, IntervalIsSavedAsItsNumberAndShownSigned) {
  retype(IDC_SMS_INTERVAL, u"007");
  save();
  EXPECT_EQ(model.SmsReportInterval, 7u);
  load();
  EXPECT_EQ(controls.text(IDC_SMS_INTERVAL), u"7");

  retype(IDC_SMS_INTERVAL, u"");
  save();
  EXPECT_EQ(model.SmsReportInterval, 0u);
  load();
  EXPECT_EQ(controls.text(IDC_SMS_INTERVAL), u"0");

  EXPECT_EQ(retype(IDC_SMS_INTERVAL, u"99999999999"), 11u);
  save();
  EXPECT_EQ(model.SmsReportInterval, 2147483647u);

  model.SmsReportInterval = 4294967295u;
  load();
  EXPECT_EQ(controls.text(IDC_SMS_INTERVAL), u"-1");
  save();
  EXPECT_EQ(model.SmsReportInterval, 4294967295u);
}

TEST_F(SmsTrackPage, PhoneNumberKeepsItsTextAndNeverReachesTheModel) {
  EXPECT_EQ(controls.type(IDC_SMS_PHONE, u"+49 170 1234567 890 12"), 20u);
  save();
  const SettingsModel withPhone = model;
  controls.setText(IDC_SMS_PHONE, u"");
  save();
  ExpectSameModel(model, withPhone);

  controls.setText(IDC_SMS_PHONE, u"5551234");
  load();
  EXPECT_EQ(controls.text(IDC_SMS_PHONE), u"5551234");
}

}  // namespace
}  // namespace pelmora::test
