#include "settings/settings_layout.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace pelmora {
namespace {

constexpr bool layoutTableIsSound() {
  int implied = 0;
  for (std::size_t i = 0; i < kLayoutCount; ++i) {
    const LayoutInfo& layout = kLayoutTable[i];
    if (static_cast<std::size_t>(layout.id) != i || layout.magic >> 16 != kLayoutTag) return false;
    if (layout.headerSize >= layout.size) return false;
    if (layoutOfMagic(layout.magic) != &layout || layoutNamed(layout.name) != &layout) return false;  // unique
    implied += layout.magicImplied ? 1 : 0;
  }
  return implied == 1;
}
static_assert(layoutTableIsSound(), "rows in enum order, tagged unique magics and names, one implied magic");

template <std::size_t N>
FieldRef text(FixedText<N>& field) {
  return std::span<char16_t>(field.storage());
}

constexpr int kAbsent = -1;

// A row's placements, one per layout in kLayoutTable's order: the offset of
// element 0, or kAbsent where the layout lacks the field.
template <class... Offsets>
constexpr std::array<Placement, kLayoutCount> bytesAt(std::uint16_t bytes, Offsets... offsets) {
  static_assert(sizeof...(Offsets) == kLayoutCount, "an offset (or kAbsent) for every layout");
  return {(offsets == kAbsent ? Placement{} : Placement{static_cast<std::uint16_t>(offsets), bytes})...};
}
// The same where the width differs between layouts.
template <class... Placements>
constexpr std::array<Placement, kLayoutCount> each(Placements... placements) {
  static_assert(sizeof...(Placements) == kLayoutCount, "a placement for every layout");
  return {placements...};
}

using K = FieldKind;
using M = SettingsModel;
using I = std::size_t;

// Offsets as the tracker lays them out: bytesAt(bytes, Basic, Extended).
// Extended offsets are the Basic ones plus 68 up to ApnName and plus 140
// after it.
const FieldRow kFields[] = {
    {"MagicNumber", K::U32, 1, 0, bytesAt(4, kAbsent, 0), kHeaderField | kIdentityField, [](M& m, I) -> FieldRef { return &m.MagicNumber; }},
    {"RomVersion", K::Text, 1, 0, bytesAt(64, kAbsent, 4), kHeaderField | kIdentityField, [](M& m, I) { return text(m.RomVersion); }},
    {"SmsPassword", K::Text, 1, 0, bytesAt(20, 0, 68), 0, [](M& m, I) { return text(m.SmsPassword); }},
    {"SmsReportInterval", K::U32, 1, 0, bytesAt(4, 20, 88), 0, [](M& m, I) -> FieldRef { return &m.SmsReportInterval; }},
    {"Opaque1", K::Text, 1, 0, bytesAt(44, 24, 92), 0, [](M& m, I) { return text(m.Opaque1); }},
    {"KeySlot[].Word", K::U32, 5, 92, bytesAt(4, 68, 136), 0, [](M& m, I i) -> FieldRef { return &m.KeySlot[i].Word; }},
    {"KeySlot[].SmsNumber", K::Text, 5, 92, bytesAt(44, 72, 140), 0, [](M& m, I i) { return text(m.KeySlot[i].SmsNumber); }},
    {"KeySlot[].PhoneNumber", K::Text, 5, 92, bytesAt(44, 116, 184), 0, [](M& m, I i) { return text(m.KeySlot[i].PhoneNumber); }},
    {"LowPowerAlarmEnabled", K::U32, 1, 0, bytesAt(4, 528, 596), 0, [](M& m, I) -> FieldRef { return &m.LowPowerAlarmEnabled; }},
    {"LowPowerAlarmVoltage", K::F32, 1, 0, bytesAt(4, 532, 600), 0, [](M& m, I) -> FieldRef { return &m.LowPowerAlarmVoltage; }},
    {"OverspeedAlarmEnabled", K::U32, 1, 0, bytesAt(4, 536, 604), 0, [](M& m, I) -> FieldRef { return &m.OverspeedAlarmEnabled; }},
    {"OverspeedIndex", K::U32, 1, 0, bytesAt(4, 540, 608), 0, [](M& m, I) -> FieldRef { return &m.OverspeedIndex; }},
    {"Opaque2", K::U32, 3, 4, bytesAt(4, 544, 612), 0, [](M& m, I i) -> FieldRef { return &m.Opaque2[i]; }},
    {"Opaque3", K::Text, 1, 0, bytesAt(200, 556, 624), 0, [](M& m, I) { return text(m.Opaque3); }},
    {"Opaque4", K::U32, 1, 0, bytesAt(4, 756, 824), 0, [](M& m, I) -> FieldRef { return &m.Opaque4; }},
    {"Opaque5", K::Text, 1, 0, bytesAt(200, 760, 828), 0, [](M& m, I) { return text(m.Opaque5); }},
    {"CallLocationReport", K::U32, 1, 0, bytesAt(4, 960, 1028), 0, [](M& m, I) -> FieldRef { return &m.CallLocationReport; }},
    {"NmeaGprmcFormat", K::U32, 1, 0, bytesAt(4, 964, 1032), 0, [](M& m, I) -> FieldRef { return &m.NmeaGprmcFormat; }},
    {"AutoHangUp", K::U32, 1, 0, bytesAt(4, 968, 1036), 0, [](M& m, I) -> FieldRef { return &m.AutoHangUp; }},
    {"PowerOnSosSms", K::U32, 1, 0, bytesAt(4, 972, 1040), 0, [](M& m, I) -> FieldRef { return &m.PowerOnSosSms; }},
    {"LowVoltageShutdown", K::U32, 1, 0, bytesAt(4, 976, 1044), 0, [](M& m, I) -> FieldRef { return &m.LowVoltageShutdown; }},
    {"BlindAreaAlert", K::U32, 1, 0, bytesAt(4, 980, 1048), 0, [](M& m, I) -> FieldRef { return &m.BlindAreaAlert; }},
    {"LedsOff", K::U32, 1, 0, bytesAt(4, 984, 1052), 0, [](M& m, I) -> FieldRef { return &m.LedsOff; }},
    {"Opaque6", K::U32, 1, 0, bytesAt(4, 988, 1056), 0, [](M& m, I) -> FieldRef { return &m.Opaque6; }},
    {"Opaque7", K::Text, 1, 0, bytesAt(44, 992, 1060), 0, [](M& m, I) { return text(m.Opaque7); }},
    {"TrackerId", K::Text, 1, 0, bytesAt(44, 1036, 1104), kOneTrackerField, [](M& m, I) { return text(m.TrackerId); }},
    // The only field whose width differs: Basic keeps the first 64 units.
    {"ApnName", K::Text, 1, 0, each(Placement{1080, 128}, Placement{1148, 200}), 0, [](M& m, I) { return text(m.ApnName); }},
    {"ApnUser", K::Text, 1, 0, bytesAt(128, 1208, 1348), 0, [](M& m, I) { return text(m.ApnUser); }},
    {"ApnPassword", K::Text, 1, 0, bytesAt(128, 1336, 1476), 0, [](M& m, I) { return text(m.ApnPassword); }},
    {"PrimaryDns", K::Text, 1, 0, bytesAt(128, 1464, 1604), 0, [](M& m, I) { return text(m.PrimaryDns); }},
    {"SecondaryDns", K::Text, 1, 0, bytesAt(128, 1592, 1732), 0, [](M& m, I) { return text(m.SecondaryDns); }},
    {"ServerIp", K::Text, 1, 0, bytesAt(44, 1720, 1860), 0, [](M& m, I) { return text(m.ServerIp); }},
    {"ServerPort", K::Text, 1, 0, bytesAt(44, 1764, 1904), 0, [](M& m, I) { return text(m.ServerPort); }},
    {"TcpReportInterval", K::U32, 1, 0, bytesAt(4, 1808, 1948), 0, [](M& m, I) -> FieldRef { return &m.TcpReportInterval; }},
    {"TcpTrackEnabled", K::U32, 1, 0, bytesAt(4, 1812, 1952), 0, [](M& m, I) -> FieldRef { return &m.TcpTrackEnabled; }},
    {"Opaque8", K::U32, 8, 4, bytesAt(4, 1816, 1956), 0, [](M& m, I i) -> FieldRef { return &m.Opaque8[i]; }},
    {"WiretapNumber", K::Text, 1, 0, bytesAt(44, 1848, 1988), 0, [](M& m, I) { return text(m.WiretapNumber); }},
    {"TimeZoneMinutes", K::I32, 1, 0, bytesAt(4, 1892, 2032), 0, [](M& m, I) -> FieldRef { return &m.TimeZoneMinutes; }},
    {"HttpReportInterval", K::U32, 1, 0, bytesAt(4, 1896, 2036), 0, [](M& m, I) -> FieldRef { return &m.HttpReportInterval; }},
    {"Opaque9", K::U32, 1, 0, bytesAt(4, 1900, 2040), 0, [](M& m, I) -> FieldRef { return &m.Opaque9; }},
    {"SosMessage", K::Text, 5, 104, bytesAt(104, 1904, 2044), 0, [](M& m, I i) { return text(m.SosMessage[i]); }},
    {"Opaque10", K::Text, 1, 0, bytesAt(84, 2424, 2564), 0, [](M& m, I) { return text(m.Opaque10); }},
    {"Opaque11", K::Text, 3, 44, bytesAt(44, 2508, 2648), 0, [](M& m, I i) { return text(m.Opaque11[i]); }},
    {"AgpsName", K::Text, 1, 0, bytesAt(44, 2640, 2780), 0, [](M& m, I) { return text(m.AgpsName); }},
    {"AgpsServerIp", K::Text, 1, 0, bytesAt(44, 2684, 2824), 0, [](M& m, I) { return text(m.AgpsServerIp); }},
    {"AgpsPort", K::Text, 1, 0, bytesAt(44, 2728, 2868), 0, [](M& m, I) { return text(m.AgpsPort); }},
    {"AgpsSmsNumber", K::Text, 1, 0, bytesAt(44, 2772, 2912), 0, [](M& m, I) { return text(m.AgpsSmsNumber); }},
    {"Opaque12", K::U32, 20, 4, bytesAt(4, 2816, 2956), 0, [](M& m, I i) -> FieldRef { return &m.Opaque12[i]; }},
    {"Opaque13", K::Text, 5, 44, bytesAt(44, 2896, 3036), 0, [](M& m, I i) { return text(m.Opaque13[i]); }},
    {"HttpServerDomain", K::Text, 1, 0, bytesAt(64, 3116, 3256), 0, [](M& m, I) { return text(m.HttpServerDomain); }},
    {"Imei", K::Text, 1, 0, bytesAt(64, kAbsent, 3320), kIdentityField, [](M& m, I) { return text(m.Imei); }},
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

std::vector<std::uint8_t> imageOfModel(const SettingsModel& model, Layout layout) {
  SettingsModel laidOut = model;
  laidOut.MagicNumber = layoutInfo(layout).magic;
  std::vector<std::uint8_t> image(layoutInfo(layout).size, 0);
  for (const FieldRow& row : kFields)
    for (std::size_t element = 0; element < row.count; ++element) storeFieldElement(row, element, layout, laidOut, image);
  return image;
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
