// Each tracker's own values: a spreadsheet's rows become profiles that keep
// every field's rule, and every mistake is named with its line.

#include "station/values_file.h"

#include <gtest/gtest.h>

#include "settings/sha256.h"

namespace pelmora::station {
namespace {

TEST(ValuesFile, RowsBecomeProfilesInTheFilesOwnForm) {
  const struct {
    const char* label;
    std::string text;
  } files[] = {
      {"commas", "Imei,TrackerId,LedsOff,OverspeedIndex\n490154203237518,8800123,true,80 km/h\n"
                 "490154203237519,8800124,,\n"},
      {"semicolons, CRLF, a byte-order mark and quotes",
       "\xEF\xBB\xBFImei;TrackerId;LedsOff;OverspeedIndex\r\n\"490154203237518\";8800123;1;8\r\n"
       "490154203237519;\"8800124\";;\r\n\r\n"},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.label);
    const SettingsResult<ValuesFile> values = ValuesFile::parse(file.text, "values.csv");
    ASSERT_TRUE(values) << values.error().message;
    EXPECT_EQ(values->size(), 2u);
    EXPECT_EQ(values->keys(), (std::vector<std::string>{"TrackerId", "LedsOff", "OverspeedIndex"}));
    ASSERT_NE(values->forImei("490154203237518"), nullptr);
    EXPECT_EQ(settingsJson(*values->forImei("490154203237518")),
              "{\n  \"pelmora-settings\": 1,\n  \"fields\": {\n    \"OverspeedIndex\": 8,\n    \"LedsOff\": 1,\n"
              "    \"TrackerId\": \"8800123\"\n  }\n}\n");  // in the field table's order
    // An empty cell leaves the field to the profile.
    EXPECT_EQ(settingsJson(*values->forImei("490154203237519")),
              "{\n  \"pelmora-settings\": 1,\n  \"fields\": {\n    \"TrackerId\": \"8800124\"\n  }\n}\n");
    EXPECT_EQ(values->forImei("490154203237510"), nullptr);
  }
}

TEST(ValuesFile, MistakesAreNamedWithTheirLine) {
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {"TrackerId,Imei\n8800123,490154203237518\n",
       "v.csv: line 1: the first column must be Imei (a header row of field keys, Imei first)"},
      {"", "v.csv: line 1: the first column must be Imei (a header row of field keys, Imei first)"},
      {"Imei,TrackerID\n1,2\n", "v.csv: line 1: unknown field \"TrackerID\" (nearest known: TrackerId)"},
      {"Imei,RomVersion\n1,2\n", "v.csv: line 1: RomVersion is the tracker's identity, never written"},
      {"Imei,TrackerId,TrackerId\n1,2,3\n", "v.csv: line 1: TrackerId is given twice"},
      {"Imei,TrackerId\n1,2,3\n", "v.csv: line 2: 3 values, but the header names 2"},
      {"Imei,TrackerId\n,2\n", "v.csv: line 2: no IMEI"},
      {"Imei,TrackerId\n1,2\n1,3\n", "v.csv: line 3: IMEI 1 is given twice"},
      {"Imei,SmsPassword\n1,12\n",
       "v.csv: line 2: SmsPassword (Sms Track, Password) is \"12\": has 2 digits; the rule is exactly 6 digits"},
      {"Imei,TrackerId\n1,88001234567890123\n",
       "v.csv: line 2: TrackerId (Transport, Tracker ID (TCP  transport protocols  setting)) is "
       "\"88001234567890123\": has 17 digits; the rule is 1 to 14 digits"},
  };
  for (const auto& c : cases) {
    const SettingsResult<ValuesFile> values = ValuesFile::parse(c.text, "v.csv");
    ASSERT_FALSE(values) << c.message;
    EXPECT_EQ(values.error().kind, SettingsErrorKind::BadInput);
    EXPECT_EQ(values.error().message, c.message);
  }
}

// The digests of FIPS 180-2's examples.
TEST(Sha256, DigestsAreThoseOfTheStandardsExamples) {
  const struct {
    std::string message;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(sha256Hex(std::span(reinterpret_cast<const std::uint8_t*>(c.message.data()), c.message.size())),
              c.digest);
}

}  // namespace
}  // namespace pelmora::station
