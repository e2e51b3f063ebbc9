#include "pages/misc_page.h"

#include <algorithm>
#include <cstddef>

#include "pages/page_exchange.h"
#include "settings/field_catalogue.h"

namespace pelmora {

using namespace misc;

namespace {

// A value that matches no item clears the selection, so that the next save
// sends it back as the tracker sent it; without a selection a save leaves
// the field alone.
void ExchangeTimeZone(PageControls& controls, SettingsModel& model, ExchangeDirection direction) {
  if (direction == PAGE_LOAD) {
    const auto match = std::find_if(kTimeZoneChoices.begin(), kTimeZoneChoices.end(),
                                    [&model](const ChoiceItem& item) { return item.value == model.TimeZoneMinutes; });
    controls.selectItem(IDC_TIME_ZONE,
                        match == kTimeZoneChoices.end() ? -1 : static_cast<int>(match - kTimeZoneChoices.begin()));
    return;
  }
  const int item = controls.selectedItem(IDC_TIME_ZONE);
  if (item >= 0 && item < static_cast<int>(kTimeZoneChoices.size()))
    model.TimeZoneMinutes = kTimeZoneChoices[static_cast<std::size_t>(item)].value;
}

void ExchangeCheckBoxes(PageControls& controls, SettingsModel& model, ExchangeDirection direction,
                        CheckBoxMemory& memory) {
  for (std::size_t i = 0; i < MiscCheckBoxes.size(); ++i) {
    const MiscCheckBox& box = MiscCheckBoxes[i];
    std::uint32_t& field = model.*box.field;
    CheckBoxMemory::Box& last = memory.boxes[i];
    if (direction == PAGE_LOAD) {
      const int state = field != 0 ? 1 : 0;
      controls.setCheck(box.id, state);
      last = {field, state};
    } else {
      const int state = controls.checkState(box.id);
      field = state == last.shownState ? last.value : static_cast<std::uint32_t>(state);
      last = {field, state};
    }
  }
}

// An alarm that is off shows item 0 whatever the index holds. An index
// beyond the list, or no selection, leaves both fields as they came; so does
// the item shown for a switch other than 0 or 1.
void ExchangeOverspeed(PageControls& controls, SettingsModel& model, ExchangeDirection direction,
                       OverspeedMemory& memory) {
  constexpr auto kItems = static_cast<std::uint32_t>(kOverspeedChoices.size());
  if (direction == PAGE_LOAD) {
    int item = 0;
    if (model.OverspeedAlarmEnabled != 0)
      item = model.OverspeedIndex < kItems ? static_cast<int>(model.OverspeedIndex) : -1;
    controls.selectItem(IDC_OVERSPEED, item);
    memory = {model.OverspeedAlarmEnabled, item};
    return;
  }
  const int item = controls.selectedItem(IDC_OVERSPEED);
  if (item < 0 || item >= static_cast<int>(kItems)) return;
  if (item == memory.shownItem && memory.enabled > 1) return;
  model.OverspeedIndex = static_cast<std::uint32_t>(item);
  model.OverspeedAlarmEnabled = item != 0 ? 1 : 0;
  memory = {model.OverspeedAlarmEnabled, item};
}

}  // namespace

void MiscPage::initialise(PageControls& controls) {
  for (const ChoiceItem& item : kTimeZoneChoices) controls.addString(IDC_TIME_ZONE, item.text);
  controls.selectItem(IDC_TIME_ZONE, static_cast<int>(kInitialTimeZoneItem));
  for (const ChoiceItem& item : kOverspeedChoices) controls.addString(IDC_OVERSPEED, item.text);
  limitShownTexts(controls, ShownFields);
}

void MiscPage::exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) {
  ExchangeTimeZone(controls, model, direction);
  ExchangeCheckBoxes(controls, model, direction, boxes_);
  ExchangeOverspeed(controls, model, direction, overspeed_);
  ExchangeText(controls, IDC_WIRETAP_NUMBER, model.WiretapNumber, direction);
}

void MiscPage::peekSave(PageControls& controls, SettingsModel& model) {
  MiscPage scratch(*this);  // the memories change in the copy only
  scratch.exchange(controls, model, PAGE_SAVE);
}

}  // namespace pelmora
