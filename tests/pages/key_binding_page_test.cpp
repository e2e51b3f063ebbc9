#include "pages/key_binding_page.h"

#include <gtest/gtest.h>

#include <string>

#include "page_test_support.h"

namespace pelmora::test {
namespace {

using namespace key_binding;
using KeyBindingPage = PageTest<CDlgBtnBinding>;

TEST_F(KeyBindingPage, EachRowLandsInItsSlots) {
  retype(IDC_PHONE_KEY2, u"123");
  retype(IDC_MESSAGE_KEY2, u"help me");
  save();
  EXPECT_EQ(model.KeySlot[0].PhoneNumber, u"123");
  EXPECT_EQ(model.SosMessage[1], u"help me");

  // Every edit with a text of its own.
  retype(IDC_PHONE_KEY1, u"p1");
  retype(IDC_PHONE_KEY2, u"p2");
  retype(IDC_PHONE_KEY3, u"p3");
  retype(IDC_PHONE_SOS, u"ps");
  retype(IDC_SMS_KEY1, u"s1");
  retype(IDC_SMS_KEY2, u"s2");
  retype(IDC_SMS_KEY3, u"s3");
  retype(IDC_SMS_SOS, u"ss");
  retype(IDC_MESSAGE_KEY1, u"m1");
  retype(IDC_MESSAGE_KEY2, u"m2");
  retype(IDC_MESSAGE_KEY3, u"m3");
  retype(IDC_MESSAGE_SOS, u"ms");
  save();
  EXPECT_EQ(model.KeySlot[3].PhoneNumber, u"p1");
  EXPECT_EQ(model.KeySlot[0].PhoneNumber, u"p2");
  EXPECT_EQ(model.KeySlot[1].PhoneNumber, u"p3");
  EXPECT_EQ(model.KeySlot[2].PhoneNumber, u"ps");
  EXPECT_EQ(model.KeySlot[3].SmsNumber, u"s1");
  EXPECT_EQ(model.KeySlot[0].SmsNumber, u"s2");
  EXPECT_EQ(model.KeySlot[1].SmsNumber, u"s3");
  EXPECT_EQ(model.KeySlot[2].SmsNumber, u"ss");
  EXPECT_EQ(model.SosMessage[3], u"m1");
  EXPECT_EQ(model.SosMessage[1], u"m2");
  EXPECT_EQ(model.SosMessage[2], u"m3");
  EXPECT_EQ(model.SosMessage[0], u"ms");

  // And back: a load shows each slot in its row.
  for (const KeyBindingRow& row : KeyBindingRows) {
    controls.setText(row.phoneEdit, u"");
    controls.setText(row.smsEdit, u"");
    controls.setText(row.messageEdit, u"");
  }
  load();
  EXPECT_EQ(controls.text(IDC_PHONE_KEY1), u"p1");
  EXPECT_EQ(controls.text(IDC_SMS_KEY3), u"s3");
  EXPECT_EQ(controls.text(IDC_SMS_SOS), u"ss");
  EXPECT_EQ(controls.text(IDC_MESSAGE_SOS), u"ms");
  EXPECT_EQ(controls.text(IDC_MESSAGE_KEY2), u"m2");
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
  EXPECT_EQ(model.KeySlot[4].PhoneNumber, u"");
  EXPECT_EQ(model.KeySlot[4].SmsNumber, u"");
  EXPECT_EQ(model.SosMessage[4], u"");
  for (std::uint32_t i = 0; i < 5; ++i) EXPECT_EQ(model.KeySlot[i].Word, 0xA0 + i);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(model.KeySlot[i].PhoneNumber, u"0123456789");
    EXPECT_EQ(model.KeySlot[i].SmsNumber, u"9876543210");
    EXPECT_EQ(model.SosMessage[i], u"message");
  }
}

TEST_F(KeyBindingPage, NumbersTakeTwentyCharactersAndMessagesThirtyTwo) {
  const std::u16string number20 = u"+4917012345678901234";
  const std::u16string message32 = u"Help! I am at the usual place 32";
  ASSERT_EQ(number20.size(), 20u);
  ASSERT_EQ(message32.size(), 32u);
  EXPECT_EQ(controls.type(IDC_SMS_KEY1, number20 + u"5"), 20u);
  EXPECT_EQ(controls.type(IDC_MESSAGE_KEY3, message32 + u"!"), 32u);
  save();
  EXPECT_EQ(model.KeySlot[3].SmsNumber, number20);
  EXPECT_EQ(model.SosMessage[2], message32);
}

}  // namespace
}  // namespace pelmora::test
