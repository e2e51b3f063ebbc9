#include "pages/key_binding_page.h"

#include <gtest/gtest.h>

#include <string>

#include "page_test_support.h"

namespace pelmora::test {
namespace {

using namespace key_binding;
using KeyBindingPage = PageTest<CDlgBtnBinding>;

TEST_F(KeyBindingPage, EachRowLandsInItsSlotsAndComesBack) {
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
    for (const int id : {row.phone, row.sms, row.message}) controls.setText(id, u"");
  }
  load();
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.button));
    EXPECT_EQ(controls.text(row.phone), u"tel " + row.button);
    EXPECT_EQ(controls.text(row.sms), u"sms " + row.button);
    EXPECT_EQ(controls.text(row.message), u"text " + row.button);
  }
}

TEST_F(KeyBindingPage, SaveEmptiesTheUnboundSlotAndKeepsEveryWord) {
  for (std::uint32_t i = 0; i < 5; ++i) {
    model.KeySlot[i].Word = 0xA0 + i;
    model.KeySlot[i].PhoneNumber.assign(u"0123456789");
    model.KeySlot[i].SmsNumber.assign(u"9876543210");
    model.SosMessage[i].assign(u"message");
  }
  load();
  save();
  for (std::uint32_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(model.KeySlot[i].Word, 0xA0 + i);
    EXPECT_EQ(model.KeySlot[i].PhoneNumber, i == 4 ? u"" : u"0123456789");
    EXPECT_EQ(model.KeySlot[i].SmsNumber, i == 4 ? u"" : u"9876543210");
    EXPECT_EQ(model.SosMessage[i], i == 4 ? u"" : u"message");
  }
}

TEST_F(KeyBindingPage, NumbersTakeTwentyCharactersAndMessagesThirtyTwo) {
  const std::u16string number20 = u"+4917012345678901234";
  const std::u16string message32 = u"Help! I am at the usual place 32";
  EXPECT_EQ(controls.type(IDC_SMS_KEY1, number20 + u"5"), 20u);
  EXPECT_EQ(controls.type(IDC_MESSAGE_KEY3, message32 + u"!"), 32u);
  save();
  EXPECT_EQ(model.KeySlot[3].SmsNumber, number20);
  EXPECT_EQ(model.SosMessage[2], message32);
}

}  // namespace
}  // namespace pelmora::test
