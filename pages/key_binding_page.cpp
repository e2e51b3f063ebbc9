#include "pages/key_binding_page.h"

#include <algorithm>
#include <cstddef>

#include "pages/page_exchange.h"

namespace pelmora {

using namespace key_binding;

namespace {

const ButtonSlots& SlotsOf(TrackerButton button) {
  return *std::find_if(KeySlotMap.begin(), KeySlotMap.end(),
                       [button](const ButtonSlots& slots) { return slots.button == button; });
}

}  // namespace

void KeyBindingPage::initialise(PageControls& controls) {
  limitShownTexts(controls, ShownFields);
}

void KeyBindingPage::exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) {
  for (const KeyBindingRow& row : KeyBindingRows) {
    const ButtonSlots& slots = SlotsOf(row.button);
    KeySlotRecord& key = model.KeySlot[static_cast<std::size_t>(slots.keySlot)];
    ExchangeText(controls, row.phoneEdit, key.PhoneNumber, direction);
    ExchangeText(controls, row.smsEdit, key.SmsNumber, direction);
    ExchangeText(controls, row.messageEdit, model.SosMessage[static_cast<std::size_t>(slots.messageSlot)], direction);
  }
}

}  // namespace pelmora
