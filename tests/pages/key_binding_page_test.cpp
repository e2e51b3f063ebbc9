#include "pages/key_binding_page.h"

#include <gtest/gtest.h>

#include <string>

#include "page_test_support.h"

namespace pelmora::test {
namespace {

using namespace key_binding;
using KeyBindingPage = PageTest<CDlgBtnBinding>;

TEST_F(KeyBindingPage, EachRowSavesIntoItsSlots) {
  struct Row {
    std::u16string button;
    int phone, sms, message;  // the row's edits
    int keySlot, messageSlot;
  };
  const Row rows[] = {
      {u"Button 1", IDC_PHONE_KEY1, IDC_SMS_KEY1, IDC_MESSAGE_KEY1, 3, 3},
      {u"Button 2", IDC_PHONE_KEY2, IDC_SMS_KEY2, IDC_MESSAGE_KEY2, 0, 1},
      {u"Button 3", IDC_PHONE_KEY3, IDC_SMS_KEY3, IDC_MESSAGE_KEY3, 1, 2},
      {u"Button SOS", IDC_PHONE_SOS, IDC_SMS_SOS, IDC_MESSAGE_SOS, 2, 0},
  };
  for (const Row& row : rows) {
    retype(row.phone, u"tel " + row.button);
    retype(row.sms, u"sms " + row.button);
    retype(row.message, u"text " + row.button);
  }
  save();
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.button));
    EXPECT_EQ(model.KeySlot[row.keySlot].PhoneNumber, u"tel " + row.button);
    EXPECT_EQ(model.KeySlot[row.keySlot].SmsNumber, u"sms " + row.button);
    EXPECT_EQ(model.SosMessage[row.messageSlot], u"text " + row.button);
  }
  // A load from other slots than these fails the all-pages round trip.
}

}  // namespace
}  // namespace pelmora::test
