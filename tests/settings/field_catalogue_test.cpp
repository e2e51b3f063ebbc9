// The field catalogue's rules, each with a value just inside and just
// outside it, as the window tells them: "(Size is 6)", digits-only edits and
// their limits, the address control's four numbers, a port, the choosers.

#include "settings/field_catalogue.h"

#include <gtest/gtest.h>

#include <set>

#include "settings/settings_elements.h"

namespace pelmora {
namespace {

TEST(FieldCatalogue, EachRuleTakesTheValueJustInsideAndRefusesTheOneJustOutside) {
  struct Case {
    const char* key;
    std::u16string_view text;  // for the kinds that hold text
    std::int64_t number;       // for the others
    bool keeps;
  };
  const Case cases[] = {
      {"SmsPassword", u"482915", 0, true},
      {"SmsPassword", u"12", 0, false},
      {"SmsPassword", u"48291", 0, false},
      {"SmsPassword", u"4829150", 0, false},
      {"SmsPassword", u"48291a", 0, false},
      {"TrackerId", u"1", 0, true},
      {"TrackerId", u"12345678901234", 0, true},
      {"TrackerId", u"123456789012345", 0, false},
      {"TrackerId", u"", 0, false},
      {"TrackerId", u"12 34", 0, false},
      {"ServerIp", u"0.0.0.0", 0, true},
      {"ServerIp", u"255.255.255.255", 0, true},
      {"ServerIp", u"", 0, true},  // unset
      {"ServerIp", u"300.1.1.1", 0, false},
      {"ServerIp", u"256.1.1.1", 0, false},
      {"ServerIp", u"1.1.1", 0, false},
      {"ServerIp", u"1.1.1.1.1", 0, false},
      {"ServerIp", u"1..1.1", 0, false},
      {"ServerIp", u"example.com", 0, false},
      {"ServerPort", u"1", 0, true},
      {"ServerPort", u"65535", 0, true},
      {"ServerPort", u"", 0, true},  // unset
      {"ServerPort", u"0", 0, false},
      {"ServerPort", u"65536", 0, false},
      {"ServerPort", u"999999999999", 0, false},
      {"AgpsPort", u"80x", 0, false},
      {"WiretapNumber", u"12345678901234567890", 0, true},
      {"WiretapNumber", u"123456789012345678901", 0, false},
      {"ApnName", std::u16string_view(u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"), 0,
       true},  // 90
      {"SosMessage[3]", u"12345678901234567890123456789012", 0, true},
      {"SosMessage[3]", u"123456789012345678901234567890123", 0, false},
      {"TimeZoneMinutes", {}, 480, true},
      {"TimeZoneMinutes", {}, 481, false},
      {"TimeZoneMinutes", {}, 720, true},
      {"TimeZoneMinutes", {}, 780, false},
      {"OverspeedIndex", {}, 20, true},
      {"OverspeedIndex", {}, 21, false},
      {"TcpTrackEnabled", {}, 1, true},
      {"TcpTrackEnabled", {}, 2, false},
      {"SmsReportInterval", {}, 4294967295, true},
      {"SmsReportInterval", {}, 4294967296, false},
  };
  for (const Case& c : cases) {
    const CatalogueEntry* entry = catalogueEntry(c.key);
    ASSERT_NE(entry, nullptr) << c.key;
    const bool text = entry->kind == ValueKind::Text || entry->kind == ValueKind::Digits ||
                      entry->kind == ValueKind::DottedAddress || entry->kind == ValueKind::Port;
    const std::optional<std::string> breach = text ? textBreach(*entry, c.text) : numberBreach(*entry, c.number);
    EXPECT_EQ(!breach.has_value(), c.keeps) << c.key << " " << c.number << " " << breach.value_or("");
  }
}

// What the rules say, as the window says it, and the one line a refusal prints.
TEST(FieldCatalogue, RulesAndBreachesAreSaidInWords) {
  const CatalogueEntry& password = *catalogueEntry("SmsPassword");
  EXPECT_EQ(ruleText(password), "exactly 6 digits");
  EXPECT_EQ(ruleText(*catalogueEntry("TrackerId")), "1 to 14 digits");
  EXPECT_EQ(breachLine(password, "\"12\"", *textBreach(password, u"12")),
            "SmsPassword (Sms Track, Password) is \"12\": has 2 digits; the rule is exactly 6 digits");
  const struct {
    const char* key;
    std::string_view json;
    std::string_view words;
  } shown[] = {
      {"OverspeedIndex", "8", "80Km/h"},       {"OverspeedIndex", "21", "21"},
      {"TimeZoneMinutes", "-60", "GMT-1"},     {"TcpTrackEnabled", "1", "on"},
      {"TcpTrackEnabled", "2", "2"},           {"SmsReportInterval", "30", "30 min"},
      {"TcpReportInterval", "6", "6 ×10 s"},   {"SmsPassword", "\"482915\"", "\"482915\""},
      {"LedsOff", "(not set)", "(not set)"},
  };
  for (const auto& row : shown) EXPECT_EQ(valueInWords(*catalogueEntry(row.key), row.json), row.words) << row.key;
  const CatalogueEntry& button1 = *catalogueEntry("KeySlot[3].PhoneNumber");
  EXPECT_EQ(fullLabel(button1), u"Button 1 (Phone Number Binding)");
  EXPECT_EQ(button1.page, PageId::KeyBinding);
}

// Key Binding's rows name the slots the buttons own: Button 1 is key slot 3
// and message 3, the SOS button key slot 2 and message 0.
TEST(FieldCatalogue, ButtonsNameTheirOwnSlots) {
  const struct {
    const char* key;
    std::u16string_view label;
  } rows[] = {
      {"KeySlot[3].PhoneNumber", u"Button 1"}, {"KeySlot[0].PhoneNumber", u"Button 2"},
      {"KeySlot[1].SmsNumber", u"Button 3"},   {"KeySlot[2].SmsNumber", u"Button SOS"},
      {"SosMessage[3]", u"Button 1"},          {"SosMessage[0]", u"Button SOS"},
  };
  for (const auto& row : rows) {
    const CatalogueEntry* entry = catalogueEntry(row.key);
    ASSERT_NE(entry, nullptr) << row.key;
    EXPECT_EQ(entry->label, row.label) << row.key;
  }
  EXPECT_EQ(catalogueEntry("KeySlot[4].PhoneNumber"), nullptr);  // no button owns slot 4
}

// Choices are found by their text as people write it.
TEST(FieldCatalogue, ChoicesAreFoundByTheirTextIgnoringCaseAndBlanks) {
  const CatalogueEntry& overspeed = *catalogueEntry("OverspeedIndex");
  const struct {
    std::u16string_view text;
    std::optional<std::int32_t> value;
  } cases[] = {{u"80 km/h", 8}, {u"80Km/h", 8}, {u"200 KM/H", 20}, {u"85 km/h", std::nullopt}, {u"", std::nullopt}};
  for (const auto& c : cases) {
    const ChoiceItem* item = choiceNamed(overspeed, c.text);
    EXPECT_EQ(item == nullptr ? std::nullopt : std::optional<std::int32_t>(item->value), c.value);
  }
  const ChoiceItem* gmt8 = choiceNamed(*catalogueEntry("TimeZoneMinutes"), u"gmt+8");
  ASSERT_NE(gmt8, nullptr);
  EXPECT_EQ(gmt8->value, 480);
}

// Every key names one element of the field table, once, and none of the
// tracker's identity.
TEST(FieldCatalogue, KeysAreElementsOfTheFieldTableOnce) {
  std::set<std::string_view> seen;
  for (const CatalogueEntry& entry : fieldCatalogue()) {
    EXPECT_TRUE(seen.insert(entry.key).second) << entry.key;
    const int index = findElement(entry.key);
    ASSERT_GE(index, 0) << entry.key;
    EXPECT_FALSE(settingsElements()[static_cast<std::size_t>(index)].row->flags & kIdentityField) << entry.key;
  }
}

}  // namespace
}  // namespace pelmora
