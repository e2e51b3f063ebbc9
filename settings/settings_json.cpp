// The JSON form of a settings document.
//
// Numbers are JSON numbers and texts JSON strings. What a plain value
// cannot keep exactly is written as {"hex": "..."}: the field's bytes as
// the image holds them, two hex digits a byte. The writer uses that form
// for a text with anything after its first zero unit or with a lone
// surrogate, and for a float that is NaN or infinite. A finite float is
// written as the shortest decimal that reads back as the same float.

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "settings/echoed_value.h"
#include "settings/field_catalogue.h"
#include "settings/json_tree.h"
#include "settings/settings_file.h"
#include "settings/utf.h"

namespace pelmora {
namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kFormatKey = "pelmora-settings";
constexpr int kFormatVersion = 1;
// A settings file nests three deep (the file, "fields", {"hex": ...}).
constexpr std::size_t kMaxNesting = 16;

std::span<const std::uint8_t> elementBytes(const SettingsDocument& document, const FieldElement& e) {
  const Placement at = e.row->at(document.layout, e.element);
  return document.bytes().subspan(at.offset, at.bytes);
}

std::uint32_t loadWord(std::span<const std::uint8_t> bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t{bytes[3]} << 24;
}

void storeWord(std::span<std::uint8_t> bytes, std::uint32_t word) {
  for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(word >> (8 * i));
}

std::string hexOf(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const std::uint8_t b : bytes) {
    text.push_back(kDigits[b >> 4]);
    text.push_back(kDigits[b & 15]);
  }
  return text;
}

bool fromHex(std::string_view text, std::span<std::uint8_t> bytes) {
  const auto digit = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int high = digit(text[2 * i]), low = digit(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return true;
}

// The text as UTF-8 when a string keeps the field's bytes exactly: zeros
// after its first zero unit, and no lone surrogate.
std::optional<std::string> plainText(std::span<const std::uint8_t> bytes) {
  std::u16string units;
  for (std::size_t i = 0; i < bytes.size() / 2 && (bytes[2 * i] | bytes[2 * i + 1]) != 0; ++i)
    units.push_back(static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8));
  for (std::size_t b = 2 * units.size(); b < bytes.size(); ++b)
    if (bytes[b] != 0) return std::nullopt;
  if (!isWellFormedUtf16(units)) return std::nullopt;
  return utf8FromUtf16(units);
}

// The double whose shortest text is that of the float, so that the file
// shows 3.7 rather than 3.700000047683716.
double shortestDouble(float value) {
  std::array<char, 64> text{};
  const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
  double result = 0;
  std::from_chars(text.data(), end, result);
  return result;
}

// The float a written double came from; a hand-written one is rounded.
float floatOf(double value) {
  const float nearest = static_cast<float>(value);
  for (const float candidate : {nearest, std::nextafter(nearest, std::numeric_limits<float>::infinity()),
                                std::nextafter(nearest, -std::numeric_limits<float>::infinity())})
    if (shortestDouble(candidate) == value) return candidate;
  return nearest;
}

Json elementJson(const SettingsDocument& document, const FieldElement& e) {
  const std::span<const std::uint8_t> bytes = elementBytes(document, e);
  switch (e.row->kind) {
    case FieldKind::U32:
      return loadWord(bytes);
    case FieldKind::I32:
      return static_cast<std::int32_t>(loadWord(bytes));
    case FieldKind::F32: {
      const float value = std::bit_cast<float>(loadWord(bytes));
      if (std::isfinite(value)) return shortestDouble(value);
      break;
    }
    case FieldKind::Text:
      if (std::optional<std::string> text = plainText(bytes)) return *text;
      break;
  }
  return Json::object({{"hex", hexOf(bytes)}});
}

// A value as a message quotes it.
std::string shown(const Json& value) {
  return echoedValue(value.dump(-1, ' ', false, Json::error_handler_t::replace));
}

std::string aTypeName(const Json& value) {
  const std::string name = value.type_name();
  if (value.is_null()) return name;
  return (name[0] == 'a' || name[0] == 'o' ? "an " : "a ") + name;
}

// Fills the element's bytes from its JSON value, or says what is wrong
// (the text follows the field's name).
std::optional<std::string> storeElement(const FieldElement& e, const Json& value, std::span<std::uint8_t> bytes) {
  std::fill(bytes.begin(), bytes.end(), std::uint8_t{0});
  if (value.is_object()) {
    const auto hex = value.find("hex");
    if (value.size() != 1 || hex == value.end() || !hex->is_string())
      return std::string(" must be a value or {\"hex\": \"...\"}, not another object");
    const std::string& digits = hex->get_ref<const std::string&>();
    if (digits.size() != 2 * bytes.size())
      return " hex must have " + std::to_string(2 * bytes.size()) + " digits (" + std::to_string(bytes.size()) +
             " bytes), not " + std::to_string(digits.size());
    if (!fromHex(digits, bytes)) return std::string(" hex holds a character that is not a hex digit");
    return std::nullopt;
  }
  switch (e.row->kind) {
    case FieldKind::U32:
    case FieldKind::I32: {
      if (!value.is_number()) return " must be a number, not " + aTypeName(value);
      if (value.is_number_float()) return " must be a whole number, not " + shown(value);
      const bool isSigned = e.row->kind == FieldKind::I32;
      const std::int64_t low = isSigned ? std::numeric_limits<std::int32_t>::min() : 0;
      const std::int64_t high = isSigned ? std::numeric_limits<std::int32_t>::max() : std::numeric_limits<std::uint32_t>::max();
      const bool inRange = value.is_number_unsigned() ? value.get<std::uint64_t>() <= static_cast<std::uint64_t>(high)
                                                      : value.get<std::int64_t>() >= low;
      if (!inRange)
        return " " + shown(value) + " is out of range (" + std::to_string(low) + " to " + std::to_string(high) + ")";
      storeWord(bytes, static_cast<std::uint32_t>(value.get<std::int64_t>()));
      return std::nullopt;
    }
    case FieldKind::F32: {
      if (!value.is_number()) return " must be a number, not " + aTypeName(value);
      const double number = value.get<double>();
      if (!(std::fabs(number) <= std::numeric_limits<float>::max()))
        return " " + shown(value) + " is out of range for a 32-bit float";
      storeWord(bytes, std::bit_cast<std::uint32_t>(floatOf(number)));
      return std::nullopt;
    }
    case FieldKind::Text: {
      if (!value.is_string()) return " must be a string, not " + aTypeName(value);
      // The parser has refused malformed UTF-8 already.
      const std::u16string units = utf16FromUtf8(value.get_ref<const std::string&>());
      if (units.find(u'\0') != std::u16string::npos)
        return std::string(" holds a zero character: write the field as {\"hex\": \"...\"}");
      if (units.size() > bytes.size() / 2)
        return " has " + std::to_string(units.size()) + " units; the field holds at most " +
               std::to_string(bytes.size() / 2);
      for (std::size_t i = 0; i < units.size(); ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(units[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(units[i] >> 8);
      }
      return std::nullopt;
    }
  }
  return std::nullopt;
}

// What people may write for a field, in the file's own form: true and false
// for on/off, a number for a port, a chooser's item text for a choice.
// Anything else stays as written; nullopt for a text that names no item.
std::optional<Json> ownForm(const CatalogueEntry& entry, const Json& value) {
  switch (entry.kind) {
    case ValueKind::OnOff:
      if (value.is_boolean()) return Json(value.get<bool>() ? 1 : 0);
      break;
    case ValueKind::Port:
      if (value.is_number_unsigned()) return Json(std::to_string(value.get<std::uint64_t>()));
      break;
    case ValueKind::Choice:
      if (!value.is_string()) break;
      if (const ChoiceItem* item = choiceNamed(entry, utf16FromUtf8(value.get_ref<const std::string&>())))
        return Json(item->value);
      return std::nullopt;
    default:
      break;
  }
  return value;
}

// What breaks the field's rule in the bytes stored for it, or nothing.
std::optional<std::string> ruleBreach(const CatalogueEntry& entry, const FieldElement& e,
                                      std::span<const std::uint8_t> bytes) {
  switch (e.row->kind) {
    case FieldKind::U32:
      return numberBreach(entry, loadWord(bytes));
    case FieldKind::I32:
      return numberBreach(entry, static_cast<std::int32_t>(loadWord(bytes)));
    case FieldKind::Text: {
      std::u16string units;
      for (std::size_t i = 0; i + 1 < bytes.size() && (bytes[i] | bytes[i + 1]) != 0; i += 2)
        units.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
      return textBreach(entry, units);
    }
    case FieldKind::F32:
      break;
  }
  return std::nullopt;
}

// "\"Basic\" or \"Extended\"": the names a file may give as its layout.
std::string knownLayoutNames() {
  std::string names;
  const std::span<const LayoutInfo> layouts = settingsLayouts();
  for (std::size_t i = 0; i < layouts.size(); ++i)
    names += (i == 0 ? "" : i + 1 == layouts.size() ? " or " : ", ") + ("\"" + std::string(layouts[i].name) + "\"");
  return names;
}

SettingsResult<SettingsDocument> parseRoot(const Json& root, const std::string& source) {
  const auto fail = [&](const std::string& what) { return SettingsError{SettingsErrorKind::BadInput, source + ": " + what}; };
  if (!root.is_object()) return fail("not a settings file (a JSON object with \"pelmora-settings\": 1)");
  for (const auto& [key, value] : root.items()) {
    if (key != kFormatKey && key != "layout" && key != "identity" && key != "fields")
      return fail("unknown entry \"" + echoedValue(key) + "\" (known: \"pelmora-settings\", \"layout\", \"identity\", \"fields\")");
  }
  const auto version = root.find(kFormatKey);
  if (version == root.end()) return fail("not a settings file (no \"pelmora-settings\" format version)");
  if (!version->is_number_integer() || version->get<std::int64_t>() != kFormatVersion)
    return fail("settings format version " + shown(*version) + " is not supported (this tool reads version 1)");

  SettingsDocument document;
  document.source = source;
  const auto layout = root.find("layout");
  const LayoutInfo* named =
      layout != root.end() && layout->is_string() ? layoutNamed(layout->get_ref<const std::string&>()) : nullptr;
  if (layout == root.end()) {
    document.layoutGiven = false;
  } else if (named != nullptr) {
    document.layout = named->id;
  } else {
    return fail("layout must be " + knownLayoutNames() + ", not " + shown(*layout));
  }
  const LayoutInfo& shape = layoutInfo(document.layout);
  const auto fields = root.find("fields");
  if (fields == root.end()) return fail("no \"fields\" object");
  const auto identity = root.find("identity");
  std::optional<std::string> firstBreach;
  for (const auto& [section, name] : {std::pair{fields, "fields"}, std::pair{identity, "identity"}}) {
    if (section == root.end()) continue;
    if (!section->is_object()) return fail(std::string("\"") + name + "\" must be an object, not " + aTypeName(*section));
    const bool inIdentity = section == identity;
    if (inIdentity && !document.layoutGiven) return fail("an identity needs the file's layout");
    for (const auto& [key, value] : section->items()) {
      const int index = findElement(key);
      if (index < 0)
        return fail("unknown field \"" + echoedValue(key) + "\" (nearest known: " + std::string(nearestElementName(key)) +
                    ")");
      const FieldElement& e = settingsElements()[static_cast<std::size_t>(index)];
      const bool isIdentity = (e.row->flags & kIdentityField) != 0;
      if (isIdentity && !inIdentity)
        return fail(key + " is the tracker's identity, which is never applied; it belongs in \"identity\"");
      if (!isIdentity && inIdentity) return fail(key + " is a setting, not the tracker's identity: move it to \"fields\"");
      const Placement at = e.row->at(document.layout, e.element);
      const bool isMagic = e.row->name == "MagicNumber";
      const Json& given = value;  // clang 14 cannot capture a structured binding
      const auto notTheMagic = [&] {
        return fail("MagicNumber " + shown(given) + " is not the " + std::string(shape.name) + " layout's");
      };
      if (at.bytes == 0 && isMagic) {
        if (value != shape.magic) return notTheMagic();
        continue;
      }
      if (at.bytes == 0) return fail(key + " is not in the " + std::string(shape.name) + " layout");
      const std::span<std::uint8_t> bytes = std::span(document.image).subspan(at.offset, at.bytes);
      const CatalogueEntry* entry = catalogueEntry(key);
      const std::optional<Json> stored = entry != nullptr ? ownForm(*entry, value) : value;
      if (!stored) return fail(breachLine(*entry, shown(value), "names none of the chooser's items"));
      if (std::optional<std::string> wrong = storeElement(e, *stored, bytes)) return fail(key + *wrong);
      // {"hex": ...} is exempt: the writer uses it only for a tracker's own bytes that a plain
      // value cannot keep, and those are not the user's to correct.
      if (entry != nullptr && !value.is_object() && !firstBreach)
        if (const std::optional<std::string> breach = ruleBreach(*entry, e, bytes))
          firstBreach = breachLine(*entry, shown(value), *breach);
      if (isMagic && loadWord(bytes) != shape.magic) return notTheMagic();
      document.named[static_cast<std::size_t>(index)] = true;
    }
  }
  if (identity != root.end() && !document.complete())
    return fail("a profile (a file that names only some fields) cannot carry an identity; remove \"identity\"");
  // What a profile names, a person wrote: it keeps every rule. A whole file may hold a tracker's
  // own value that breaks one; it is judged when laid over a tracker (applySettings).
  if (firstBreach && !document.complete()) return fail(*firstBreach);
  return document;
}

}  // namespace

std::string elementValueJson(const SettingsDocument& document, std::size_t element) {
  return elementJson(document, settingsElements()[element]).dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string settingsJson(const SettingsDocument& document) {
  Json root;
  root[kFormatKey] = kFormatVersion;
  const LayoutInfo& shape = layoutInfo(document.layout);
  if (document.layoutGiven) root["layout"] = shape.name;
  Json identity = Json::object();
  Json fields = Json::object();
  // The image does not hold an implied magic; a whole file names it all the same.
  if (shape.magicImplied && document.complete()) identity["MagicNumber"] = shape.magic;
  const std::span<const FieldElement> elements = settingsElements();
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const FieldElement& e = elements[i];
    if (!document.named[i] || e.row->at(document.layout, e.element).bytes == 0) continue;
    (e.row->flags & kIdentityField ? identity : fields)[e.name] = elementJson(document, e);
  }
  if (!identity.empty()) root["identity"] = std::move(identity);
  root["fields"] = std::move(fields);
  return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

SettingsResult<SettingsDocument> parseSettingsJson(std::string_view text, const std::string& source) {
  try {
    const JsonTree tree = parseJsonTree(text, kMaxNesting);
    if (!tree.error.empty()) return SettingsError{SettingsErrorKind::BadInput, source + ": " + tree.error};
    return parseRoot(tree.root, source);
  } catch (const std::exception& e) {
    return SettingsError{SettingsErrorKind::BadInput, source + ": not a settings file (" + echoedValue(e.what()) + ")"};
  }
}

}  // namespace pelmora
