#pragma once
// "Key Binding": for each of the tracker's buttons a phone number to call,
// a number to send an SMS to and the text of that SMS. The buttons map
// onto the model's slots through KeySlotMap; slot 4 has no button, and a
// save leaves it as the tracker sent it.

#include <array>

#include "pages/settings_page.h"

namespace pelmora {

namespace key_binding {
inline constexpr int IDD_KEY_BINDING = 132;
inline constexpr int IDC_PHONE_KEY1 = 1019;
inline constexpr int IDC_PHONE_KEY2 = 1020;
inline constexpr int IDC_PHONE_KEY3 = 1021;
inline constexpr int IDC_PHONE_SOS = 1022;
inline constexpr int IDC_SMS_KEY1 = 1023;
inline constexpr int IDC_SMS_KEY2 = 1024;
inline constexpr int IDC_SMS_KEY3 = 1025;
inline constexpr int IDC_SMS_SOS = 1014;
inline constexpr int IDC_MESSAGE_KEY1 = 1015;
inline constexpr int IDC_MESSAGE_KEY2 = 1016;
inline constexpr int IDC_MESSAGE_KEY3 = 1017;
inline constexpr int IDC_MESSAGE_SOS = 1018;

// One row of the page: a button and its three edits.
struct KeyBindingRow {
  TrackerButton button;
  int phoneEdit;    // "Phone Number Binding"
  int smsEdit;      // "SMS  Number Binding"
  int messageEdit;  // "SOS ShortMessage Content Setting"
};

inline constexpr std::array<KeyBindingRow, 4> KeyBindingRows{{
    {TrackerButton::Button1, IDC_PHONE_KEY1, IDC_SMS_KEY1, IDC_MESSAGE_KEY1},
    {TrackerButton::Button2, IDC_PHONE_KEY2, IDC_SMS_KEY2, IDC_MESSAGE_KEY2},
    {TrackerButton::Button3, IDC_PHONE_KEY3, IDC_SMS_KEY3, IDC_MESSAGE_KEY3},
    {TrackerButton::ButtonSos, IDC_PHONE_SOS, IDC_SMS_SOS, IDC_MESSAGE_SOS},
}};

// The slots each row's edits show follow KeySlotMap.
inline constexpr ShownField ShownFields[] = {
    {IDC_PHONE_KEY1, "KeySlot[3].PhoneNumber"}, {IDC_PHONE_KEY2, "KeySlot[0].PhoneNumber"},
    {IDC_PHONE_KEY3, "KeySlot[1].PhoneNumber"}, {IDC_PHONE_SOS, "KeySlot[2].PhoneNumber"},
    {IDC_SMS_KEY1, "KeySlot[3].SmsNumber"},     {IDC_SMS_KEY2, "KeySlot[0].SmsNumber"},
    {IDC_SMS_KEY3, "KeySlot[1].SmsNumber"},     {IDC_SMS_SOS, "KeySlot[2].SmsNumber"},
    {IDC_MESSAGE_KEY1, "SosMessage[3]"},        {IDC_MESSAGE_KEY2, "SosMessage[1]"},
    {IDC_MESSAGE_KEY3, "SosMessage[2]"},        {IDC_MESSAGE_SOS, "SosMessage[0]"},
};

const DialogTemplate& PageTemplate();
}  // namespace key_binding

class KeyBindingPage final : public SettingsPage {
 public:
  KeyBindingPage() : SettingsPage(key_binding::PageTemplate(), key_binding::ShownFields) {}
  void initialise(PageControls& controls) override;
  void exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) override;
};

}  // namespace pelmora
