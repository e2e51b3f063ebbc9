#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include "tests/settings/tracker_image.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

// Lines of `line` up to exactly `size` bytes.
std::string textOfSize(const std::string& line, std::size_t size) {
  std::string text;
  while (text.size() < size) text += line;
  text.resize(size);
  return text;
}

std::string utf16Text(std::u16string_view units) {
  std::string bytes;
  for (const char16_t u : units) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  return bytes;
}

TEST(SettingsFile, ImageToJsonToImageIsByteIdentical) {
  const fs::path dir = fs::temp_directory_path() / "pelmora-settings-file-test";
  fs::create_directories(dir);
  for (const bool extended : {false, true}) {
    for (const bool dense : {false, true}) {
      SCOPED_TRACE(std::string(extended ? "Extended" : "Basic") + (dense ? " dense" : ""));
      const Block image = trackerImage(extended, dense);
      SettingsResult<SettingsDocument> read = documentFromImage(image, "read");
      ASSERT_TRUE(read) << read.error().message;
      const std::string json = settingsJson(*read);
      if (!dense) {
        EXPECT_NE(json.find("\"Opaque3\": {\n      \"hex\": \"610062000000740061006900"), std::string::npos) << json;
        EXPECT_NE(json.find("\"LowPowerAlarmVoltage\": {\n      \"hex\": \"0100a07f\""), std::string::npos);
        EXPECT_NE(json.find("\"ApnName\": \"nnnnn"), std::string::npos);
        EXPECT_NE(json.find("\"KeySlot[4].PhoneNumber\": \"\""), std::string::npos);
      }
      for (const char* name : {"a.json", "a.pelmora-image"}) {
        ASSERT_TRUE(saveSettingsFile((dir / name).string(), *read));
        SettingsResult<SettingsDocument> back = loadSettingsFile((dir / name).string());
        ASSERT_TRUE(back) << back.error().message;
        EXPECT_EQ(Block(back->bytes().begin(), back->bytes().end()), image) << name;
      }
    }
  }
  // A float is written as the shortest decimal that reads back as itself.
  Block image = trackerImage(false, false);
  putWord(image, 532, 0x406CCCCDu);  // 3.7f
  const std::string json = settingsJson(*documentFromImage(image, "read"));
  EXPECT_NE(json.find("\"LowPowerAlarmVoltage\": 3.7,"), std::string::npos);
  const SettingsResult<SettingsDocument> back = parseSettingsJson(json, "x");
  EXPECT_EQ(Block(back->bytes().begin(), back->bytes().end()), image);
  fs::remove_all(dir);
}

// A file is read for what it holds, not for its size: JSON of an image's
// size is JSON; an image stays an image even where it starts like JSON or
// holds no zero byte (flash never written).
TEST(SettingsFile, FilesAreReadForWhatTheyHoldNotForTheirSize) {
  const fs::path dir = fs::temp_directory_path() / "pelmora-file-kinds-test";
  fs::create_directories(dir);
  const std::string profile = R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})";
  const std::string profileRead = "{\n  \"pelmora-settings\": 1,\n  \"fields\": {\n    \"SmsReportInterval\": 45\n  }\n}\n";
  Block braced = trackerImage(false, false);
  putText(braced, 0, u"{\"a\":1}");  // SmsPassword
  const Block flash(3180, 0xFF);
  struct Case {
    std::string name, content, json;  // json: what the file reads as; empty: the image itself
  };
  const Case cases[] = {
      {"fleet.txt", profile + std::string(3180 - profile.size(), ' '), profileRead},
      {"fleet.pelmora-image", "\n\n" + profile + std::string(3384 - 2 - profile.size(), '\n'), profileRead},
      {"fleet", profile, profileRead},
      {"braced.img", std::string(braced.begin(), braced.end()), ""},
      {"flash.img", std::string(flash.begin(), flash.end()), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(dir / c.name, std::ios::binary) << c.content;
    const SettingsResult<SettingsDocument> file = loadSettingsFile((dir / c.name).string());
    ASSERT_TRUE(file) << file.error().message.substr(0, 300);
    if (c.json.empty())
      EXPECT_EQ(std::string(file->bytes().begin(), file->bytes().end()), c.content);
    else
      EXPECT_EQ(settingsJson(*file), c.json);
  }
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
  const SettingsResult<SettingsDocument> profile = parseSettingsJson(
      R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45, "KeySlot[2].PhoneNumber": "+15550100",
          "Opaque12[3]": 7, "TrackerId": "8800123"}})", "fleet.json");
  ASSERT_TRUE(profile) << profile.error().message;
  EXPECT_EQ(oneTrackerFields(*profile), std::vector<std::string>{"TrackerId"});
  SettingsResult<SettingsModel> shown = laidOverRead(codec, *profile);
  ASSERT_TRUE(shown) << shown.error().message;
  std::vector<std::string> names;
  for (const FieldChange& c : pendingChanges(codec, *shown)) names.push_back(c.name);
  EXPECT_EQ(names, (std::vector<std::string>{"SmsReportInterval", "KeySlot[2].PhoneNumber", "TrackerId", "Opaque12[3]"}));
  EXPECT_EQ(describeChange(pendingChanges(codec, *shown)[0]), "SmsReportInterval: 30 -> 45");

  const std::span<const std::uint8_t> sent = codec.encodeSettingsBlock(*shown);
  Block readBack(sent.begin(), sent.end());
  putWord(readBack, 0, 0xF6860001u);  // the header goes out as zeros; the tracker answers with its own
  EXPECT_TRUE(verifyWrite(sent, readBack)->empty());
}

// What people write for a field is taken and kept in the file's own form:
// true/false for on/off, a number for a port, a chooser's item text. A whole
// file saved from a tracker whose own values break a rule lays over that
// tracker; the same file with such a value changed does not.
TEST(SettingsFile, PeoplesWordsAreTakenAndATrackersOwnValuesPass) {
  const auto fields = [](const std::string& body) { return R"({"pelmora-settings": 1, "fields": {)" + body + "}}"; };
  const auto written = [](const std::string& body) {
    return "{\n  \"pelmora-settings\": 1,\n  \"fields\": {\n    " + body + "\n  }\n}\n";
  };
  const struct {
    std::string given, kept;
  } aliases[] = {
      {R"("LedsOff": true)", R"("LedsOff": 1)"},
      {R"("TcpTrackEnabled": false)", R"("TcpTrackEnabled": 0)"},
      {R"("ServerPort": 8080)", R"("ServerPort": "8080")"},
      {R"("OverspeedIndex": "80 km/h")", R"("OverspeedIndex": 8)"},
      {R"("OverspeedIndex": "80Km/h")", R"("OverspeedIndex": 8)"},
      {R"("TimeZoneMinutes": "gmt+3")", R"("TimeZoneMinutes": 180)"},
  };
  for (const auto& alias : aliases) {
    SCOPED_TRACE(alias.given);
    for (const std::string& body : {alias.given, alias.kept}) {
      const SettingsResult<SettingsDocument> profile = parseSettingsJson(fields(body), "p.json");
      ASSERT_TRUE(profile) << profile.error().message;
      EXPECT_EQ(settingsJson(*profile), written(alias.kept));
    }
  }

  // The tracker's bytes break many rules: TcpTrackEnabled is neither 0 nor 1, texts are patterns.
  SettingsCodec codec;
  SettingsModel own;
  ASSERT_EQ(codec.decodeSettingsBlock(trackerImage(true, true), own), DecodeResult::Decoded);
  const std::string whole = settingsJson(documentFromTracker(codec, own));
  const SettingsResult<SettingsDocument> saved = parseSettingsJson(whole, "saved.json");
  ASSERT_TRUE(saved) << saved.error().message;
  EXPECT_TRUE(laidOverRead(codec, *saved));
  std::string edited = whole;
  const std::size_t at = edited.find(R"("TcpTrackEnabled": )");
  ASSERT_NE(at, std::string::npos);
  edited.replace(at, edited.find(',', at) - at, R"("TcpTrackEnabled": 3)");
  const SettingsResult<SettingsDocument> changed = parseSettingsJson(edited, "edited.json");
  ASSERT_TRUE(changed) << changed.error().message;
  const SettingsResult<SettingsModel> refused = laidOverRead(codec, *changed);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().message,
            "edited.json: TcpTrackEnabled (Transport, Enable TCP Track (TCP  transport protocols  setting)) is 3: is "
            "neither 0 nor 1; the rule is 0 (off) or 1 (on)");
}

// A layout word or name that no layout has is refused by every reader: the
// image file, the JSON file's "layout" and identity, and the block decode,
// which keeps the tracker read before.
TEST(SettingsFile, UnknownLayoutsAreRefusedByEveryReader) {
  const auto image = [](std::uint32_t word, std::size_t size) {
    Block b(size, 0);
    putWord(b, 0, word);
    return b;
  };
  const auto json = [](const std::string& entries) {
    const std::string text = R"({"pelmora-settings": 1, )" + entries + R"(, "fields": {}})";
    return Block(text.begin(), text.end());
  };
  const std::string known = " (known: f6860000 Basic, f6860001 Extended)";
  struct Case {
    std::string source;
    Block bytes;
    std::string message;
  };
  const Case cases[] = {
      {"next.img", image(0xF6860002u, 3384), "next.img: unknown settings layout f6860002" + known},
      {"last.img", image(0xF686FFFFu, 3180), "last.img: unknown settings layout f686ffff" + known},
      {"short.img", image(0xF6860005u, 4), "short.img: unknown settings layout f6860005" + known},
      {"name.json", json(R"("layout": "Compact")"), R"(name.json: layout must be "Basic" or "Extended", not "Compact")"},
      {"case.json", json(R"("layout": "basic")"), R"(case.json: layout must be "Basic" or "Extended", not "basic")"},
      {"word.json", json(R"("layout": 4135976962)"), R"(word.json: layout must be "Basic" or "Extended", not 4135976962)"},
      {"magic.json", json(R"("layout": "Extended", "identity": {"MagicNumber": 4135976962})"),
       "magic.json: MagicNumber 4135976962 is not the Extended layout's"},
      {"implied.json", json(R"("layout": "Basic", "identity": {"MagicNumber": 4135976961})"),
       "implied.json: MagicNumber 4135976961 is not the Basic layout's"},
  };
  SettingsCodec codec;
  SettingsModel model;
  const Block earlier = trackerImage(true, true);
  ASSERT_EQ(codec.decodeSettingsBlock(earlier, model), DecodeResult::Decoded);
  const SettingsModel before = model;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    const SettingsResult<SettingsDocument> file = settingsFromBytes(c.bytes, c.source);
    ASSERT_FALSE(file);
    EXPECT_EQ(file.error().kind, SettingsErrorKind::BadInput);
    EXPECT_EQ(file.error().message, c.message);
    if (formatForPath(c.source) == SettingsFileFormat::Json) continue;
    EXPECT_EQ(codec.decodeSettingsBlock(c.bytes, model), DecodeResult::UnknownLayout);
    EXPECT_EQ(codec.LayoutMagic(), 0xF6860001u);
    EXPECT_EQ(Block(codec.readImage().begin(), codec.readImage().end()), earlier);
    EXPECT_TRUE(model.KeySlot == before.KeySlot && model.Imei == before.Imei);
  }
}

TEST(SettingsFile, BadInputGetsOneMessageAndChangesNothing) {
  const fs::path dir = fs::temp_directory_path() / "pelmora-bad-input-test";
  fs::create_directories(dir / "locked");
  const std::string d = dir.string() + "/";
  const auto fields = [](const std::string& body) { return R"({"pelmora-settings": 1, "fields": {)" + body + "}}"; };
  enum class Made { File, Nothing, Directory, Fifo };
  struct Case {
    std::string name, content, message;
    Made made = Made::File;
    SettingsErrorKind kind = SettingsErrorKind::BadInput;
  };
  std::string manyUnknown = R"({"pelmora-settings": 1, "fields": {"SmsReportIntervall": 5)";
  for (int i = 0; i < 90000; ++i) manyUnknown += ",\"k" + std::to_string(i) + "\":1";
  manyUnknown += "}}";
  const std::string cutX = std::string(60, 'x') + "\u2026";  // a quoted value of x's, cut to 60 characters
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
      // A profile keeps each field's rule, named as the window shows it.
      {"pw.json", fields(R"("SmsPassword": "12")"),
       "pw.json: SmsPassword (Sms Track, Password) is \"12\": has 2 digits; the rule is exactly 6 digits"},
      {"ip.json", fields(R"("ServerIp": "300.1.1.1")"),
       "ip.json: ServerIp (Transport, Server IP (TCP  transport protocols  setting)) is \"300.1.1.1\": is not four "
       "numbers 0-255 separated by dots; the rule is four numbers 0-255 separated by dots, or empty"},
      {"port.json", fields(R"("AgpsPort": 65536)"),
       "port.json: AgpsPort (AGPS, Port) is 65536: is not a port 1-65535; the rule is a port 1-65535, or empty"},
      {"kmh.json", fields(R"("OverspeedIndex": "85 km/h")"),
       "kmh.json: OverspeedIndex (Misc, Overspeed Alarm Setting) is \"85 km/h\": names none of the chooser's items; "
       "the rule is one of the chooser's items, 0 \"Disable Overspeed Alarm\" to 20 \"200Km/h\""},
      {"on.json", fields(R"("LedsOff": 2)"),
       "on.json: LedsOff (Misc, Switch all LEDs off while the tracker works. (Extended settings)) is 2: is neither 0 "
       "nor 1; the rule is 0 (off) or 1 (on)"},
      {"tz.json", fields(R"("TimeZoneMinutes": 481)"),
       "tz.json: TimeZoneMinutes (Misc, Time Zone Setting) is 481: is none of the chooser's items; the rule is one of "
       "the chooser's items, -720 \"GMT-12\" to 720 \"GMT+12\""},
      {"k.json", R"({"pelmora-settings": 2, "fields": {}})", "k.json: settings format version 2 is not supported (this tool reads version 1)"},
      {"l.img", std::string(3000, '\0'), "l.img: 3000 bytes, but a Basic settings image (as its first word says) has 3180"},
      {"missing.json", "", d + "missing.json: cannot be read (No such file or directory)", Made::Nothing,
       SettingsErrorKind::CannotRead},
      // Files of an image's size that are text, not images.
      {"fleet.txt", textOfSize("imei,phone,apn\n490154203237518,+15550100,internet\n", 3180),
       "fleet.txt: 3180 bytes of text, not a settings image"},
      {"notes.img", textOfSize("\xcf\xe0\xf0\xee\xeb\xfc 123456\r\n", 3384), "notes.img: 3384 bytes of text, not a settings image"},
      {"unicode.txt", utf16Text(u"\xFEFF") + textOfSize(utf16Text(u"\x041F\x0430\x0440\x043E\x043B\x044C 1234\r\n"), 3178),
       "unicode.txt: 3180 bytes of UTF-16 text, not a settings image"},
      // Keys given twice.
      {"n.json", "{\"pelmora-settings\": 1,\n \"fields\": {\n  \"SmsPassword\": \"1111\",\n  \"LedsOff\": 1,\n"
                 "  \"SmsPassword\": \"2222\"\n }\n}",
       "n.json: line 5: \"SmsPassword\" is given twice (first at line 3)"},
      {"o.json", "{\"pelmora-settings\": 1,\n\"fields\": {\"LedsOff\": 1},\n\"fields\": {\"LedsOff\": 0}}",
       "o.json: line 3: \"fields\" is given twice (first at line 2)"},
      {"p.json", "{\"pelmora-settings\": 1, \"fields\": {}, \"pelmora-settings\": 1}",
       "p.json: line 1: \"pelmora-settings\" is given twice (first at line 1)"},
      {"q.json", fields(R"("Opaque4": {"hex": "01020304", "hex": "05060708"})"), "q.json: line 1: \"hex\" is given twice (first at line 1)"},
      // Nesting, numbers beyond a double, values too long to quote whole, many keys.
      {"r.json", fields("\n\"SmsPassword\": " + std::string(50000, '[') + std::string(50000, ']')),
       "r.json: line 2: nested more than 16 levels deep"},
      {"s.json", fields("\n\n\"LowPowerAlarmVoltage\": 1e400"), "s.json: line 3: LowPowerAlarmVoltage 1e400 is out of range"},
      {"t.json", fields(R"("SmsReportInterval": -)" + std::string(400000, '9')),
       "t.json: line 1: SmsReportInterval -" + std::string(59, '9') + "\u2026 is out of range"},
      {"u.json", R"({"pelmora-settings": 1, "fields": {}, "layout": ")" + std::string(1000000, 'x') + "\"}",
       "u.json: layout must be \"Basic\" or \"Extended\", not \"" + std::string(59, 'x') + "\u2026"},
      {"v.json", R"({"pelmora-settings": 1, ")" + std::string(1000000, 'x') + "\": 1}",
       "v.json: unknown entry \"" + cutX + "\" (known: \"pelmora-settings\", \"layout\", \"identity\", \"fields\")"},
      {"w.json", R"({"pelmora-settings": 1, "fields": {"SmsPassword": "1", "SmsPassword": ")" + std::string(1000000, 'x') + "\"}}",
       "w.json: line 1: \"SmsPassword\" is given twice (first at line 1)"},
      {"x.json", "{\n\"fields\": {\"" + std::string(1000000, 'x') + "}}",
       "x.json: not valid JSON at line 2, column 1000015: syntax error while parsing object key - invalid string: "
       "missing closing quote; last read: '\"" + std::string(59, 'x') + "\u2026'; expected string literal"},
      {"y.json", manyUnknown, R"(y.json: unknown field "SmsReportIntervall" (nearest known: SmsReportInterval))"},
      // What is not a file.
      {"folder.json", "", "folder.json: is a directory, not a settings file", Made::Directory},
#ifndef _WIN32
      {"pipe.json", "", "pipe.json: is a FIFO, not a settings file", Made::Fifo},
#endif
  };
  SettingsCodec codec;
  SettingsModel model;
  ASSERT_EQ(codec.decodeSettingsBlock(trackerImage(false, false), model), DecodeResult::Decoded);
  const Block before(codec.encodeSettingsBlock(model).begin(), codec.encodeSettingsBlock(model).end());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = (c.made == Made::Nothing ? d : "") + c.name;
    if (c.made == Made::File) std::ofstream(path, std::ios::binary) << c.content;
    if (c.made == Made::Directory) fs::create_directory(path);
#ifndef _WIN32
    if (c.made == Made::Fifo) {
      ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    }
#endif
    SettingsResult<SettingsDocument> file = loadSettingsFile(path);
    SettingsResult<SettingsModel> shown = file ? laidOverRead(codec, *file) : file.error();
    ASSERT_FALSE(shown);
    // Compared whole, shown clipped: a message that quotes a megabyte is a failure, not a megabyte of log.
    const SettingsError& error = shown.error();
    EXPECT_TRUE(error.message == c.message) << error.message.substr(0, 300) << "\nexpected " << c.message.substr(0, 300);
    EXPECT_EQ(error.kind, c.kind);
    fs::remove_all(path);
  }
  EXPECT_EQ(Block(codec.encodeSettingsBlock(model).begin(), codec.encodeSettingsBlock(model).end()), before);
  const SettingsStatus unwritable = saveSettingsFile(d + "locked", *documentFromImage(before, "x"));
  ASSERT_FALSE(unwritable);
  EXPECT_EQ(unwritable.error().message, d + "locked: cannot be written (Is a directory)");
  EXPECT_EQ(unwritable.error().kind, SettingsErrorKind::CannotWrite);
  EXPECT_TRUE(fs::is_empty(dir / "locked"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);  // no temporary left
  fs::remove_all(dir);
}

#ifndef _WIN32
std::string contentsOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Saving writes a regular file or a new name, whole or not at all, and keeps
// what the file was: its mode, a symbolic link as a link. Nothing else is
// opened or replaced, and no temporary file is left behind.
TEST(SettingsFile, SavingWritesOnlyRegularFilesWholeAndKeepsWhatTheyWere) {
  const fs::path dir = fs::temp_directory_path() / "pelmora-save-targets-test";
  const fs::path outside = fs::temp_directory_path() / "pelmora-save-targets-outside";
  fs::remove_all(dir);
  fs::remove_all(outside);
  fs::create_directories(dir);
  fs::create_directories(outside);
  const Block image = trackerImage(false, false);
  const SettingsDocument document = *documentFromImage(image, "read");
  const std::string saved(image.begin(), image.end()), old = "old contents";
  enum class Plant { Nothing, File, Fifo, LinkToFile, LinkToNothing, LinkAtOldTemporaryName };
  struct Case {
    std::string label;
    std::string target;  // a name in dir, or an absolute path
    Plant plant;
    ::mode_t mode;        // of the planted file; after a save, what the written file must have
    std::string message;  // after the target as given; empty: saved
    bool fileSizeLimit = false;
  };
  const Case cases[] = {
      {"new file", "new.img", Plant::Nothing, 0600, ""},
      {"mode kept", "secret.img", Plant::File, 0600, ""},
      {"group mode kept", "shared.img", Plant::File, 0640, ""},
      {"link written through", "link.img", Plant::LinkToFile, 0640, ""},
      {"planted link", "planted.img", Plant::LinkAtOldTemporaryName, 0600, ""},
      {"read-only", "locked.img", Plant::File, 0444, ": cannot be written (read-only)"},
      {"FIFO", "pipe.img", Plant::Fifo, 0600, ": cannot be written (a FIFO, not a regular file)"},
      {"dangling link", "dangling.img", Plant::LinkToNothing, 0, ": cannot be written (a symbolic link to a file that does not exist)"},
      {"device", "/dev/null", Plant::Nothing, 0, ": cannot be written (a device, not a regular file)"},
      {"full device", "/dev/full", Plant::Nothing, 0, ": cannot be written (a device, not a regular file)"},
      {"write fails", "big.img", Plant::File, 0600, ": cannot be written (File too large)", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const fs::path path = c.target[0] == '/' ? fs::path(c.target) : dir / c.target;
    const fs::path real = c.plant == Plant::LinkToFile ? outside / "real.img" : path;
    const fs::path victim = outside / "victim";
    if (c.plant == Plant::File || c.plant == Plant::LinkToFile) {
      std::ofstream(real, std::ios::binary) << old;
      fs::permissions(real, static_cast<fs::perms>(c.mode));
    }
    if (c.plant == Plant::LinkToFile) fs::create_symlink(real, path);
    if (c.plant == Plant::LinkToNothing) fs::create_symlink(outside / "nothing", path);
    if (c.plant == Plant::Fifo) {
      ASSERT_EQ(::mkfifo(path.c_str(), c.mode), 0);
    }
    if (c.plant == Plant::LinkAtOldTemporaryName) {
      std::ofstream(victim) << old;
      fs::create_symlink(victim, path.string() + ".part");
    }
    // A file-size limit makes a write fail part way, as a full disk does.
    ::rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    const ::rlimit limit{100, before.rlim_max};
    void (*const handler)(int) = c.fileSizeLimit ? ::signal(SIGXFSZ, SIG_IGN) : nullptr;  // EFBIG, not a signal
    if (c.fileSizeLimit) ::setrlimit(RLIMIT_FSIZE, &limit);
    const SettingsStatus written = saveSettingsFile(path.string(), document);
    if (c.fileSizeLimit) {
      ::setrlimit(RLIMIT_FSIZE, &before);
      ::signal(SIGXFSZ, handler);
    }

    struct ::stat after {};
    const bool exists = ::stat(real.c_str(), &after) == 0;
    if (c.message.empty()) {
      EXPECT_TRUE(written) << written.error().message;
      EXPECT_EQ(contentsOf(real), saved);
      EXPECT_EQ(after.st_mode & 07777, c.mode);
    } else {
      ASSERT_FALSE(written);
      EXPECT_EQ(written.error().message, path.string() + c.message);
      EXPECT_EQ(written.error().kind, SettingsErrorKind::CannotWrite);
      // What was there is still there, as it was.
      if (c.plant == Plant::File) {
        EXPECT_EQ(contentsOf(real), old);
        EXPECT_EQ(after.st_mode & 07777, c.mode);
      }
      EXPECT_TRUE(c.plant != Plant::Fifo || (exists && S_ISFIFO(after.st_mode)));
      EXPECT_TRUE(c.target[0] != '/' || (exists && S_ISCHR(after.st_mode)));
    }
    EXPECT_TRUE((c.plant != Plant::LinkToFile && c.plant != Plant::LinkToNothing) || fs::is_symlink(path));
    EXPECT_TRUE(c.plant != Plant::LinkAtOldTemporaryName || contentsOf(victim) == old);
  }
  // Nothing but what was planted and saved: no temporary file anywhere.
  for (const fs::path& folder : {dir, outside})
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
      EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
  fs::remove_all(dir);
  fs::remove_all(outside);
}
#endif

}  // namespace
}  // namespace pelmora
