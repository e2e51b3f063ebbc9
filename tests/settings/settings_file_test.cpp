#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/settings/tracker_image.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

TEST(SettingsFile, ImageToJsonToImageIsByteIdentical) {
  const fs::path dir = fs::temp_directory_path() / "pelmora-settings-file-test";
  fs::create_directories(dir);
  for (const bool extended : {false, true}) {
    for (const bool dense : {false, true}) {
      SCOPED_TRACE(std::string(extended ? "Extended" : "Basic") + (dense ? " dense" : ""));
      const Block image = trackerImage(extended, dense);
      Loaded<SettingsDocument> read = documentFromImage(image, "read");
      ASSERT_TRUE(read) << read.error();
      const std::string json = settingsJson(*read);
      if (!dense) {
        EXPECT_NE(json.find("\"Opaque3\": {\n      \"hex\": \"610062000000740061006900"), std::string::npos) << json;
        EXPECT_NE(json.find("\"LowPowerAlarmVoltage\": {\n      \"hex\": \"0100a07f\""), std::string::npos);
        EXPECT_NE(json.find("\"ApnName\": \"nnnnn"), std::string::npos);
        EXPECT_NE(json.find("\"KeySlot[4].PhoneNumber\": \"\""), std::string::npos);
      }
      for (const char* name : {"a.json", "a.pelmora-image"}) {
        ASSERT_FALSE(saveSettingsFile((dir / name).string(), *read));
        Loaded<SettingsDocument> back = loadSettingsFile((dir / name).string());
        ASSERT_TRUE(back) << back.error();
        EXPECT_EQ(Block(back->bytes().begin(), back->bytes().end()), image) << name;
      }
    }
  }
  // A float is written as the shortest decimal that reads back as itself.
  Block image = trackerImage(false, false);
  putWord(image, 532, 0x406CCCCDu);  // 3.7f
  const std::string json = settingsJson(*documentFromImage(image, "read"));
  EXPECT_NE(json.find("\"LowPowerAlarmVoltage\": 3.7,"), std::string::npos);
  const Loaded<SettingsDocument> back = parseSettingsJson(json, "x");
  EXPECT_EQ(Block(back->bytes().begin(), back->bytes().end()), image);
  fs::remove_all(dir);
}

// A profile changes exactly the fields it names, and the changes are listed by
// name; a read-back differing only in the header verifies. A read-back that
// differs in a field is named by the command line's apply test and the
// window's verify test, against trackers that forget writes.
TEST(SettingsFile, ProfilesChangeOnlyTheirFieldsAndComparisonsNameThem) {
  SettingsCodec codec;
  SettingsModel model;
  ASSERT_EQ(codec.decodeSettingsBlock(trackerImage(true, true), model), DecodeResult::Decoded);
  const Loaded<SettingsDocument> profile = parseSettingsJson(
      R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45, "KeySlot[2].PhoneNumber": "+15550100",
          "Opaque12[3]": 7, "TrackerId": "8800123"}})", "fleet.json");
  ASSERT_TRUE(profile) << profile.error();
  EXPECT_EQ(oneTrackerFields(*profile), std::vector<std::string>{"TrackerId"});
  Loaded<SettingsModel> shown = laidOverRead(codec, *profile);
  ASSERT_TRUE(shown) << shown.error();
  std::vector<std::string> names;
  for (const FieldChange& c : pendingChanges(codec, *shown)) names.push_back(c.name);
  EXPECT_EQ(names, (std::vector<std::string>{"SmsReportInterval", "KeySlot[2].PhoneNumber", "TrackerId", "Opaque12[3]"}));
  EXPECT_EQ(describeChange(pendingChanges(codec, *shown)[0]), "SmsReportInterval: 30 -> 45");

  const std::span<const std::uint8_t> sent = codec.encodeSettingsBlock(*shown);
  Block readBack(sent.begin(), sent.end());
  putWord(readBack, 0, 0xF6860001u);  // the header goes out as zeros; the tracker answers with its own
  EXPECT_TRUE(verifyWrite(sent, readBack)->empty());
}

TEST(SettingsFile, BadInputGetsOneMessageAndChangesNothing) {
  const fs::path dir = fs::temp_directory_path() / "pelmora-bad-input-test";
  fs::create_directories(dir / "locked");
  const std::string d = dir.string() + "/";
  const auto fields = [](const std::string& body) { return R"({"pelmora-settings": 1, "fields": {)" + body + "}}"; };
  struct Case {
    std::string name, content, message;
  };
  const Case cases[] = {
      {"a.json", "{\n  \"fields\": {,}", "a.json: not valid JSON at line 2, column 14: syntax error while parsing "
                                          "object key - unexpected ','; expected string literal"},
      {"b.json", fields(R"("SmsReportIntervall": 5)"), R"(b.json: unknown field "SmsReportIntervall" (nearest known: SmsReportInterval))"},
      {"c.json", fields(R"("SmsReportInterval": "5")"), "c.json: SmsReportInterval must be a number, not a string"},
      {"d.json", fields(R"("TimeZoneMinutes": 2147483648)"), "d.json: TimeZoneMinutes 2147483648 is out of range (-2147483648 to 2147483647)"},
      {"e.json", fields(R"("SmsReportInterval": -1)"), "e.json: SmsReportInterval -1 is out of range (0 to 4294967295)"},
      {"f.json", fields(R"("ServerIp": "12345678901234567890123")"), "f.json: ServerIp has 23 units; the field holds at most 22"},
      {"g.json", fields(R"("Imei": "1")"), "g.json: Imei is the tracker's identity, which is never applied; it belongs in \"identity\""},
      {"h.json", R"({"pelmora-settings": 1, "layout": "Basic", "identity": {"MagicNumber": 4135976960}, "fields": {"LedsOff": 1}})",
       "h.json: a profile (a file that names only some fields) cannot carry an identity; remove \"identity\""},
      {"i.json", fields(R"("ApnName": ")" + std::string(65, 'a') + "\""), "i.json: ApnName has 65 units; a Basic tracker keeps at most 64"},
      {"j.json", fields(R"("Opaque4": {"hex": "0102"})"), "j.json: Opaque4 hex must have 8 digits (4 bytes), not 4"},
      {"k.json", R"({"pelmora-settings": 2, "fields": {}})", "k.json: settings format version 2 is not supported (this tool reads version 1)"},
      {"l.img", std::string(3000, '\0'), "l.img: 3000 bytes, but a Basic settings image (as its first word says) has 3180"},
      {"m.img", std::string("\x05\x00\x86\xF6", 4) + std::string(3380, '\0'), "m.img: unknown settings layout f6860005 (known: f6860000 Basic, f6860001 Extended)"},
      {"missing.json", "", d + "missing.json: cannot be read (No such file or directory)"},
  };
  SettingsCodec codec;
  SettingsModel model;
  ASSERT_EQ(codec.decodeSettingsBlock(trackerImage(false, false), model), DecodeResult::Decoded);
  const Block before(codec.encodeSettingsBlock(model).begin(), codec.encodeSettingsBlock(model).end());
  for (const Case& c : cases) {
    const std::string path = (c.name == "missing.json" ? d : "") + c.name;
    if (c.name != "missing.json") std::ofstream(path, std::ios::binary) << c.content;
    Loaded<SettingsDocument> file = loadSettingsFile(path);
    Loaded<SettingsModel> shown = file ? laidOverRead(codec, *file) : file.error();
    EXPECT_FALSE(shown);
    EXPECT_EQ(shown.error(), c.message);
    std::remove(path.c_str());
  }
  EXPECT_EQ(Block(codec.encodeSettingsBlock(model).begin(), codec.encodeSettingsBlock(model).end()), before);
  const std::optional<SettingsError> unwritable = saveSettingsFile(d + "locked", *documentFromImage(before, "x"));
  ASSERT_TRUE(unwritable);
  EXPECT_EQ(unwritable->message, d + "locked: cannot be written (Is a directory)");
  EXPECT_TRUE(fs::is_empty(dir / "locked"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);  // no temporary left
  fs::remove_all(dir);
}

}  // namespace
}  // namespace pelmora
