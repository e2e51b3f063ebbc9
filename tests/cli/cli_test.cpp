// pelmora-cli as a fleet installer runs it: the program itself, its exit
// status and output, against simulated trackers on pseudo-terminals mapped
// to COM5.. through the user's settings file. What reached each tracker is
// the tracker's own record.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tools/simtracker/demo_images.h"
#include "tools/simtracker/sim_tracker.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using sim::SimBehaviour;
using sim::SimOptions;
using sim::SimTracker;
using ::testing::HasSubstr;
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
  void startTrackers(const std::vector<std::pair<Bytes, SimBehaviour>>& trackers) {
    std::string conf = "[Ports]\nAutomatic=no\n";
    for (const auto& [image, behaviour] : trackers) {
      SimOptions options;
      options.image = image;
      options.behaviour = behaviour;
      trackers_.push_back(std::make_unique<SimTracker>(options));
      ASSERT_TRUE(trackers_.back()->start()) << trackers_.back()->errorText();
      conf += "COM" + std::to_string(4 + trackers_.size()) + "=" + trackers_.back()->devicePath() + "\n";
    }
    writeText(dir_ / "KVL" / "COMM.conf", conf);
  }

  SimTracker& tracker(int com) { return *trackers_.at(static_cast<std::size_t>(com - 5)); }

  CliRun cli(const std::vector<std::string>& args) {
    CliRun run;
    const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
    const pid_t pid = fork();
    if (pid == 0) {
      setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
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
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readText(out);
    run.err = readText(err);
    return run;
  }

  fs::path path(const std::string& name) const { return dir_ / name; }

  fs::path dir_;
  std::vector<std::unique_ptr<SimTracker>> trackers_;
};

TEST_F(Cli, ReadsToAnImageAndToJsonAndDiffsAgainstIt) {
  startTrackers({{sim::extendedDemoImage(), fast()}});
  ASSERT_EQ(cli({"read", "COM5", "-o", path("t.pelmora-image")}).status, 0);
  const std::string image = readText(path("t.pelmora-image"));
  EXPECT_EQ(Bytes(image.begin(), image.end()), sim::extendedDemoImage());

  const CliRun json = cli({"read", "COM5", "-o", "-"});
  ASSERT_EQ(json.status, 0) << json.err;
  const auto document = nlohmann::json::parse(json.out);
  EXPECT_EQ(document["layout"], "Extended");
  EXPECT_TRUE(document["fields"].contains("SmsReportInterval"));
  writeText(path("t.json"), json.out);
  const CliRun same = cli({"diff", path("t.json"), "COM5"});
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(same.out, "No differences\n");
  writeText(path("p.json"), R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})");
  const CliRun profile = cli({"diff", "COM5", path("p.json")});
  EXPECT_EQ(profile.status, 0) << profile.err;
  EXPECT_THAT(profile.out, HasSubstr("SmsReportInterval:"));
  const CliRun dry = cli({"write", "--dry-run", "COM5", path("p.json")});
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_THAT(dry.out, HasSubstr("-> 45"));
  EXPECT_EQ(tracker(5).counters().writeSettings, 0u);
}

// Five trackers at once: one silent, one refusing writes, one that says it
// stored a write but did not. The other two are verified, the report has a line for each, and the status is 1. The write
// differs from what was read in the profile's field (Extended offset 88,
// Basic 20) and in the header alone.
TEST_F(Cli, AppliesToManyTrackersAndReportsEach) {
  SimBehaviour silent = fast(), refusing = fast(), forgetting = fast();
  silent.silent = true;
  refusing.refuseWrites = true;
  forgetting.forgetWrites = true;
  startTrackers({{sim::extendedDemoImage(), fast()},
                 {sim::basicDemoImage(), silent},
                 {sim::basicDemoImage(), refusing},
                 {sim::basicDemoImage(), fast()},
                 {sim::basicDemoImage(), forgetting}});
  writeText(path("p.json"), R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})");

  const CliRun run = cli({"apply", path("p.json"), "COM5", "COM6", "COM7", "COM8", "COM9", "--report", path("r.jsonl")});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_THAT(run.out, HasSubstr("1 field changed  verified"));
  std::istringstream report(readText(path("r.jsonl")));
  std::map<std::string, nlohmann::json> byPort;
  for (std::string line; std::getline(report, line);) {
    const auto record = nlohmann::json::parse(line);
    byPort[record["port"]] = record;
  }
  ASSERT_EQ(byPort.size(), 5u);
  EXPECT_TRUE(byPort["COM5"]["verified"]);
  EXPECT_TRUE(byPort["COM8"]["verified"]);
  EXPECT_EQ(byPort["COM6"]["failure"], "no tracker answering");
  EXPECT_FALSE(byPort["COM7"]["verified"]);
  EXPECT_EQ(byPort["COM9"]["failure"], "not verified: the tracker holds other values in SmsReportInterval");
  Bytes expected = sim::extendedDemoImage();
  std::fill_n(expected.begin(), 68, 0);  // the header goes out as zeros
  expected[88] = 45;
  EXPECT_EQ(tracker(5).writtenImage(), expected);
  EXPECT_EQ(tracker(8).writtenImage()[20], 45);  // Basic offset
  EXPECT_EQ(tracker(6).counters().writeSettings, 0u);
  EXPECT_TRUE(tracker(7).writtenImage().empty());
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
      {"no tracker answering", {"write", "COM6", path("p.json")}, 1, "no tracker answering"},
      {"damaged reply", {"write", "COM7", path("p.json")}, 1, "damaged"},
      {"incomplete image", {"write", "COM8", path("p.json")}, 1, "incomplete (100 of 3180 bytes)"},
      {"usage", {"write", "COM5"}, 2, "FILE"},
      {"port map unreadable: --all would take every device present",
       {"apply", path("p.json"), "--all"},
       2,
       "--all refused: the port map could not be read (" + conf + " is a folder, not a file)",
       true},
  };
  for (const Case& c : cases) {
    if (c.settingsFolder && fs::remove(conf)) fs::create_directory(conf);
    const CliRun run = cli(c.args);
    EXPECT_EQ(run.status, c.status) << c.label << "\n" << run.err;
    EXPECT_THAT(run.err + run.out, HasSubstr(c.message)) << c.label;
  }
  for (int com = 5; com <= 9; ++com) EXPECT_EQ(tracker(com).counters().writeSettings, 0u) << "COM" << com;
}

}  // namespace
}  // namespace pelmora
