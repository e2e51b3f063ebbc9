// pelmora-cli as a fleet installer runs it: the program itself, its exit
// status and output, against simulated trackers on pseudo-terminals mapped
// to COM5.. through the user's settings file. What reached each tracker is
// the tracker's own record.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "settings/field_catalogue.h"
#include "settings/settings_codec.h"
#include "settings/settings_layout.h"
#include "sim/demo_images.h"
#include "sim/sim_tracker.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using sim::SimBehaviour;
using sim::SimOptions;
using sim::SimTracker;
using ::testing::HasSubstr;
using ::testing::Not;
using Bytes = std::vector<std::uint8_t>;

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string readText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

SimBehaviour fast() {
  SimBehaviour behaviour;
  behaviour.baud = 0;
  return behaviour;
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/pelmora-cli-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    fs::create_directories(dir_ / "KVL");
  }
  void TearDown() override {
    trackers_.clear();
    fs::remove_all(dir_);
  }

  // Trackers on COM5, COM6, ... in the order given; no other port exists.
  // Those from `unmapped` on are reached by their device path alone.
  void startTrackers(const std::vector<std::pair<Bytes, SimBehaviour>>& trackers, std::size_t unmapped = 99) {
    std::string conf = "[Ports]\nAutomatic=no\n";
    for (const auto& [image, behaviour] : trackers) {
      SimOptions options;
      options.image = image;
      options.behaviour = behaviour;
      options.log = trackerLog;
      trackers_.push_back(std::make_unique<SimTracker>(options));
      ASSERT_TRUE(trackers_.back()->start()) << trackers_.back()->errorText();
      if (trackers_.size() <= unmapped)
        conf += "COM" + std::to_string(4 + trackers_.size()) + "=" + trackers_.back()->devicePath() + "\n";
    }
    writeText(dir_ / "KVL" / "COMM.conf", conf);
  }

  SimTracker& tracker(int com) { return *trackers_.at(static_cast<std::size_t>(com - 5)); }

  CliRun cli(const std::vector<std::string>& args) { return finish(launch(args)); }

  // The program started, its output going to files; finish() waits for it.
  pid_t launch(const std::vector<std::string>& args) {
    const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
    const pid_t pid = fork();
    if (pid == 0) {
      setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
      setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
      const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(o, STDOUT_FILENO);
      dup2(e, STDERR_FILENO);
      std::vector<char*> argv{const_cast<char*>(PELMORA_CLI)};
      for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      execv(PELMORA_CLI, argv.data());
      _exit(127);
    }
    return pid;
  }

  CliRun finish(pid_t pid) {
    CliRun run;
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readText(dir_ / "stdout");
    run.err = readText(dir_ / "stderr");
    return run;
  }

  // The report's records by port.
  std::map<std::string, nlohmann::json> report(const fs::path& file) const {
    std::istringstream lines(readText(file));
    std::map<std::string, nlohmann::json> byPort;
    for (std::string line; std::getline(lines, line);) {
      const auto record = nlohmann::json::parse(line);
      byPort[record["port"]] = record;
    }
    return byPort;
  }

  fs::path path(const std::string& name) const { return dir_ / name; }

  // A byte of what the tracker on COMn stored from a write; -1 before any.
  int writtenByte(int com, std::size_t offset) {
    const Bytes written = tracker(com).writtenImage();
    return offset < written.size() ? written[offset] : -1;
  }

  // Where the settings read before each write are kept.
  fs::path historyFolder() const { return dir_ / "data" / "pelmora" / "history"; }
  std::vector<fs::path> keptImages() const {
    std::vector<fs::path> images;
    std::error_code error;
    for (fs::directory_iterator it(historyFolder(), error), end; !error && it != end; it.increment(error))
      if (it->path().extension() == ".pelmora-image") images.push_back(it->path());
    std::sort(images.begin(), images.end());
    return images;
  }

  // Each line the trackers log, from their threads (set before startTrackers).
  std::function<void(std::string_view)> trackerLog;
  fs::path dir_;
  std::vector<std::unique_ptr<SimTracker>> trackers_;
};

TEST_F(Cli, ReadsToAnImageAndToJsonAndDiffsAgainstIt) {
  SimBehaviour silent = fast();
  silent.silent = true;
  startTrackers({{sim::extendedDemoImage(), fast()}, {sim::extendedDemoImage(), silent}});
  ASSERT_EQ(cli({"read", "COM5", "-o", path("t.pelmora-image")}).status, 0);
  const std::string image = readText(path("t.pelmora-image"));
  EXPECT_EQ(Bytes(image.begin(), image.end()), sim::extendedDemoImage());

  const CliRun json = cli({"read", "COM5", "-o", "-"});
  ASSERT_EQ(json.status, 0) << json.err;
  auto document = nlohmann::json::parse(json.out);
  EXPECT_EQ(document["layout"], "Extended");
  ASSERT_EQ(document["fields"]["SmsReportInterval"], 30);  // the demo's values the rows below name
  ASSERT_EQ(document["fields"]["OverspeedIndex"], 8);
  ASSERT_EQ(document["identity"]["Imei"], "490154203237518");
  writeText(path("t.json"), json.out);
  document["identity"]["Imei"] = "490154203237526";
  writeText(path("other-id.json"), document.dump());
  document["fields"]["SmsReportInterval"] = 45;
  document["fields"]["OverspeedIndex"] = 3;
  writeText(path("changed.json"), document.dump());
  writeText(path("p.json"), R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})");
  writeText(path("same.json"), R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 30}})");
  writeText(path("bad.json"), R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": }})");

  const std::string interval = "SmsReportInterval (Sms Track, SMS Report Interval): 30 min -> 45 min\n";
  struct Case {
    const char* label;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> said;
    std::vector<std::string> unsaid;
  };
  const std::vector<Case> cases = {
      {"a file and its tracker", {"diff", path("t.json"), "COM5"}, 0,
       {"No differences\n", "Identity (never a difference):\n", "  Imei: \"490154203237518\"\n"}, {" -> "}},
      {"another tracker's identity is no difference", {"diff", path("t.json"), path("other-id.json")}, 0,
       {"No differences\n", "Imei: \"490154203237518\" -> \"490154203237526\""}, {}},
      {"labels beside keys, values in words", {"diff", path("t.json"), path("changed.json")}, 1,
       {interval, "OverspeedIndex (Misc, Overspeed Alarm Setting): 80Km/h -> 30Km/h\n"}, {"No differences"}},
      {"a profile is compared in its own fields only", {"diff", "COM5", path("p.json")}, 1, {interval},
       {"(not set)", "SmsPassword", "No differences"}},
      {"a profile that agrees", {"diff", path("same.json"), "COM5"}, 0, {"No differences"}, {"(not set)"}},
      {"a bad file is trouble", {"diff", path("t.json"), path("bad.json")}, 2, {"bad.json"}, {"No differences"}},
      {"a missing file is trouble", {"diff", path("none.json"), path("t.json")}, 2, {"none.json"}, {}},
      {"no tracker is trouble, not a difference", {"diff", path("t.json"), "COM6"}, 2, {"no tracker answering"}, {}},
      {"a dry run lists each change in words", {"write", "--dry-run", "COM5", path("p.json")}, 0, {interval}, {}},
      {"so does apply's", {"apply", "--dry-run", path("p.json"), "COM5"}, 0, {"1 field changed\n  " + interval}, {}},
  };
  for (const Case& c : cases) {
    const CliRun run = cli(c.args);
    EXPECT_EQ(run.status, c.status) << c.label << "\n" << run.err;
    for (const std::string& part : c.said) EXPECT_THAT(run.out + run.err, HasSubstr(part)) << c.label;
    for (const std::string& part : c.unsaid) EXPECT_THAT(run.out, Not(HasSubstr(part))) << c.label;
  }
  EXPECT_EQ(tracker(5).counters().writeSettings, 0u);

  const CliRun asJson = cli({"diff", "--json", path("t.json"), path("changed.json")});
  EXPECT_EQ(asJson.status, 1) << asJson.err;
  const auto diff = nlohmann::json::parse(asJson.out);
  EXPECT_FALSE(diff["same"]);
  ASSERT_EQ(diff["changes"].size(), 2u);
  const nlohmann::json expected = {{"key", "SmsReportInterval"}, {"page", "Sms Track"},
                                   {"label", "SMS Report Interval"}, {"label_ru", "Интервал SMS"},
                                   {"before", 30}, {"after", 45}, {"before_text", "30 min"}, {"after_text", "45 min"},
                                   {"unit", "min"}};
  EXPECT_EQ(diff["changes"][0], expected);
  EXPECT_EQ(diff["changes"][1]["after_text"], "30Km/h");
  const nlohmann::json imei = {{"key", "Imei"}, {"before", "490154203237518"}, {"after", "490154203237526"}};
  EXPECT_THAT(diff["identity"], ::testing::Contains(imei));
}

// The field catalogue as a table on a terminal, as JSON with the Russian
// labels, and as the Markdown of docs/fields.md: a row for every field.
TEST_F(Cli, FieldsListsEveryCatalogueEntry) {
  const CliRun columns = cli({"fields"});
  ASSERT_EQ(columns.status, 0) << columns.err;
  std::istringstream lines(columns.out);
  std::vector<std::string> keys;
  for (std::string line; std::getline(lines, line);)
    if (!line.starts_with("KEY") && !line.starts_with("    choices: ")) keys.push_back(line.substr(0, line.find(' ')));
  const CliRun markdown = cli({"fields", "--markdown"});
  ASSERT_EQ(markdown.status, 0) << markdown.err;
  const CliRun json = cli({"fields", "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  const auto list = nlohmann::json::parse(json.out);

  ASSERT_EQ(keys.size(), fieldCatalogue().size());
  ASSERT_EQ(list.size(), fieldCatalogue().size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::string key(fieldCatalogue()[i].key);
    EXPECT_EQ(keys[i], key);
    EXPECT_EQ(list[i]["key"], key);
    EXPECT_THAT(markdown.out, HasSubstr("| `" + key + "` |"));
  }
  const auto trackerId = std::find_if(list.begin(), list.end(), [](const auto& f) { return f["key"] == "TrackerId"; });
  ASSERT_NE(trackerId, list.end());
  EXPECT_EQ((*trackerId)["label_ru"], "ID трекера (Передача по TCP)");
  EXPECT_EQ((*trackerId)["rule"], "1 to 14 digits");
  EXPECT_THAT(markdown.out, HasSubstr("| Tracker ID (TCP  transport protocols  setting) | ID трекера (Передача по TCP) |"));
  EXPECT_THAT(columns.out, HasSubstr("    choices: -720 GMT-12, -660 GMT-11,"));
}

// Six trackers at once: one silent, one refusing writes, one that says it
// stored a write but did not, one that never answers a write. The other two
// are verified, the report has a line for each with where it stands, and the
// status is 1. The write differs from what was read in the profile's field
// (Extended offset 88, Basic 20) and in the header alone.
TEST_F(Cli, AppliesToManyTrackersAndReportsEach) {
  SimBehaviour silent = fast(), refusing = fast(), forgetting = fast(), unanswering = fast();
  silent.silent = true;
  refusing.refuseWrites = true;
  forgetting.forgetWrites = true;
  unanswering.ignoreWrites = true;
  startTrackers({{sim::extendedDemoImage(), fast()},
                 {sim::basicDemoImage(), silent},
                 {sim::basicDemoImage(), refusing},
                 {sim::basicDemoImage(), fast()},
                 {sim::basicDemoImage(), forgetting},
                 {sim::basicDemoImage(), unanswering}});
  writeText(path("p.json"), R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})");

  const CliRun run =
      cli({"apply", path("p.json"), "COM5", "COM6", "COM7", "COM8", "COM9", "COM10", "--report", path("r.jsonl")});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_THAT(run.out, HasSubstr("1 field changed  verified"));
  std::map<std::string, nlohmann::json> byPort = report(path("r.jsonl"));
  ASSERT_EQ(byPort.size(), 6u);
  EXPECT_TRUE(byPort["COM5"]["verified"]);
  EXPECT_EQ(byPort["COM5"]["state"], "written and verified");
  EXPECT_TRUE(byPort["COM8"]["verified"]);
  EXPECT_EQ(byPort["COM6"]["failure"], "no tracker answering");
  EXPECT_EQ(byPort["COM6"]["state"], "not written");
  EXPECT_FALSE(byPort["COM7"]["verified"]);
  EXPECT_EQ(byPort["COM9"]["failure"], "not verified: the tracker holds other values in SmsReportInterval");
  EXPECT_EQ(byPort["COM9"]["state"], "written, not verified");
  // The write reached the tracker and no reply came: nobody knows what it holds.
  EXPECT_EQ(tracker(10).counters().writeSettings, 1u);
  EXPECT_TRUE(byPort["COM10"]["written"].is_null());
  EXPECT_EQ(byPort["COM10"]["state"], "unknown: the write got no reply");
  EXPECT_EQ(byPort["COM10"]["failure"], "no reply: the tracker may hold the new settings; read it again");
  Bytes expected = sim::extendedDemoImage();
  std::fill_n(expected.begin(), 68, 0);  // the header goes out as zeros
  expected[88] = 45;
  EXPECT_EQ(tracker(5).writtenImage(), expected);
  EXPECT_EQ(writtenByte(8, 20), 45);  // Basic offset
  EXPECT_EQ(tracker(6).counters().writeSettings, 0u);
  EXPECT_TRUE(tracker(7).writtenImage().empty());
}

// A tracker that refuses the profile fails alone (1: another was written),
// and two device paths outside the port map are two trackers, while one
// device named twice is refused before anything is sent.
TEST_F(Cli, ApplyTellsTrackersApartAndFailsOnlyTheOneThatRefuses) {
  startTrackers({{sim::extendedDemoImage(), fast()},
                 {sim::basicDemoImage(), fast()},
                 {sim::basicDemoImage(), fast()},
                 {sim::basicDemoImage(), fast()}},
                2);
  // 80 units: the Extended layout keeps 100, the Basic one 64.
  writeText(path("apn.json"),
            R"({"pelmora-settings": 1, "fields": {"ApnName": ")" + std::string(80, 'a') + R"("}})");
  writeText(path("p.json"), R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})");

  const CliRun mixed = cli({"apply", path("apn.json"), "COM5", "COM6", "--report", path("r.jsonl")});
  EXPECT_EQ(mixed.status, 1) << mixed.err;
  EXPECT_EQ(tracker(5).counters().writeSettings, 1u);
  EXPECT_EQ(tracker(6).counters().writeSettings, 0u);
  EXPECT_THAT(report(path("r.jsonl"))["COM6"]["failure"].get<std::string>(), HasSubstr("ApnName"));

  const CliRun twice = cli({"apply", path("p.json"), tracker(7).devicePath(), tracker(7).devicePath()});
  EXPECT_EQ(twice.status, 2);
  EXPECT_THAT(twice.err, HasSubstr("named twice"));
  EXPECT_EQ(tracker(7).counters().bytesReceived, 0u);

  const CliRun paths = cli({"apply", path("p.json"), tracker(7).devicePath(), tracker(8).devicePath()});
  EXPECT_EQ(paths.status, 0) << paths.err;
  EXPECT_EQ(writtenByte(7, 20), 45);
  EXPECT_EQ(writtenByte(8, 20), 45);
}

// A whole settings file read from one tracker, written to another, would
// give it the first one's TrackerId: said before anything is written, and
// written only with --yes.
TEST_F(Cli, AWholeFileFromAnotherTrackerIsWrittenOnlyWithYes) {
  Bytes other = sim::extendedDemoImage();
  const auto putText = [&](std::size_t offset, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) other[offset + 2 * i] = static_cast<std::uint8_t>(text[i]);
  };
  putText(1104, "35900099999999");   // TrackerId, Extended offset
  putText(3320, "490154203237526");  // IMEI
  startTrackers({{sim::extendedDemoImage(), fast()}, {other, fast()}});
  ASSERT_EQ(cli({"read", "COM5", "-o", path("first.json")}).status, 0);

  const CliRun refused = cli({"write", "COM6", path("first.json")});
  EXPECT_EQ(refused.status, 2);
  for (const char* part : {"TrackerId", "35900012345678", "35900099999999", "490154203237518", "490154203237526"})
    EXPECT_THAT(refused.out + refused.err, HasSubstr(part));
  EXPECT_EQ(tracker(6).counters().writeSettings, 0u);

  const CliRun yes = cli({"write", "--yes", "COM6", path("first.json")});
  EXPECT_EQ(yes.status, 0) << yes.err;
  EXPECT_THAT(yes.err, HasSubstr("TrackerId differs"));
  EXPECT_EQ(writtenByte(6, 1104 + 2 * 6), '1');  // 359000[1]2345678: the first tracker's id
}

// An output that loses lines (a full device) fails the run once the
// trackers are done with; one that cannot be an output at all is refused
// before any tracker is touched.
TEST_F(Cli, ALostOutputIsAFailureAfterTheTrackersAreDone) {
  startTrackers({{sim::basicDemoImage(), fast()},
                 {sim::basicDemoImage(), fast()},
                 {sim::basicDemoImage(), fast()},
                 {sim::basicDemoImage(), fast()}});
  writeText(path("p.json"), R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})");
  struct Case {
    const char* label;
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"report", {"apply", path("p.json"), "COM5", "--report", "/dev/full"}, 1,
       "/dev/full: the report could not be written whole (No space left on device)"},
      {"trace", {"--trace", "/dev/full", "write", "COM6", path("p.json")}, 1,
       "/dev/full: the trace could not be written whole"},
      {"settings file", {"read", "COM7", "-o", path("missing/t.json")}, 1, "t.json: cannot be written"},
      {"report in a directory", {"apply", path("p.json"), "COM8", "--report", dir_}, 2,
       "cannot write the report there (a directory)"},
  };
  for (const Case& c : cases) {
    const CliRun run = cli(c.args);
    EXPECT_EQ(run.status, c.status) << c.label << "\n" << run.err;
    EXPECT_THAT(run.err, HasSubstr(c.message)) << c.label;
  }
  EXPECT_EQ(writtenByte(5, 20), 45);
  EXPECT_EQ(writtenByte(6, 20), 45);
  EXPECT_EQ(tracker(8).counters().bytesReceived, 0u);
}

// Ctrl-C while one tracker's write is on the line and another is still
// being read: the write is finished and verified, the other is left before
// writing, each is reported, and the status is 130. A second interrupt
// ends the program at once.
TEST_F(Cli, AnInterruptFinishesTheWriteOnTheLineAndSaysWhereEachTrackerStands) {
  SimBehaviour slow = fast(), unread = fast(), unanswering = fast();
  slow.replyDelayMs = 300;  // the write is still on the line when the interrupt comes
  unread.ignoreReads = true;
  unanswering.ignoreWrites = true;
  startTrackers({{sim::basicDemoImage(), slow}, {sim::basicDemoImage(), unread}, {sim::basicDemoImage(), unanswering}});
  writeText(path("p.json"), R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})");

  const pid_t once = launch({"apply", path("p.json"), "COM5", "COM6", "--report", path("r.jsonl")});
  ASSERT_TRUE(tracker(5).waitFor([](const sim::SimCounters& c) { return c.writeSettings == 1; },
                                 std::chrono::seconds(20)));
  kill(once, SIGINT);
  const CliRun interrupted = finish(once);
  EXPECT_EQ(interrupted.status, 130) << interrupted.err;
  std::map<std::string, nlohmann::json> byPort = report(path("r.jsonl"));
  EXPECT_EQ(byPort["COM5"]["state"], "written and verified");
  EXPECT_EQ(byPort["COM6"]["state"], "interrupted before writing");
  EXPECT_EQ(tracker(5).counters().readSettings, 2u);  // read, and read back after the interrupt
  EXPECT_EQ(tracker(6).counters().writeSettings, 0u);
  EXPECT_THAT(interrupted.err, HasSubstr("COM6  interrupted before writing"));

  // The write to COM7 is never answered: only a second interrupt ends the wait for it.
  const pid_t twice = launch({"write", "COM7", path("p.json")});
  ASSERT_TRUE(tracker(7).waitFor([](const sim::SimCounters& c) { return c.writeSettings == 1; },
                                 std::chrono::seconds(20)));
  kill(twice, SIGINT);
  for (int i = 0; i < 2000 && readText(path("stderr")).find("interrupted:") == std::string::npos; ++i) usleep(5000);
  kill(twice, SIGINT);
  const CliRun stopped = finish(twice);
  EXPECT_EQ(stopped.status, 130);
  EXPECT_THAT(stopped.err, HasSubstr("interrupt again to stop at once"));
  EXPECT_THAT(stopped.err, Not(HasSubstr("where each tracker stands")));
}

// Every bad input: one message naming what is wrong, the documented status,
// and no write request reaches any tracker.
TEST_F(Cli, BadInputIsNamedAndNothingIsWritten) {
  SimBehaviour silent = fast(), damaged = fast(), cut = fast();
  silent.silent = true;
  damaged.badSettingsChecksum = true;
  cut.shortImage = 100;
  startTrackers({{sim::basicDemoImage(), fast()},
                 {sim::basicDemoImage(), silent},
                 {sim::basicDemoImage(), damaged},
                 {sim::basicDemoImage(), cut},
                 {sim::basicDemoImage(), fast()}});
  writeText(path("p.json"), R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})");
  writeText(path("bad.json"), "{\"pelmora-settings\": 1,\n \"fields\": {\"SmsReportInterval\": }}");
  writeText(path("id.json"), R"({"pelmora-settings": 1, "fields": {"TrackerId": "123"}})");
  writeText(path("pw.json"), R"({"pelmora-settings": 1, "fields": {"SmsPassword": "12"}})");
  writeText(path("ip.json"), R"({"pelmora-settings": 1, "fields": {"ServerIp": "300.1.1.1"}})");

  struct Case {
    const char* label;
    std::vector<std::string> args;
    int status;
    std::string message;
    bool settingsFolder = false;  // the settings file replaced by a folder (last row: it stays so)
  };
  const std::string conf = (dir_ / "KVL" / "COMM.conf").string();
  const std::vector<Case> cases = {
      {"unmapped port", {"write", "COM42", path("p.json")}, 2, "COM42: no device"},
      {"not a port", {"write", "LPT1", path("p.json")}, 2, "LPT1: not a port"},
      {"malformed profile", {"write", "COM5", path("bad.json")}, 2, "bad.json"},
      {"one tracker's id to two", {"apply", path("id.json"), "COM5", "COM9"}, 2, "TrackerId"},
      {"a password the window would refuse", {"write", "COM5", path("pw.json")}, 2,
       "pw.json: SmsPassword (Sms Track, Password) is \"12\": has 2 digits; the rule is exactly 6 digits"},
      {"an address past 255, to many", {"apply", path("ip.json"), "COM5", "COM9"}, 2,
       "ip.json: ServerIp (Transport, Server IP (TCP  transport protocols  setting)) is \"300.1.1.1\""},
      {"no tracker answering", {"write", "COM6", path("p.json")}, 1, "no tracker answering"},
      {"damaged reply", {"write", "COM7", path("p.json")}, 1, "damaged"},
      {"incomplete image", {"write", "COM8", path("p.json")}, 1, "incomplete (100 of 3180 bytes)"},
      {"usage", {"write", "COM5"}, 2, "FILE"},
      {"port map unreadable: --all would take every device present",
       {"apply", path("p.json"), "--all"},
       2,
       "--all refused: the port map could not be read (" + conf + ": is a directory, not a settings file)",
       true},
      {"a directory as the port", {"write", dir_, path("p.json")}, 2, "is a directory, not a serial device"},
      {"a device path named as written", {"write", "/dev/pelmora-none", path("p.json")}, 2,
       "The device of /dev/pelmora-none does not exist"},
      {"swapped, a number", {"write", path("p.json"), "COM9"}, 2,
       "arguments swapped? usage: pelmora-cli write PORT FILE"},
      {"swapped, a device", {"write", path("p.json"), "/dev/null"}, 2, "arguments swapped?"},
      {"a long name cut", {"write", "LPT" + std::string(100, 'x'), path("p.json")}, 2,
       "LPT" + std::string(54, 'x') + "...: not a port"},
  };
  for (const Case& c : cases) {
    if (c.settingsFolder && fs::remove(conf)) fs::create_directory(conf);
    const CliRun run = cli(c.args);
    EXPECT_EQ(run.status, c.status) << c.label << "\n" << run.err;
    EXPECT_THAT(run.err + run.out, HasSubstr(c.message)) << c.label;
  }
  for (int com = 5; com <= 9; ++com) EXPECT_EQ(tracker(com).counters().writeSettings, 0u) << "COM" << com;
  EXPECT_EQ(tracker(9).counters().bytesReceived, 0u);  // named only where it was refused
}

// Every write keeps the tracker's settings as read before the write request
// goes out; when they cannot be kept nothing is sent.
TEST_F(Cli, EveryWriteKeepsTheSettingsReadBeforeTheRequestGoesOut) {
  std::atomic<int> keptAtWriteRequest{-1};
  trackerLog = [&](std::string_view line) {
    if (line.rfind("request: write settings", 0) == 0) keptAtWriteRequest = static_cast<int>(keptImages().size());
  };
  startTrackers({{sim::extendedDemoImage(), fast()}});
  const Bytes original = tracker(5).image();
  writeText(path("p.json"), R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})");
  writeText(path("q.json"), R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 60}})");
  writeText(path("blocker"), "a file where the data folder should be");
  const struct {
    const char* label;
    std::vector<std::string> args;
    bool historyBlocked;
    int status;
    std::size_t kept;     // images in the folder afterwards
    std::uint64_t writes;  // write requests the tracker has seen afterwards
  } rows[] = {
      {"write", {"write", "COM5", path("p.json")}, false, 0, 1, 1},
      {"apply", {"apply", path("q.json"), "COM5"}, false, 0, 2, 2},
      {"no folder for the history: nothing sent", {"write", "COM5", path("p.json")}, true, 1, 2, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    keptAtWriteRequest = -1;
    if (row.historyBlocked) {
      fs::rename(dir_ / "data", dir_ / "data.kept");
      fs::rename(path("blocker"), dir_ / "data");
    }
    const CliRun run = cli(row.args);
    if (row.historyBlocked) {
      fs::remove(dir_ / "data");
      fs::rename(dir_ / "data.kept", dir_ / "data");
    }
    EXPECT_EQ(run.status, row.status) << run.err;
    EXPECT_EQ(tracker(5).counters().writeSettings, row.writes);
    EXPECT_EQ(keptImages().size(), row.kept);
    if (row.historyBlocked) {
      EXPECT_THAT(run.out, HasSubstr("the tracker's settings cannot be kept before the write: " +
                                     historyFolder().string() + ": the folder cannot be made ("));
      EXPECT_THAT(run.out, HasSubstr("; nothing written"));
      EXPECT_EQ(keptAtWriteRequest, -1);
    } else {
      EXPECT_EQ(keptAtWriteRequest, static_cast<int>(row.kept)) << "kept before the request reached the tracker";
    }
  }
  // The first write's before-image is the tracker's settings as they were, byte for byte.
  const std::vector<fs::path> images = keptImages();
  ASSERT_EQ(images.size(), 2u);
  const std::string first = readText(images[0]);
  EXPECT_EQ(Bytes(first.begin(), first.end()), original);
  fs::path facts = images[0];
  const auto line = nlohmann::json::parse(readText(facts.replace_extension(".json")));
  EXPECT_EQ(line["tracker"], "490154203237518");
  EXPECT_EQ(line["program"], "cli");
  EXPECT_EQ(line["port"], "COM5");
  EXPECT_EQ(line["verified"], true);
  EXPECT_EQ(line["changes"], nlohmann::json::parse(R"([{"field":"SmsReportInterval","before":"30","after":"45"}])"));
}

// restore puts a tracker's earlier settings back through the same write
// (which keeps what it holds now first), and only on the tracker they came from.
TEST_F(Cli, RestorePutsBackTheNewestOrAChosenImageOfThisTrackerOnly) {
  SettingsCodec codec;
  SettingsModel model;
  codec.decodeSettingsBlock(sim::extendedDemoImage(), model);
  model.Imei.assign(u"490154203237526");
  startTrackers({{sim::extendedDemoImage(), fast()}, {imageOfModel(model, Layout::Extended), fast()}});
  const Bytes original = tracker(5).image();
  writeText(path("p.json"), R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})");
  writeText(path("q.json"), R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 60, "ApnName": "other.apn"}})");
  ASSERT_EQ(cli({"write", "COM5", path("p.json")}).status, 0);
  ASSERT_EQ(cli({"write", "COM5", path("q.json")}).status, 0);
  const Bytes afterBoth = tracker(5).image();
  const CliRun listed = cli({"history", "--json", "490154203237518"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  const auto history = nlohmann::json::parse(listed.out);
  ASSERT_EQ(history.size(), 2u);
  const std::string firstWrite = history[0]["time"];

  struct Case {
    const char* label;
    std::vector<std::string> args;
    int status;
    const Bytes* holds;  // what COM5's tracker holds afterwards
    std::vector<std::string> said;
  };
  const std::vector<Case> cases = {
      {"a chosen time: back before the first write", {"restore", "COM5", "--at", firstWrite}, 0, &original,
       {"SmsReportInterval (Sms Track, SMS Report Interval): 60 min -> 30 min", "verified"}},
      {"the newest: the settings that restore replaced", {"restore", "COM5"}, 0, &afterBoth,
       {"SmsReportInterval (Sms Track, SMS Report Interval): 30 min -> 60 min"}},
      {"another tracker's image is refused", {"restore", "COM6", "--at", firstWrite}, 2, &afterBoth,
       {"are tracker 490154203237518's, this is tracker 490154203237526; nothing written (--other-tracker"}},
      {"a tracker with nothing kept", {"restore", "COM6"}, 2, &afterBoth,
       {"no settings kept for tracker 490154203237526 in " + historyFolder().string()}},
  };
  for (const Case& c : cases) {
    const CliRun run = cli(c.args);
    EXPECT_EQ(run.status, c.status) << c.label << "\n" << run.err;
    EXPECT_EQ(tracker(5).image(), *c.holds) << c.label;
    for (const std::string& part : c.said) EXPECT_THAT(run.out + run.err, HasSubstr(part)) << c.label;
  }
  EXPECT_EQ(tracker(6).counters().writeSettings, 0u);
  const CliRun lines = cli({"history"});
  EXPECT_EQ(std::count(lines.out.begin(), lines.out.end(), '\n'), 4) << lines.out;
  EXPECT_THAT(lines.out, HasSubstr("490154203237518  cli COM5  verified  SmsReportInterval, ApnName\n"));
}

}  // namespace
}  // namespace pelmora
