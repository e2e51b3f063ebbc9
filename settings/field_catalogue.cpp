#include "settings/field_catalogue.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <vector>

#include "settings/settings_elements.h"
#include "settings/utf.h"

namespace pelmora {
namespace {

using P = PageId;
using V = ValueKind;

constexpr std::array<std::u16string_view, kPageCount> kPageTitles{
    u"Sms Track", u"Key Binding", u"APN", u"AGPS", u"Transport", u"Misc",
};

constexpr std::u16string_view kTcpGroup = u"TCP  transport protocols  setting";
constexpr std::u16string_view kExtendedGroup = u"Extended settings";
constexpr std::uint16_t kKeyNumberLimit = 20;
constexpr std::uint16_t kKeyMessageLimit = 32;

// The fields of every page but Key Binding, whose rows follow the buttons.
const CatalogueEntry kPlainEntries[] = {
    {"SmsPassword", P::SmsTrack, {}, u"Password", V::Digits, {}, 6, 6},
    {"SmsReportInterval", P::SmsTrack, {}, u"SMS Report Interval", V::Number, u"min"},

    {"ApnName", P::Apn, {}, u"APN", V::Text, {}, 0, 90},
    {"ApnUser", P::Apn, {}, u"User Name", V::Text, {}, 0, 60},
    {"ApnPassword", P::Apn, {}, u"Password", V::Text, {}, 0, 60},
    {"PrimaryDns", P::Apn, {}, u"DNS", V::DottedAddress},
    {"SecondaryDns", P::Apn, {}, u"DNS second", V::DottedAddress},

    {"AgpsName", P::Agps, {}, u"Name", V::Text, {}, 0, 20},
    {"AgpsServerIp", P::Agps, {}, u"Server IP", V::DottedAddress},
    {"AgpsPort", P::Agps, {}, u"Port", V::Port},
    {"AgpsSmsNumber", P::Agps, {}, u"Sms Number", V::Text, {}, 0, 20},

    {"ServerIp", P::Transport, kTcpGroup, u"Server IP", V::DottedAddress},
    {"ServerPort", P::Transport, kTcpGroup, u"Port", V::Port},
    {"TrackerId", P::Transport, kTcpGroup, u"Tracker ID", V::Digits, {}, 1, 14},
    {"TcpReportInterval", P::Transport, kTcpGroup, u"Report Interval", V::Number, u"×10 s"},
    {"TcpTrackEnabled", P::Transport, kTcpGroup, u"Enable TCP Track", V::OnOff},

    {"TimeZoneMinutes", P::Misc, {}, u"Time Zone Setting", V::Choice, u"min", 0, 0, kTimeZoneChoices},
    {"OverspeedIndex", P::Misc, {}, u"Overspeed Alarm Setting", V::Choice, u"×10 km/h", 0, 0, kOverspeedChoices},
    {"OverspeedAlarmEnabled", P::Misc, u"Overspeed Alarm Setting", u"alarm on", V::OnOff},
    {"WiretapNumber", P::Misc, {}, u"Wiretap Number Setting", V::Text, {}, 0, 20},
    {"CallLocationReport", P::Misc, kExtendedGroup,
     u"Send an SMS location report to the authorised number when it calls the tracker.", V::OnOff},
    {"NmeaGprmcFormat", P::Misc, kExtendedGroup,
     u"Location data in NMEA 0183 GPRMC form instead of the default Navitel format.", V::OnOff},
    {"AutoHangUp", P::Misc, kExtendedGroup, u"Hang up an incoming call automatically after 4 to 5 rings.", V::OnOff},
    {"PowerOnSosSms", P::Misc, kExtendedGroup, u"Send an SMS to the SOS number when the tracker is switched on.",
     V::OnOff},
    {"LowVoltageShutdown", P::Misc, kExtendedGroup, u"Switch off automatically when the supply voltage is below 3.3 V.",
     V::OnOff},
    {"BlindAreaAlert", P::Misc, kExtendedGroup,
     u"Alert by SMS to the SOS number when the tracker enters an area of weak GPS signal.", V::OnOff},
    {"LedsOff", P::Misc, kExtendedGroup, u"Switch all LEDs off while the tracker works.", V::OnOff},
    {"LowPowerAlarmEnabled", P::Misc, kExtendedGroup, u"Alarm on low supply voltage.", V::OnOff},
};

constexpr std::array<std::u16string_view, 4> kButtonLabels{u"Button 1", u"Button 2", u"Button 3", u"Button SOS"};

struct Catalogue {
  std::deque<std::string> keys;  // the Key Binding rows' names; a deque keeps them in place
  std::vector<CatalogueEntry> entries;
};

// Key Binding's three columns, a row per button, each naming the slot the
// button owns (KeySlotMap).
void addKeyBinding(Catalogue& catalogue) {
  struct Column {
    std::u16string_view heading;
    const char* key;  // %d: the slot
    bool message;     // SosMessage's slot rather than KeySlot's
    std::uint16_t limit;
  };
  constexpr Column kColumns[] = {
      {u"Phone Number Binding", "KeySlot[%d].PhoneNumber", false, kKeyNumberLimit},
      {u"SMS  Number Binding", "KeySlot[%d].SmsNumber", false, kKeyNumberLimit},
      {u"SOS ShortMessage Content Setting", "SosMessage[%d]", true, kKeyMessageLimit},
  };
  for (const Column& column : kColumns) {
    for (std::size_t b = 0; b < KeySlotMap.size(); ++b) {
      const ButtonSlots& slots = KeySlotMap[b];
      std::string key(column.key);
      key.replace(key.find("%d"), 2, std::to_string(column.message ? slots.messageSlot : slots.keySlot));
      catalogue.keys.push_back(std::move(key));
      catalogue.entries.push_back({catalogue.keys.back(), P::KeyBinding, column.heading,
                                   kButtonLabels[static_cast<std::size_t>(slots.button)], V::Text, {}, 0,
                                   column.limit});
    }
  }
}

const Catalogue& catalogue() {
  static const Catalogue built = [] {
    Catalogue c;
    std::vector<CatalogueEntry> plain(std::begin(kPlainEntries), std::end(kPlainEntries));
    for (std::size_t page = 0; page < kPageCount; ++page) {
      if (static_cast<P>(page) == P::KeyBinding) addKeyBinding(c);
      for (const CatalogueEntry& entry : plain)
        if (entry.page == static_cast<P>(page)) c.entries.push_back(entry);
    }
    return c;
  }();
  return built;
}

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool allDigits(std::u16string_view text) { return std::all_of(text.begin(), text.end(), isDigit); }

// "a.b.c.d", each a number 0-255 of one to three digits.
bool isDottedAddress(std::u16string_view text) {
  int parts = 0;
  while (true) {
    const std::size_t dot = text.find(u'.');
    const std::u16string_view part = text.substr(0, dot);
    if (part.empty() || part.size() > 3 || !allDigits(part)) return false;
    int value = 0;
    for (const char16_t c : part) value = value * 10 + (c - u'0');
    if (value > 255) return false;
    ++parts;
    if (dot == std::u16string_view::npos) break;
    text.remove_prefix(dot + 1);
  }
  return parts == 4;
}

char16_t foldedUnit(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool sameIgnoringCaseAndBlanks(std::u16string_view a, std::u16string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (true) {
    while (i < a.size() && a[i] == u' ') ++i;
    while (j < b.size() && b[j] == u' ') ++j;
    if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
    if (foldedUnit(a[i++]) != foldedUnit(b[j++])) return false;
  }
}

}  // namespace

std::u16string_view pageTitle(PageId page) { return kPageTitles[static_cast<std::size_t>(page)]; }

std::span<const CatalogueEntry> fieldCatalogue() { return catalogue().entries; }

const CatalogueEntry* catalogueEntry(std::string_view key) {
  for (const CatalogueEntry& entry : fieldCatalogue())
    if (entry.key == key) return &entry;
  return nullptr;
}

std::u16string fullLabel(const CatalogueEntry& entry) {
  std::u16string label(entry.label);
  if (!entry.heading.empty()) label += u" (" + std::u16string(entry.heading) + u")";
  return label;
}

namespace {

// Every pattern below, in the order they appear: the fronts translate each.
constexpr std::string_view kCharacters = "at most %1 characters";
constexpr std::string_view kExactDigits = "exactly %1 digits";
constexpr std::string_view kDigitRange = "%1 to %2 digits";
constexpr std::string_view kAddress = "four numbers 0-255 separated by dots, or empty";
constexpr std::string_view kPortRule = "a port 1-65535, or empty";
constexpr std::string_view kChoiceRule = "one of the chooser's items, %1 to %2";
constexpr std::string_view kOnOffRule = "0 (off) or 1 (on)";
constexpr std::string_view kNumberRule = "a whole number 0-4294967295";
constexpr std::string_view kHasCharacter = "has %1 character";
constexpr std::string_view kHasCharacters = "has %1 characters";
constexpr std::string_view kNotDigits = "holds more than digits";
constexpr std::string_view kHasDigit = "has %1 digit";
constexpr std::string_view kHasDigits = "has %1 digits";
constexpr std::string_view kNotAddress = "is not four numbers 0-255 separated by dots";
constexpr std::string_view kNotPort = "is not a port 1-65535";
constexpr std::string_view kNotNumber = "is not a number";
constexpr std::string_view kNoItem = "is none of the chooser's items";
constexpr std::string_view kNotOnOff = "is neither 0 nor 1";
constexpr std::string_view kOutOfRange = "is out of range";
constexpr std::string_view kNotText = "is not a text";
constexpr std::array kPatterns{kCharacters, kExactDigits, kDigitRange, kAddress, kPortRule, kChoiceRule, kOnOffRule,
                               kNumberRule, kHasCharacter, kHasCharacters, kNotDigits, kHasDigit, kHasDigits,
                               kNotAddress, kNotPort, kNotNumber, kNoItem, kNotOnOff, kOutOfRange, kNotText,
                               kBreachAndRule};

// "has 1 digit", "has 2 digits".
Wording counted(std::size_t n, std::string_view one, std::string_view many) {
  return {n == 1 ? one : many, {std::to_string(n), {}}};
}

Wording said(std::string_view pattern, std::string first = {}, std::string second = {}) {
  return {pattern, {std::move(first), std::move(second)}};
}

}  // namespace

std::string fillWording(std::string_view pattern, const std::array<std::string, 2>& args) {
  std::string text;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
      text += args[static_cast<std::size_t>(pattern[++i] - '1')];
    } else {
      text += pattern[i];
    }
  }
  return text;
}

std::string Wording::text() const { return fillWording(pattern, args); }

std::span<const std::string_view> wordingPatterns() { return kPatterns; }

Wording ruleWording(const CatalogueEntry& entry) {
  switch (entry.kind) {
    case V::Text:
      return said(kCharacters, std::to_string(entry.maxLength));
    case V::Digits:
      if (entry.minLength == entry.maxLength) return said(kExactDigits, std::to_string(entry.maxLength));
      return said(kDigitRange, std::to_string(entry.minLength), std::to_string(entry.maxLength));
    case V::DottedAddress:
      return said(kAddress);
    case V::Port:
      return said(kPortRule);
    case V::Choice: {
      // The chooser's ends, each as a file writes it and as the window shows it.
      const auto item = [&](std::size_t i) {
        return std::to_string(entry.choices[i].value) + " \"" + utf8FromUtf16(entry.choices[i].text) + "\"";
      };
      return said(kChoiceRule, item(0), item(entry.choices.size() - 1));
    }
    case V::OnOff:
      return said(kOnOffRule);
    case V::Number:
      return said(kNumberRule);
  }
  return {};
}

std::optional<Wording> textBreachWording(const CatalogueEntry& entry, std::u16string_view text) {
  switch (entry.kind) {
    case V::Text:
      if (text.size() > entry.maxLength) return counted(text.size(), kHasCharacter, kHasCharacters);
      return std::nullopt;
    case V::Digits:
      if (!allDigits(text)) return said(kNotDigits);
      if (text.size() < entry.minLength || text.size() > entry.maxLength)
        return counted(text.size(), kHasDigit, kHasDigits);
      return std::nullopt;
    case V::DottedAddress:
      if (text.empty() || isDottedAddress(text)) return std::nullopt;
      return said(kNotAddress);
    case V::Port: {
      if (text.empty()) return std::nullopt;
      if (!allDigits(text)) return said(kNotDigits);
      const std::size_t significant = text.size() - std::min(text.find_first_not_of(u'0'), text.size());
      std::uint32_t value = 0;
      if (significant <= 5)
        for (const char16_t c : text) value = value * 10 + static_cast<std::uint32_t>(c - u'0');
      if (significant > 5 || value == 0 || value > 65535) return said(kNotPort);
      return std::nullopt;
    }
    case V::Choice:
    case V::OnOff:
    case V::Number:
      break;
  }
  return said(kNotNumber);
}

std::optional<Wording> numberBreachWording(const CatalogueEntry& entry, std::int64_t value) {
  switch (entry.kind) {
    case V::Choice:
      if (choiceOf(entry, value) != nullptr) return std::nullopt;
      return said(kNoItem);
    case V::OnOff:
      if (value == 0 || value == 1) return std::nullopt;
      return said(kNotOnOff);
    case V::Number:
      if (value >= 0 && value <= std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
      return said(kOutOfRange);
    case V::Text:
    case V::Digits:
    case V::DottedAddress:
    case V::Port:
      break;
  }
  return said(kNotText);
}

std::optional<Wording> modelBreachWording(const CatalogueEntry& entry, const SettingsModel& model) {
  const int index = findElement(entry.key);
  if (index < 0) return std::nullopt;  // a drift the catalogue test reports
  const FieldElement& element = settingsElements()[static_cast<std::size_t>(index)];
  SettingsModel copy = model;  // locate() hands out a way to change the field; nothing here does
  const FieldRef ref = element.row->locate(copy, element.element);
  if (const auto* units = std::get_if<std::span<char16_t>>(&ref)) return textBreachWording(entry, units->data());
  if (const auto* u = std::get_if<std::uint32_t*>(&ref)) return numberBreachWording(entry, **u);
  if (const auto* i = std::get_if<std::int32_t*>(&ref)) return numberBreachWording(entry, **i);
  return std::nullopt;  // no entry is a float
}

std::string ruleText(const CatalogueEntry& entry) { return ruleWording(entry).text(); }

namespace {

std::optional<std::string> textOf(const std::optional<Wording>& wording) {
  if (!wording) return std::nullopt;
  return wording->text();
}

}  // namespace

std::optional<std::string> textBreach(const CatalogueEntry& entry, std::u16string_view text) {
  return textOf(textBreachWording(entry, text));
}

std::optional<std::string> numberBreach(const CatalogueEntry& entry, std::int64_t value) {
  return textOf(numberBreachWording(entry, value));
}

std::optional<std::string> modelBreach(const CatalogueEntry& entry, const SettingsModel& model) {
  return textOf(modelBreachWording(entry, model));
}

const ChoiceItem* choiceNamed(const CatalogueEntry& entry, std::u16string_view text) {
  for (const ChoiceItem& item : entry.choices)
    if (sameIgnoringCaseAndBlanks(item.text, text)) return &item;
  return nullptr;
}

const ChoiceItem* choiceOf(const CatalogueEntry& entry, std::int64_t value) {
  for (const ChoiceItem& item : entry.choices)
    if (item.value == value) return &item;
  return nullptr;
}

std::string valueInWords(const CatalogueEntry& entry, std::string_view jsonValue) {
  if (entry.kind != V::Choice && entry.kind != V::OnOff && entry.kind != V::Number) return std::string(jsonValue);
  std::int64_t value = 0;
  const bool negative = !jsonValue.empty() && jsonValue.front() == '-';
  const std::string_view digits = jsonValue.substr(negative ? 1 : 0);
  if (digits.empty() || digits.size() > 10 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::string(jsonValue);
  for (const char c : digits) value = value * 10 + (c - '0');
  if (negative) value = -value;
  switch (entry.kind) {
    case V::Choice:
      if (const ChoiceItem* item = choiceOf(entry, value)) return utf8FromUtf16(item->text);
      return std::string(jsonValue);
    case V::OnOff:
      return value == 0 ? "off" : value == 1 ? "on" : std::string(jsonValue);
    default:
      return std::string(jsonValue) + (entry.unit.empty() ? "" : " " + utf8FromUtf16(entry.unit));
  }
}

std::string breachLine(const CatalogueEntry& entry, std::string_view shownValue, std::string_view breach) {
  return std::string(entry.key) + " (" + utf8FromUtf16(pageTitle(entry.page)) + ", " + utf8FromUtf16(fullLabel(entry)) +
         ") is " + std::string(shownValue) + ": " + std::string(breach) + "; the rule is " + ruleText(entry);
}

}  // namespace pelmora
