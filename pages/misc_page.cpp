#include "pages/misc_page.h"

#include <algorithm>
#include <cstddef>

#include "pages/page_exchange.h"

namespace pelmora {

using namespace misc;

namespace {

// A value that matches no item clears the selection, so that the next save
// sends it back as the tracker sent it; without a selection a save leaves
// the field alone.
void ExchangeTimeZone(PageControls& controls, SettingsModel& model, ExchangeDirection direction) {
  if (direction == PAGE_LOAD) {
    const auto match = std::find(TimeZoneOffsets.begin(), TimeZoneOffsets.end(), model.TimeZoneMinutes);
    controls.selectItem(IDC_TIME_ZONE,
                        match == TimeZoneOffsets.end() ? -1 : static_cast<int>(match - TimeZoneOffsets.begin()));
    return;
  }
  const int item = controls.selectedItem(IDC_TIME_ZONE);
  if (item >= 0 && item < static_cast<int>(TimeZoneOffsets.size()))
    model.TimeZoneMinutes = TimeZoneOffsets[static_cast<std::size_t>(item)];
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
// beyond the list, or no selection, leaves both fields as they came.
void ExchangeOverspeed(PageControls& controls, SettingsModel& model, ExchangeDirection direction) {
  constexpr auto kItems = static_cast<std::uint32_t>(OverspeedTexts.size());
  if (direction == PAGE_LOAD) {
    int item = 0;
    if (model.OverspeedAlarmEnabled != 0)
      item = model.OverspeedIndex < kItems ? static_cast<int>(model.OverspeedIndex) : -1;
    controls.selectItem(IDC_OVERSPEED, item);
    return;
  }
  const int item = controls.selectedItem(IDC_OVERSPEED);
  if (item < 0 || item >= static_cast<int>(kItems)) return;
  model.OverspeedIndex = static_cast<std::uint32_t>(item);
  model.OverspeedAlarmEnabled = item != 0 ? 1 : 0;
}

}  // namespace

void MiscPage::initialise(PageControls& controls) {
  for (const std::u16string_view text : TimeZoneTexts) controls.addString(IDC_TIME_ZONE, text);
  controls.selectItem(IDC_TIME_ZONE, kInitialTimeZone);
  for (const std::u16string_view text : OverspeedTexts) controls.addString(IDC_OVERSPEED, text);
  controls.limitText(IDC_WIRETAP_NUMBER, kWiretapLimit);
}

void MiscPage::exchange(PageControls& controls, SettingsModel& model, ExchangeDirection direction) {
  ExchangeTimeZone(controls, model, direction);
  ExchangeCheckBoxes(controls, model, direction, boxes_);
  ExchangeOverspeed(controls, model, direction);
  ExchangeText(controls, IDC_WIRETAP_NUMBER, model.WiretapNumber, direction);
}

}  // namespace pelmora
