#include "settings/settings_layout.h"

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
    {"MagicNumber", K::U32, 1, 0, extendedOnly(0, 4), false, [](M& m, I) -> FieldRef { return &m.MagicNumber; }},
    {"RomVersion", K::Text, 1, 0, extendedOnly(4, 64), false, [](M& m, I) { return text(m.RomVersion); }},
    {"SmsPassword", K::Text, 1, 0, both(0, 68, 20), true, [](M& m, I) { return text(m.SmsPassword); }},
    {"SmsReportInterval", K::U32, 1, 0, both(20, 88, 4), true, [](M& m, I) -> FieldRef { return &m.SmsReportInterval; }},
    {"Opaque1", K::Text, 1, 0, both(24, 92, 44), true, [](M& m, I) { return text(m.Opaque1); }},
    {"KeySlot.Word", K::U32, 5, 92, both(68, 136, 4), true, [](M& m, I i) -> FieldRef { return &m.KeySlot[i].Word; }},
    {"KeySlot.SmsNumber", K::Text, 5, 92, both(72, 140, 44), true, [](M& m, I i) { return text(m.KeySlot[i].SmsNumber); }},
    {"KeySlot.PhoneNumber", K::Text, 5, 92, both(116, 184, 44), true, [](M& m, I i) { return text(m.KeySlot[i].PhoneNumber); }},
    {"LowPowerAlarmEnabled", K::U32, 1, 0, both(528, 596, 4), true, [](M& m, I) -> FieldRef { return &m.LowPowerAlarmEnabled; }},
    {"LowPowerAlarmVoltage", K::F32, 1, 0, both(532, 600, 4), true, [](M& m, I) -> FieldRef { return &m.LowPowerAlarmVoltage; }},
    {"OverspeedAlarmEnabled", K::U32, 1, 0, both(536, 604, 4), true, [](M& m, I) -> FieldRef { return &m.OverspeedAlarmEnabled; }},
    {"OverspeedIndex", K::U32, 1, 0, both(540, 608, 4), true, [](M& m, I) -> FieldRef { return &m.OverspeedIndex; }},
    {"Opaque2", K::U32, 3, 4, both(544, 612, 4), true, [](M& m, I i) -> FieldRef { return &m.Opaque2[i]; }},
    {"Opaque3", K::Text, 1, 0, both(556, 624, 200), true, [](M& m, I) { return text(m.Opaque3); }},
    {"Opaque4", K::U32, 1, 0, both(756, 824, 4), true, [](M& m, I) -> FieldRef { return &m.Opaque4; }},
    {"Opaque5", K::Text, 1, 0, both(760, 828, 200), true, [](M& m, I) { return text(m.Opaque5); }},
    {"CallLocationReport", K::U32, 1, 0, both(960, 1028, 4), true, [](M& m, I) -> FieldRef { return &m.CallLocationReport; }},
    {"NmeaGprmcFormat", K::U32, 1, 0, both(964, 1032, 4), true, [](M& m, I) -> FieldRef { return &m.NmeaGprmcFormat; }},
    {"AutoHangUp", K::U32, 1, 0, both(968, 1036, 4), true, [](M& m, I) -> FieldRef { return &m.AutoHangUp; }},
    {"PowerOnSosSms", K::U32, 1, 0, both(972, 1040, 4), true, [](M& m, I) -> FieldRef { return &m.PowerOnSosSms; }},
    {"LowVoltageShutdown", K::U32, 1, 0, both(976, 1044, 4), true, [](M& m, I) -> FieldRef { return &m.LowVoltageShutdown; }},
    {"BlindAreaAlert", K::U32, 1, 0, both(980, 1048, 4), true, [](M& m, I) -> FieldRef { return &m.BlindAreaAlert; }},
    {"LedsOff", K::U32, 1, 0, both(984, 1052, 4), true, [](M& m, I) -> FieldRef { return &m.LedsOff; }},
    {"Opaque6", K::U32, 1, 0, both(988, 1056, 4), true, [](M& m, I) -> FieldRef { return &m.Opaque6; }},
    {"Opaque7", K::Text, 1, 0, both(992, 1060, 44), true, [](M& m, I) { return text(m.Opaque7); }},
    {"TrackerId", K::Text, 1, 0, both(1036, 1104, 44), true, [](M& m, I) { return text(m.TrackerId); }},
    // The only field whose width differs: Basic keeps the first 64 units.
    {"ApnName", K::Text, 1, 0, {Placement{1080, 128}, Placement{1148, 200}}, true, [](M& m, I) { return text(m.ApnName); }},
    {"ApnUser", K::Text, 1, 0, both(1208, 1348, 128), true, [](M& m, I) { return text(m.ApnUser); }},
    {"ApnPassword", K::Text, 1, 0, both(1336, 1476, 128), true, [](M& m, I) { return text(m.ApnPassword); }},
    {"PrimaryDns", K::Text, 1, 0, both(1464, 1604, 128), true, [](M& m, I) { return text(m.PrimaryDns); }},
    {"SecondaryDns", K::Text, 1, 0, both(1592, 1732, 128), true, [](M& m, I) { return text(m.SecondaryDns); }},
    {"ServerIp", K::Text, 1, 0, both(1720, 1860, 44), true, [](M& m, I) { return text(m.ServerIp); }},
    {"ServerPort", K::Text, 1, 0, both(1764, 1904, 44), true, [](M& m, I) { return text(m.ServerPort); }},
    {"TcpReportInterval", K::U32, 1, 0, both(1808, 1948, 4), true, [](M& m, I) -> FieldRef { return &m.TcpReportInterval; }},
    {"TcpTrackEnabled", K::U32, 1, 0, both(1812, 1952, 4), true, [](M& m, I) -> FieldRef { return &m.TcpTrackEnabled; }},
    {"Opaque8", K::U32, 8, 4, both(1816, 1956, 4), true, [](M& m, I i) -> FieldRef { return &m.Opaque8[i]; }},
    {"WiretapNumber", K::Text, 1, 0, both(1848, 1988, 44), true, [](M& m, I) { return text(m.WiretapNumber); }},
    {"TimeZoneMinutes", K::I32, 1, 0, both(1892, 2032, 4), true, [](M& m, I) -> FieldRef { return &m.TimeZoneMinutes; }},
    {"HttpReportInterval", K::U32, 1, 0, both(1896, 2036, 4), true, [](M& m, I) -> FieldRef { return &m.HttpReportInterval; }},
    {"Opaque9", K::U32, 1, 0, both(1900, 2040, 4), true, [](M& m, I) -> FieldRef { return &m.Opaque9; }},
    {"SosMessage", K::Text, 5, 104, both(1904, 2044, 104), true, [](M& m, I i) { return text(m.SosMessage[i]); }},
    {"Opaque10", K::Text, 1, 0, both(2424, 2564, 84), true, [](M& m, I) { return text(m.Opaque10); }},
    {"Opaque11", K::Text, 3, 44, both(2508, 2648, 44), true, [](M& m, I i) { return text(m.Opaque11[i]); }},
    {"AgpsName", K::Text, 1, 0, both(2640, 2780, 44), true, [](M& m, I) { return text(m.AgpsName); }},
    {"AgpsServerIp", K::Text, 1, 0, both(2684, 2824, 44), true, [](M& m, I) { return text(m.AgpsServerIp); }},
    {"AgpsPort", K::Text, 1, 0, both(2728, 2868, 44), true, [](M& m, I) { return text(m.AgpsPort); }},
    {"AgpsSmsNumber", K::Text, 1, 0, both(2772, 2912, 44), true, [](M& m, I) { return text(m.AgpsSmsNumber); }},
    {"Opaque12", K::U32, 20, 4, both(2816, 2956, 4), true, [](M& m, I i) -> FieldRef { return &m.Opaque12[i]; }},
    {"Opaque13", K::Text, 5, 44, both(2896, 3036, 44), true, [](M& m, I i) { return text(m.Opaque13[i]); }},
    {"HttpServerDomain", K::Text, 1, 0, both(3116, 3256, 64), true, [](M& m, I) { return text(m.HttpServerDomain); }},
    {"Imei", K::Text, 1, 0, extendedOnly(3320, 64), true, [](M& m, I) { return text(m.Imei); }},
};

}  // namespace

std::span<const FieldRow> settingsFields() { return kFields; }

}  // namespace pelmora
