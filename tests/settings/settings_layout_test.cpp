#include "settings/settings_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace pelmora {
namespace {

TEST(SettingsLayout, EveryByteOfEachLayoutBelongsToExactlyOneField) {
  for (Layout layout : {Layout::Basic, Layout::Extended}) {
    std::vector<int> owners(layoutSize(layout), 0);
    for (const FieldRow& row : settingsFields()) {
      for (std::size_t e = 0; e < row.count; ++e) {
        const Placement at = row.at(layout, e);
        for (std::size_t b = at.offset; b < std::size_t{at.offset} + at.bytes; ++b) {
          ASSERT_LT(b, owners.size()) << row.name;
          ++owners[b];
        }
      }
    }
    for (std::size_t b = 0; b < owners.size(); ++b)
      ASSERT_EQ(owners[b], 1) << "byte " << b << " of layout " << static_cast<int>(layout);
  }
}

TEST(SettingsLayout, OffsetsAreTheTrackersOwn) {
  struct Expected {
    const char* name;
    std::size_t element;
    int basic;  // -1: absent
    int extended;
    int bytes;
  };
  // Copied from the tracker's layout table.
  const Expected expected[] = {
      {"MagicNumber", 0, -1, 0, 4},         {"RomVersion", 0, -1, 4, 64},
      {"SmsPassword", 0, 0, 68, 20},         {"KeySlot.Word", 2, 252, 320, 4},
      {"KeySlot.PhoneNumber", 4, 484, 552, 44}, {"LowPowerAlarmVoltage", 0, 532, 600, 4},
      {"Opaque5", 0, 760, 828, 200},         {"TrackerId", 0, 1036, 1104, 44},
      {"ApnUser", 0, 1208, 1348, 128},       {"Opaque8", 7, 1844, 1984, 4},
      {"TimeZoneMinutes", 0, 1892, 2032, 4}, {"SosMessage", 3, 2216, 2356, 104},
      {"Opaque11", 2, 2596, 2736, 44},       {"AgpsSmsNumber", 0, 2772, 2912, 44},
      {"Opaque12", 19, 2892, 3032, 4},       {"Opaque13", 4, 3072, 3212, 44},
      {"HttpServerDomain", 0, 3116, 3256, 64}, {"Imei", 0, -1, 3320, 64},
  };
  std::map<std::string, const FieldRow*> byName;
  for (const FieldRow& row : settingsFields()) byName[std::string(row.name)] = &row;
  for (const Expected& e : expected) {
    ASSERT_TRUE(byName.count(e.name)) << e.name;
    const FieldRow& row = *byName[e.name];
    const Placement extended = row.at(Layout::Extended, e.element);
    EXPECT_EQ(extended.offset, e.extended) << e.name;
    EXPECT_EQ(extended.bytes, e.bytes) << e.name;
    const Placement basic = row.at(Layout::Basic, e.element);
    if (e.basic < 0) {
      EXPECT_EQ(basic.bytes, 0) << e.name;
    } else {
      EXPECT_EQ(basic.offset, e.basic) << e.name;
      EXPECT_EQ(basic.bytes, e.bytes) << e.name;
    }
  }
  const FieldRow& apn = *byName["ApnName"];
  EXPECT_EQ(apn.at(Layout::Basic, 0).offset, 1080);
  EXPECT_EQ(apn.at(Layout::Basic, 0).bytes, 128);
  EXPECT_EQ(apn.at(Layout::Extended, 0).offset, 1148);
  EXPECT_EQ(apn.at(Layout::Extended, 0).bytes, 200);
}

}  // namespace
}  // namespace pelmora
