#include "settings/settings_codec.h"
#include "settings/settings_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <iterator>
#include <string>
#include <vector>

namespace pelmora {
namespace {

using M = SettingsModel;
template <std::size_t N>
FieldRef units(FixedText<N>& t) { return std::span<char16_t>(t.storage()); }

// The tracker's layout table, written out apart from the code's: element
// 0's offsets (-1: absent), bytes per element, elements and their stride.
struct Pinned {
  const char* name;
  int basic, extended, bytes, count, stride;
  FieldRef (*field)(M&, int);
};
#define ONE(f) [](M& m, int) -> FieldRef { return &m.f; }
#define TXT(f) [](M& m, int) -> FieldRef { return units(m.f); }
const Pinned kPinned[] = {
    {"MagicNumber", -1, 0, 4, 1, 0, ONE(MagicNumber)},
    {"RomVersion", -1, 4, 64, 1, 0, TXT(RomVersion)},
    {"SmsPassword", 0, 68, 20, 1, 0, TXT(SmsPassword)},
    {"SmsReportInterval", 20, 88, 4, 1, 0, ONE(SmsReportInterval)},
    {"Opaque1", 24, 92, 44, 1, 0, TXT(Opaque1)},
    {"KeySlot.Word", 68, 136, 4, 5, 92, [](M& m, int i) -> FieldRef { return &m.KeySlot[i].Word; }},
    {"KeySlot.SmsNumber", 72, 140, 44, 5, 92, [](M& m, int i) { return units(m.KeySlot[i].SmsNumber); }},
    {"KeySlot.PhoneNumber", 116, 184, 44, 5, 92, [](M& m, int i) { return units(m.KeySlot[i].PhoneNumber); }},
    {"LowPowerAlarmEnabled", 528, 596, 4, 1, 0, ONE(LowPowerAlarmEnabled)},
    {"LowPowerAlarmVoltage", 532, 600, 4, 1, 0, ONE(LowPowerAlarmVoltage)},
    {"OverspeedAlarmEnabled", 536, 604, 4, 1, 0, ONE(OverspeedAlarmEnabled)},
    {"OverspeedIndex", 540, 608, 4, 1, 0, ONE(OverspeedIndex)},
    {"Opaque2", 544, 612, 4, 3, 4, [](M& m, int i) -> FieldRef { return &m.Opaque2[i]; }},
    {"Opaque3", 556, 624, 200, 1, 0, TXT(Opaque3)},
    {"Opaque4", 756, 824, 4, 1, 0, ONE(Opaque4)},
    {"Opaque5", 760, 828, 200, 1, 0, TXT(Opaque5)},
    {"CallLocationReport", 960, 1028, 4, 1, 0, ONE(CallLocationReport)},
    {"NmeaGprmcFormat", 964, 1032, 4, 1, 0, ONE(NmeaGprmcFormat)},
    {"AutoHangUp", 968, 1036, 4, 1, 0, ONE(AutoHangUp)},
    {"PowerOnSosSms", 972, 1040, 4, 1, 0, ONE(PowerOnSosSms)},
    {"LowVoltageShutdown", 976, 1044, 4, 1, 0, ONE(LowVoltageShutdown)},
    {"BlindAreaAlert", 980, 1048, 4, 1, 0, ONE(BlindAreaAlert)},
    {"LedsOff", 984, 1052, 4, 1, 0, ONE(LedsOff)},
    {"Opaque6", 988, 1056, 4, 1, 0, ONE(Opaque6)},
    {"Opaque7", 992, 1060, 44, 1, 0, TXT(Opaque7)},
    {"TrackerId", 1036, 1104, 44, 1, 0, TXT(TrackerId)},
    {"ApnName", 1080, 1148, 200, 1, 0, TXT(ApnName)},  // 128 bytes in Basic
    {"ApnUser", 1208, 1348, 128, 1, 0, TXT(ApnUser)},
    {"ApnPassword", 1336, 1476, 128, 1, 0, TXT(ApnPassword)},
    {"PrimaryDns", 1464, 1604, 128, 1, 0, TXT(PrimaryDns)},
    {"SecondaryDns", 1592, 1732, 128, 1, 0, TXT(SecondaryDns)},
    {"ServerIp", 1720, 1860, 44, 1, 0, TXT(ServerIp)},
    {"ServerPort", 1764, 1904, 44, 1, 0, TXT(ServerPort)},
    {"TcpReportInterval", 1808, 1948, 4, 1, 0, ONE(TcpReportInterval)},
    {"TcpTrackEnabled", 1812, 1952, 4, 1, 0, ONE(TcpTrackEnabled)},
    {"Opaque8", 1816, 1956, 4, 8, 4, [](M& m, int i) -> FieldRef { return &m.Opaque8[i]; }},
    {"WiretapNumber", 1848, 1988, 44, 1, 0, TXT(WiretapNumber)},
    {"TimeZoneMinutes", 1892, 2032, 4, 1, 0, ONE(TimeZoneMinutes)},
    {"HttpReportInterval", 1896, 2036, 4, 1, 0, ONE(HttpReportInterval)},
    {"Opaque9", 1900, 2040, 4, 1, 0, ONE(Opaque9)},
    {"SosMessage", 1904, 2044, 104, 5, 104, [](M& m, int i) { return units(m.SosMessage[i]); }},
    {"Opaque10", 2424, 2564, 84, 1, 0, TXT(Opaque10)},
    {"Opaque11", 2508, 2648, 44, 3, 44, [](M& m, int i) { return units(m.Opaque11[i]); }},
    {"AgpsName", 2640, 2780, 44, 1, 0, TXT(AgpsName)},
    {"AgpsServerIp", 2684, 2824, 44, 1, 0, TXT(AgpsServerIp)},
    {"AgpsPort", 2728, 2868, 44, 1, 0, TXT(AgpsPort)},
    {"AgpsSmsNumber", 2772, 2912, 44, 1, 0, TXT(AgpsSmsNumber)},
    {"Opaque12", 2816, 2956, 4, 20, 4, [](M& m, int i) -> FieldRef { return &m.Opaque12[i]; }},
    {"Opaque13", 2896, 3036, 44, 5, 44, [](M& m, int i) { return units(m.Opaque13[i]); }},
    {"HttpServerDomain", 3116, 3256, 64, 1, 0, TXT(HttpServerDomain)},
    {"Imei", -1, 3320, 64, 1, 0, TXT(Imei)},
};
#undef ONE
#undef TXT

// Every 4-byte word of the block differs from every other and has no zero
// unit, so a field read from a neighbour's bytes, or from too few or too many
// of them, shows.
TEST(SettingsLayout, EachFieldDecodesFromItsOwnBytes) {
  for (const Layout layout : {Layout::Basic, Layout::Extended}) {
    const bool basic = layout == Layout::Basic;
    std::vector<std::uint8_t> block(basic ? 3180 : 3384);
    for (std::size_t b = 0; b < block.size(); b += 4) {
      const std::uint32_t word = b == 0 && !basic ? 0xF6860001u : static_cast<std::uint32_t>(b / 4 + 1) * 0x10001u;
      for (std::size_t k = 0; k < 4; ++k) block[b + k] = static_cast<std::uint8_t>(word >> (8 * k));
    }
    SettingsCodec codec;
    M model;
    ASSERT_EQ(codec.decodeSettingsBlock(block, model), DecodeResult::Decoded);
    for (const Pinned& p : kPinned) {
      if ((basic ? p.basic : p.extended) < 0) continue;
      const int bytes = basic && std::string(p.name) == "ApnName" ? 128 : p.bytes;
      for (int i = 0; i < p.count; ++i) {
        const int at = (basic ? p.basic : p.extended) + i * p.stride;
        const FieldRef f = p.field(model, i);
        if (auto* text = std::get_if<std::span<char16_t>>(&f)) {
          for (int u = 0; u < bytes / 2; ++u)
            ASSERT_EQ((*text)[u], block[at + 2 * u] | block[at + 2 * u + 1] << 8) << p.name << "[" << i << "] unit " << u;
          EXPECT_EQ((*text)[bytes / 2], 0) << p.name << "[" << i << "]";
        } else {
          const std::uint32_t word = block[at] | block[at + 1] << 8 | block[at + 2] << 16 | std::uint32_t{block[at + 3]} << 24;
          std::uint32_t got = 0;
          std::visit([&](auto n) {
            if constexpr (std::is_pointer_v<decltype(n)>) got = std::bit_cast<std::uint32_t>(*n);
          }, f);
          EXPECT_EQ(got, word) << p.name << "[" << i << "]";
        }
      }
    }
    EXPECT_EQ(basic, model.RomVersion.empty() && model.Imei.empty());
  }
}

// The layouts as the tracker has them, written out apart from the code's
// table; every byte of each belongs to exactly one field element, the header
// to the header fields, and the widest layout holds every field at least as
// wide as any other (a profile keeps its values in that shape).
TEST(SettingsLayout, LayoutsAreTheTrackersAndEachByteBelongsToOneField) {
  struct PinnedLayout {
    const char* name;
    std::uint32_t magic;
    std::size_t size, header;
    bool implied;
  };
  const PinnedLayout pinned[] = {{"Basic", 0xF6860000u, 3180, 0, true}, {"Extended", 0xF6860001u, 3384, 68, false}};
  ASSERT_EQ(settingsLayouts().size(), std::size(pinned));
  for (const LayoutInfo& layout : settingsLayouts()) {
    const PinnedLayout& p = pinned[static_cast<std::size_t>(layout.id)];
    SCOPED_TRACE(p.name);
    EXPECT_EQ(layout.name, p.name);
    EXPECT_EQ(layout.magic, p.magic);
    EXPECT_EQ(layout.size, p.size);
    EXPECT_EQ(layout.headerSize, p.header);
    EXPECT_EQ(layout.magicImplied, p.implied);
    const auto magicRow = std::find_if(settingsFields().begin(), settingsFields().end(),
                                       [](const FieldRow& row) { return row.name == "MagicNumber"; });
    const Placement magic = magicRow->at(layout.id, 0);  // the layout word, first when carried
    EXPECT_EQ(magic.bytes, p.implied ? 0 : 4);
    EXPECT_EQ(magic.offset, 0);
    std::vector<int> owners(layout.size, 0);
    for (const FieldRow& row : settingsFields()) {
      for (std::size_t i = 0; i < row.count; ++i) {
        const Placement at = row.at(layout.id, i);
        ASSERT_LE(at.offset + at.bytes, layout.size) << row.name;
        for (std::size_t b = at.offset; b < at.offset + at.bytes; ++b) ++owners[b];
        const bool inHeader = at.offset + at.bytes <= layout.headerSize, pastHeader = at.offset >= layout.headerSize;
        if (at.bytes != 0) {
          EXPECT_TRUE((row.flags & kHeaderField) ? inHeader : pastHeader) << row.name;
        }
        EXPECT_GE(row.at(kWidestLayout, i).bytes, at.bytes) << row.name;
      }
    }
    EXPECT_EQ(std::count(owners.begin(), owners.end(), 1), static_cast<std::ptrdiff_t>(layout.size));
  }
}

}  // namespace
}  // namespace pelmora
