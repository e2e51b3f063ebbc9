#include "settings/settings_layout.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace pelmora {
namespace {

template <std::size_t N>
FieldRef text(FixedText<N>& field) {
  return std::span<char16_t>(field.storage());
}

constexpr std::array<Placement, 2> both(std::uint16_t basic, std::uint16_t extended, std::uint16_t bytes) {
  return {Placement{basic, bytes}, Placement{extended, bytes}};
}
constexpr std::array<Placement, 2> extendedOnly(std::uint16_t extended, std::uint16_t bytes) {
  return {Placement{}, Placement{extended, bytes}};
}

using K = FieldKind;
using M = SettingsModel;
using I = std::size_t;

// Offsets as the tracker lays them out. Extended offsets are the Basic ones
// plus 68 up to ApnName and plus 140 after it.
const FieldRow kFields[] = {
    {"MagicNumber", K::U32, 1, 0, extendedOnly(0, 4), kHeaderField | kIdentityField, [](M& m, I) -> FieldRef { return &m.MagicNumber; }},
    {"RomVersion", K::Text, 1, 0, extendedOnly(4, 64), kHeaderField | kIdentityField, [](M& m, I) { return text(m.RomVersion); }},
    {"SmsPassword", K::Text, 1, 0, both(0, 68, 20), 0, [](M& m, I) { return text(m.SmsPassword); }},
    {"SmsReportInterval", K::U32, 1, 0, both(20, 88, 4), 0, [](M& m, I) -> FieldRef { return &m.SmsReportInterval; }},
    {"Opaque1", K::Text, 1, 0, both(24, 92, 44), 0, [](M& m, I) { return text(m.Opaque1); }},
    {"KeySlot[].Word", K::U32, 5, 92, both(68, 136, 4), 0, [](M& m, I i) -> FieldRef { return &m.KeySlot[i].Word; }},
    {"KeySlot[].SmsNumber", K::Text, 5, 92, both(72, 140, 44), 0, [](M& m, I i) { return text(m.KeySlot[i].SmsNumber); }},
    {"KeySlot[].PhoneNumber", K::Text, 5, 92, both(116, 184, 44), 0, [](M& m, I i) { return text(m.KeySlot[i].PhoneNumber); }},
    {"LowPowerAlarmEnabled", K::U32, 1, 0, both(528, 596, 4), 0, [](M& m, I) -> FieldRef { return &m.LowPowerAlarmEnabled; }},
    {"LowPowerAlarmVoltage", K::F32, 1, 0, both(532, 600, 4), 0, [](M& m, I) -> FieldRef { return &m.LowPowerAlarmVoltage; }},
    {"OverspeedAlarmEnabled", K::U32, 1, 0, both(536, 604, 4), 0, [](M& m, I) -> FieldRef { return &m.OverspeedAlarmEnabled; }},
    {"OverspeedIndex", K::U32, 1, 0, both(540, 608, 4), 0, [](M& m, I) -> FieldRef { return &m.OverspeedIndex; }},
    {"Opaque2", K::U32, 3, 4, both(544, 612, 4), 0, [](M& m, I i) -> FieldRef { return &m.Opaque2[i]; }},
    {"Opaque3", K::Text, 1, 0, both(556, 624, 200), 0, [](M& m, I) { return text(m.Opaque3); }},
    {"Opaque4", K::U32, 1, 0, both(756, 824, 4), 0, [](M& m, I) -> FieldRef { return &m.Opaque4; }},
    {"Opaque5", K::Text, 1, 0, both(760, 828, 200), 0, [](M& m, I) { return text(m.Opaque5); }},
    {"CallLocationReport", K::U32, 1, 0, both(960, 1028, 4), 0, [](M& m, I) -> FieldRef { return &m.CallLocationReport; }},
    {"NmeaGprmcFormat", K::U32, 1, 0, both(964, 1032, 4), 0, [](M& m, I) -> FieldRef { return &m.NmeaGprmcFormat; }},
    {"AutoHangUp", K::U32, 1, 0, both(968, 1036, 4), 0, [](M& m, I) -> FieldRef { return &m.AutoHangUp; }},
    {"PowerOnSosSms", K::U32, 1, 0, both(972, 1040, 4), 0, [](M& m, I) -> FieldRef { return &m.PowerOnSosSms; }},
    {"LowVoltageShutdown", K::U32, 1, 0, both(976, 1044, 4), 0, [](M& m, I) -> FieldRef { return &m.LowVoltageShutdown; }},
    {"BlindAreaAlert", K::U32, 1, 0, both(980, 1048, 4), 0, [](M& m, I) -> FieldRef { return &m.BlindAreaAlert; }},
    {"LedsOff", K::U32, 1, 0, both(984, 1052, 4), 0, [](M& m, I) -> FieldRef { return &m.LedsOff; }},
    {"Opaque6", K::U32, 1, 0, both(988, 1056, 4), 0, [](M& m, I) -> FieldRef { return &m.Opaque6; }},
    {"Opaque7", K::Text, 1, 0, both(992, 1060, 44), 0, [](M& m, I) { return text(m.Opaque7); }},
    {"TrackerId", K::Text, 1, 0, both(1036, 1104, 44), kOneTrackerField, [](M& m, I) { return text(m.TrackerId); }},
    // The only field whose width differs: Basic keeps the first 64 units.
    {"ApnName", K::Text, 1, 0, {Placement{1080, 128}, Placement{1148, 200}}, 0, [](M& m, I) { return text(m.ApnName); }},
    {"ApnUser", K::Text, 1, 0, both(1208, 1348, 128), 0, [](M& m, I) { return text(m.ApnUser); }},
    {"ApnPassword", K::Text, 1, 0, both(1336, 1476, 128), 0, [](M& m, I) { return text(m.ApnPassword); }},
    {"PrimaryDns", K::Text, 1, 0, both(1464, 1604, 128), 0, [](M& m, I) { return text(m.PrimaryDns); }},
    {"SecondaryDns", K::Text, 1, 0, both(1592, 1732, 128), 0, [](M& m, I) { return text(m.SecondaryDns); }},
    {"ServerIp", K::Text, 1, 0, both(1720, 1860, 44), 0, [](M& m, I) { return text(m.ServerIp); }},
    {"ServerPort", K::Text, 1, 0, both(1764, 1904, 44), 0, [](M& m, I) { return text(m.ServerPort); }},
    {"TcpReportInterval", K::U32, 1, 0, both(1808, 1948, 4), 0, [](M& m, I) -> FieldRef { return &m.TcpReportInterval; }},
    {"TcpTrackEnabled", K::U32, 1, 0, both(1812, 1952, 4), 0, [](M& m, I) -> FieldRef { return &m.TcpTrackEnabled; }},
    {"Opaque8", K::U32, 8, 4, both(1816, 1956, 4), 0, [](M& m, I i) -> FieldRef { return &m.Opaque8[i]; }},
    {"WiretapNumber", K::Text, 1, 0, both(1848, 1988, 44), 0, [](M& m, I) { return text(m.WiretapNumber); }},
    {"TimeZoneMinutes", K::I32, 1, 0, both(1892, 2032, 4), 0, [](M& m, I) -> FieldRef { return &m.TimeZoneMinutes; }},
    {"HttpReportInterval", K::U32, 1, 0, both(1896, 2036, 4), 0, [](M& m, I) -> FieldRef { return &m.HttpReportInterval; }},
    {"Opaque9", K::U32, 1, 0, both(1900, 2040, 4), 0, [](M& m, I) -> FieldRef { return &m.Opaque9; }},
    {"SosMessage", K::Text, 5, 104, both(1904, 2044, 104), 0, [](M& m, I i) { return text(m.SosMessage[i]); }},
    {"Opaque10", K::Text, 1, 0, both(2424, 2564, 84), 0, [](M& m, I) { return text(m.Opaque10); }},
    {"Opaque11", K::Text, 3, 44, both(2508, 2648, 44), 0, [](M& m, I i) { return text(m.Opaque11[i]); }},
    {"AgpsName", K::Text, 1, 0, both(2640, 2780, 44), 0, [](M& m, I) { return text(m.AgpsName); }},
    {"AgpsServerIp", K::Text, 1, 0, both(2684, 2824, 44), 0, [](M& m, I) { return text(m.AgpsServerIp); }},
    {"AgpsPort", K::Text, 1, 0, both(2728, 2868, 44), 0, [](M& m, I) { return text(m.AgpsPort); }},
    {"AgpsSmsNumber", K::Text, 1, 0, both(2772, 2912, 44), 0, [](M& m, I) { return text(m.AgpsSmsNumber); }},
    {"Opaque12", K::U32, 20, 4, both(2816, 2956, 4), 0, [](M& m, I i) -> FieldRef { return &m.Opaque12[i]; }},
    {"Opaque13", K::Text, 5, 44, both(2896, 3036, 44), 0, [](M& m, I i) { return text(m.Opaque13[i]); }},
    {"HttpServerDomain", K::Text, 1, 0, both(3116, 3256, 64), 0, [](M& m, I) { return text(m.HttpServerDomain); }},
    {"Imei", K::Text, 1, 0, extendedOnly(3320, 64), kIdentityField, [](M& m, I) { return text(m.Imei); }},
};

std::uint32_t loadU32(std::span<const std::uint8_t> bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) value = (value << 8) | bytes[i];
  return value;
}

void storeU32(std::span<std::uint8_t> bytes, std::uint32_t value) {
  for (std::uint8_t& byte : bytes) {
    byte = static_cast<std::uint8_t>(value & 0xFFu);
    value >>= 8;
  }
}

// A text takes the units up to its first NUL, at most the field's width;
// the rest of the model's storage is cleared.
void loadText(std::span<const std::uint8_t> bytes, std::span<char16_t> units) {
  std::fill(units.begin(), units.end(), u'\0');
  const std::size_t width = std::min(bytes.size() / 2, units.size() - 1);
  for (std::size_t i = 0; i < width; ++i) {
    const auto unit = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    if (unit == u'\0') break;
    units[i] = unit;
  }
}

void storeText(std::span<std::uint8_t> bytes, std::span<const char16_t> units) {
  std::fill(bytes.begin(), bytes.end(), std::uint8_t{0});
  const std::size_t width = std::min(bytes.size() / 2, units.size() - 1);
  for (std::size_t i = 0; i < width && units[i] != u'\0'; ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(units[i] & 0xFFu);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(units[i] >> 8);
  }
}

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// The table hands out mutable references; readers only read through them.
SettingsModel& readOnly(const SettingsModel& model) { return const_cast<SettingsModel&>(model); }

}  // namespace

std::span<const FieldRow> settingsFields() { return kFields; }

void loadFieldElement(const FieldRow& row, std::size_t element, Layout layout, std::span<const std::uint8_t> image,
                      SettingsModel& model) {
  const Placement at = row.at(layout, element);
  if (at.bytes == 0) return;
  const std::span<const std::uint8_t> bytes = image.subspan(at.offset, at.bytes);
  std::visit(Overloaded{
                 [&](std::uint32_t* v) { *v = loadU32(bytes); },
                 [&](std::int32_t* v) { *v = static_cast<std::int32_t>(loadU32(bytes)); },
                 [&](float* v) { *v = std::bit_cast<float>(loadU32(bytes)); },
                 [&](std::span<char16_t> units) { loadText(bytes, units); },
             },
             row.locate(model, element));
}

void storeFieldElement(const FieldRow& row, std::size_t element, Layout layout, const SettingsModel& model,
                       std::span<std::uint8_t> image) {
  const Placement at = row.at(layout, element);
  if (at.bytes == 0) return;
  const std::span<std::uint8_t> bytes = image.subspan(at.offset, at.bytes);
  std::visit(Overloaded{
                 [&](std::uint32_t* v) { storeU32(bytes, *v); },
                 [&](std::int32_t* v) { storeU32(bytes, static_cast<std::uint32_t>(*v)); },
                 [&](float* v) { storeU32(bytes, std::bit_cast<std::uint32_t>(*v)); },
                 [&](std::span<char16_t> units) { storeText(bytes, units); },
             },
             row.locate(readOnly(model), element));
}

bool sameFieldElement(const FieldRow& row, std::size_t element, const SettingsModel& a, const SettingsModel& b) {
  const FieldRef x = row.locate(readOnly(a), element);
  const FieldRef y = row.locate(readOnly(b), element);
  return std::visit(
      [&](auto px) {
        const auto py = std::get<decltype(px)>(y);
        if constexpr (std::is_same_v<decltype(px), std::span<char16_t>>) {
          return std::equal(px.begin(), px.end(), py.begin(), py.end());
        } else {
          return std::memcmp(px, py, sizeof *px) == 0;
        }
      },
      x);
}

}  // namespace pelmora
