#pragma once
// Every field a person sets, as the window shows it: its page, its label,
// what kind of value it holds, its unit and its rule, and for a choice its
// items. The window's limits and choosers, settings files, profiles, the
// command line's `fields`, `diff` and dry runs all read this one table; the
// field table beside it says where the bytes are, this one what they mean
// to a person.
//
// The rules are what the window itself tells the user, nothing more: an
// edit that takes digits only, its typing limit, "(Size is 6)", an address
// control's four numbers, a chooser's items.
//
// Labels are the window's English texts; the Russian ones come from the
// window's translations (pages/ and app/ show them).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "settings/settings_model.h"

namespace pelmora {

// The six pages, in the window's tab order.
enum class PageId : std::uint8_t { SmsTrack, KeyBinding, Apn, Agps, Transport, Misc };
inline constexpr std::size_t kPageCount = 6;
// The tab's title: "Sms Track", "Key Binding", "APN", "AGPS", "Transport", "Misc".
std::u16string_view pageTitle(PageId page);

enum class ValueKind : std::uint8_t {
  Text,           // any characters, up to maxLength
  Digits,         // 0-9 only, minLength..maxLength of them
  DottedAddress,  // four numbers 0-255 separated by dots, or empty (unset)
  Port,           // 1-65535 as digits, or empty (unset)
  Choice,         // one of `choices`' values
  OnOff,          // 0 or 1
  Number,         // a whole number the field can hold (0-4294967295), with a unit
};

struct ChoiceItem {
  std::int32_t value;       // what the field holds
  std::u16string_view text;  // what the chooser shows
};

struct CatalogueEntry {
  std::string_view key;         // the element's name in files: "KeySlot[3].PhoneNumber"
  PageId page;
  std::u16string_view heading;  // the group the label sits under, "" when none: "Phone Number Binding"
  std::u16string_view label;    // the window's text beside the control: "Button 1"
  ValueKind kind;
  std::u16string_view unit{};   // "min", "×10 s"; "" when none
  std::uint16_t minLength = 0;  // Text and Digits, in characters
  std::uint16_t maxLength = 0;  // Text and Digits: the window's typing limit
  std::span<const ChoiceItem> choices{};
};

// Time-zone chooser: each item an offset in minutes.
inline constexpr std::array<ChoiceItem, 25> kTimeZoneChoices{{
    {-720, u"GMT-12"}, {-660, u"GMT-11"}, {-600, u"GMT-10"}, {-540, u"GMT-9"}, {-480, u"GMT-8"},
    {-420, u"GMT-7"},  {-360, u"GMT-6"},  {-300, u"GMT-5"},  {-240, u"GMT-4"}, {-180, u"GMT-3"},
    {-120, u"GMT-2"},  {-60, u"GMT-1"},   {0, u"UTC"},       {60, u"GMT+1"},   {120, u"GMT+2"},
    {180, u"GMT+3"},   {240, u"GMT+4"},   {300, u"GMT+5"},   {360, u"GMT+6"},  {420, u"GMT+7"},
    {480, u"GMT+8"},   {540, u"GMT+9"},   {600, u"GMT+10"},  {660, u"GMT+11"}, {720, u"GMT+12"},
}};
inline constexpr std::size_t kInitialTimeZoneItem = 20;  // "GMT+8"

// Overspeed chooser: item n > 0 stands for n x 10 km/h; item 0 turns the
// alarm off (OverspeedAlarmEnabled 0).
inline constexpr std::array<ChoiceItem, 21> kOverspeedChoices{{
    {0, u"Disable Overspeed Alarm"},
    {1, u"10Km/h"},   {2, u"20Km/h"},   {3, u"30Km/h"},   {4, u"40Km/h"},   {5, u"50Km/h"},   {6, u"60Km/h"},
    {7, u"70Km/h"},   {8, u"80Km/h"},   {9, u"90Km/h"},   {10, u"100Km/h"}, {11, u"110Km/h"}, {12, u"120Km/h"},
    {13, u"130Km/h"}, {14, u"140Km/h"}, {15, u"150Km/h"}, {16, u"160Km/h"}, {17, u"170Km/h"}, {18, u"180Km/h"},
    {19, u"190Km/h"}, {20, u"200Km/h"},
}};

// Every entry, page by page in tab order.
std::span<const CatalogueEntry> fieldCatalogue();
// The entry of the element called `key` ("TrackerId"), or nullptr for a
// field no page shows.
const CatalogueEntry* catalogueEntry(std::string_view key);

// "Button 1 (Phone Number Binding)", or the label alone.
std::u16string fullLabel(const CatalogueEntry& entry);
// The rule in words: "exactly 6 digits", "1 to 14 digits", "four numbers
// 0-255 separated by dots, or empty", "one of the chooser's items".
std::string ruleText(const CatalogueEntry& entry);

// Words with numbers in them: a pattern with %1 and %2 in it, and what goes
// there. text() is the English; a front in another language looks the
// pattern up in its translations (every pattern is in wordingPatterns()) and
// fills in the same arguments.
struct Wording {
  std::string_view pattern;  // "exactly %1 digits"
  std::array<std::string, 2> args{};
  std::string text() const;
};
std::string fillWording(std::string_view pattern, const std::array<std::string, 2>& args);
std::span<const std::string_view> wordingPatterns();

// The rule, and what breaks it, as wordings; the functions below give the same in English.
Wording ruleWording(const CatalogueEntry& entry);
std::optional<Wording> textBreachWording(const CatalogueEntry& entry, std::u16string_view text);
std::optional<Wording> numberBreachWording(const CatalogueEntry& entry, std::int64_t value);
std::optional<Wording> modelBreachWording(const CatalogueEntry& entry, const SettingsModel& model);
// A breach and its field's rule in one: "has 2 digits; the rule is exactly 6 digits".
inline constexpr std::string_view kBreachAndRule = "%1; the rule is %2";

// What is wrong with a value of the entry's element, in words ("has 2
// digits"), or nothing when it keeps the rule. Text kinds judge the text,
// the others the number.
std::optional<std::string> textBreach(const CatalogueEntry& entry, std::u16string_view text);
std::optional<std::string> numberBreach(const CatalogueEntry& entry, std::int64_t value);
// The same for the element's value in `model`.
std::optional<std::string> modelBreach(const CatalogueEntry& entry, const SettingsModel& model);

// The item whose text matches `text` ignoring case and blanks ("80 km/h" is
// "80Km/h"), or nullptr.
const ChoiceItem* choiceNamed(const CatalogueEntry& entry, std::u16string_view text);
// The item holding `value`, or nullptr.
const ChoiceItem* choiceOf(const CatalogueEntry& entry, std::int64_t value);

// A value as people read it, from the way a settings file writes it
// (`jsonValue`: 8, "482915", "(not set)"): a choice's item ("80Km/h"), "on"
// or "off", a number with its unit ("30 min"); texts and anything else as
// they came.
std::string valueInWords(const CatalogueEntry& entry, std::string_view jsonValue);

// One line for a breach, naming the field the way people read it:
// "SmsPassword (Sms Track, Password) is "12": has 2 digits; the rule is exactly 6 digits".
std::string breachLine(const CatalogueEntry& entry, std::string_view shownValue, std::string_view breach);

}  // namespace pelmora
