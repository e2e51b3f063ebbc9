// Each page's list of which control shows which catalogue field, against
// the catalogue, the page's template and the page's own exchange: every
// field a page shows has one entry, every entry is shown by one control of
// its page, and the labels the catalogue gives are the page's texts.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <variant>

#include "page_test_support.h"
#include "pages/agps_page.h"
#include "pages/apn_page.h"
#include "pages/key_binding_page.h"
#include "pages/misc_page.h"
#include "pages/sms_track_page.h"
#include "pages/transport_page.h"
#include "settings/field_catalogue.h"
#include "settings/settings_elements.h"

namespace pelmora::test {
namespace {

bool templateHasText(const DialogTemplate& dialog, std::u16string_view text) {
  for (const TemplateItem& item : dialog.items)
    if (item.text == text) return true;
  return false;
}

// Sets the element called `key` to a value of its own (`mark`) and says how
// the control showing it must read: as text, a selected item or a check.
struct Shown {
  std::u16string text;
  int item = -1;
  int check = -1;
};
Shown setMarked(SettingsModel& model, const CatalogueEntry& entry, int mark) {
  const FieldElement& element = settingsElements()[static_cast<std::size_t>(findElement(entry.key))];
  const FieldRef ref = element.row->locate(model, element.element);
  const std::string digits = std::to_string(100 + mark);
  if (const auto* units = std::get_if<std::span<char16_t>>(&ref)) {
    std::copy(digits.begin(), digits.end(), units->begin());
    return {std::u16string(digits.begin(), digits.end())};
  }
  const std::int64_t value = entry.kind == ValueKind::Choice  ? entry.choices[3].value
                             : entry.kind == ValueKind::OnOff ? 1
                                                              : 100 + mark;
  if (auto* const* u = std::get_if<std::uint32_t*>(&ref)) **u = static_cast<std::uint32_t>(value);
  if (auto* const* i = std::get_if<std::int32_t*>(&ref)) **i = static_cast<std::int32_t>(value);
  if (entry.kind == ValueKind::Choice) return {{}, 3};
  if (entry.kind == ValueKind::OnOff) return {{}, -1, 1};
  return {std::u16string(digits.begin(), digits.end())};
}

TEST(ShownFields, EachCatalogueEntryIsShownByOneControlOfItsPageUnderItsLabel) {
  SmsTrackPage sms;
  KeyBindingPage keys;
  ApnPage apn;
  AgpsPage agps;
  TransportPage transport;
  MiscPage misc;
  const struct {
    PageId id;
    SettingsPage& page;
    const DialogTemplate& english;  // where the labels are
  } pages[] = {
      {PageId::SmsTrack, sms, sms.dialogTemplate()},
      {PageId::KeyBinding, keys, keys.dialogTemplate()},
      {PageId::Apn, apn, apn.dialogTemplate()},
      {PageId::Agps, agps, agps.dialogTemplate()},
      {PageId::Transport, transport, transport.dialogTemplate()},
      {PageId::Misc, misc, misc::EnglishTemplate()},
  };
  std::map<std::string_view, int> shownCount;
  for (const auto& page : pages) {
    SCOPED_TRACE(std::string(pageTitle(page.id).begin(), pageTitle(page.id).end()));
    FakePageControls controls(page.page.dialogTemplate());
    page.page.initialise(controls);
    int mark = 0;
    for (const ShownField& field : page.page.shownFields()) {
      SCOPED_TRACE(std::string(field.key));
      const CatalogueEntry* entry = catalogueEntry(field.key);
      ASSERT_NE(entry, nullptr);
      EXPECT_EQ(entry->page, page.id);
      ASSERT_NE(page.page.dialogTemplate().find(field.control), nullptr);
      ++shownCount[field.key];
      // The label is the page's text; the alarm switch behind the overspeed
      // chooser has none of its own and stands under the chooser's label.
      EXPECT_TRUE(entry->heading.empty() || templateHasText(page.english, entry->heading));
      const bool underChooser = !entry->heading.empty() && catalogueEntry("OverspeedIndex")->label == entry->heading;
      EXPECT_TRUE(underChooser || templateHasText(page.english, entry->label));
      // The control shows that very field.
      if (underChooser) continue;
      SettingsModel model;
      model.OverspeedAlarmEnabled = 1;  // the chooser shows the index only while the alarm is on
      const Shown shown = setMarked(model, *entry, ++mark);
      page.page.exchange(controls, model, PAGE_LOAD);
      if (shown.item >= 0) {
        EXPECT_EQ(controls.selectedItem(field.control), shown.item);
      } else if (shown.check >= 0) {
        EXPECT_EQ(controls.checkState(field.control), shown.check);
      } else {
        EXPECT_EQ(controls.text(field.control), shown.text);
      }
    }
  }
  for (const CatalogueEntry& entry : fieldCatalogue()) EXPECT_EQ(shownCount[entry.key], 1) << entry.key;
}

}  // namespace
}  // namespace pelmora::test
