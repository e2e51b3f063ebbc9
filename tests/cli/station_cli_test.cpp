// pelmora-cli station against simulated trackers on pseudo-terminals that
// appear and vanish as [Ports] entries' links do when a hub's adapter is
// plugged: the record line by line, and what reached each tracker.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "settings/settings_codec.h"
#include "settings/settings_layout.h"
#include "settings/utf.h"
#include "sim/demo_images.h"
#include "sim/sim_tracker.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string readText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

std::vector<nlohmann::json> recordOf(const fs::path& path) {
  std::vector<nlohmann::json> lines;
  std::istringstream text(readText(path));
  for (std::string line; std::getline(text, line);) lines.push_back(nlohmann::json::parse(line));
  return lines;
}

// Waits (in real time; the guard only keeps a broken run from hanging) until `done`.
bool waitFor(const std::function<bool()>& done) {
  for (auto until = std::chrono::steady_clock::now() + 30s; std::chrono::steady_clock::now() < until;) {
    if (done()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

std::unique_ptr<sim::SimTracker> trackerWithImei(std::u16string_view imei) {
  SettingsCodec codec;
  SettingsModel model;
  codec.decodeSettingsBlock(sim::extendedDemoImage(), model);
  model.Imei.assign(imei);
  sim::SimOptions options;
  options.image = imageOfModel(model, Layout::Extended);
  options.behaviour.baud = 0;
  auto tracker = std::make_unique<sim::SimTracker>(options);
  return tracker->start() ? std::move(tracker) : nullptr;
}

TEST(StationCli, ConfiguresEachTrackerPluggedInOnceAndRecordsIt) {
  char pattern[] = "/tmp/pelmora-station-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path dir = pattern;
  fs::create_directories(dir / "KVL");
  const fs::path hub1 = dir / "hub1", hub2 = dir / "hub2";
  std::ofstream(dir / "KVL" / "COMM.conf") << "[Ports]\nAutomatic=no\nCOM5=" << hub1.string() << "\nCOM6="
                                           << hub2.string() << "\n";
  std::ofstream(dir / "fleet.json") << R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})";
  std::ofstream(dir / "values.csv") << "Imei,TrackerId\n490154203237518,8800123\n490154203237519,8800124\n";
  const auto a = trackerWithImei(u"490154203237518"), b = trackerWithImei(u"490154203237519"),
             c = trackerWithImei(u"490154203237599");
  ASSERT_TRUE(a && b && c);
  const std::vector<std::uint8_t> aBefore = a->image();

  const pid_t pid = fork();
  if (pid == 0) {
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
    const int out = open((dir / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open((dir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    const std::string profile = (dir / "fleet.json").string(), values = (dir / "values.csv").string(),
                      log = (dir / "record.jsonl").string(), csv = (dir / "summary.csv").string();
    execl(PELMORA_CLI, PELMORA_CLI, "station", profile.c_str(), "--values", values.c_str(), "--log", log.c_str(),
          "--csv", csv.c_str(), "--count", "3", static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto records = [&] { return recordOf(dir / "record.jsonl").size(); };
  // The board's lines: a port shows "waiting" again once the station has seen its tracker go.
  const auto waiting = [&](const std::string& port) {
    const std::string err = readText(dir / "stderr"), line = port + "  waiting\n";
    std::size_t n = 0;
    for (std::size_t at = err.find(line); at != std::string::npos; at = err.find(line, at + 1)) ++n;
    return n;
  };

  // Plugged, done; unplugged and plugged into the other port: done earlier, not written again.
  fs::create_symlink(a->devicePath(), hub1);
  EXPECT_TRUE(waitFor([&] { return records() == 1; }));
  fs::remove(hub1);
  EXPECT_TRUE(waitFor([&] { return waiting("COM5") == 2; }));
  fs::create_symlink(a->devicePath(), hub2);
  EXPECT_TRUE(waitFor([&] { return readText(dir / "stdout").find("done earlier") != std::string::npos; }));
  fs::remove(hub2);
  EXPECT_TRUE(waitFor([&] { return waiting("COM6") == 2; }));
  // Two at once, one of them not in the values file.
  fs::create_symlink(b->devicePath(), hub1);
  fs::create_symlink(c->devicePath(), hub2);
  int status = -1;
  EXPECT_TRUE(waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << readText(dir / "stderr");

  std::vector<nlohmann::json> record = recordOf(dir / "record.jsonl");
  ASSERT_EQ(record.size(), 3u);
  std::sort(record.begin(), record.end(), [](const auto& x, const auto& y) { return x["imei"] < y["imei"]; });
  EXPECT_EQ(record[0]["port"], "COM5");
  EXPECT_EQ(record[0]["verified"], true);
  EXPECT_EQ(record[1]["imei"], "490154203237519");
  EXPECT_EQ(record[1]["verified"], true);
  EXPECT_EQ(record[2]["imei"], "490154203237599");
  EXPECT_EQ(record[2]["failure"], "IMEI 490154203237599 not in " + (dir / "values.csv").string() + "; nothing written");
  // Each written tracker's settings before its write, for undoing the batch tracker by tracker.
  ASSERT_TRUE(record[0].contains("beforeImage"));
  const std::string kept = readText(record[0]["beforeImage"].get<std::string>());
  EXPECT_EQ(std::vector<std::uint8_t>(kept.begin(), kept.end()), aBefore);
  EXPECT_FALSE(record[2].contains("beforeImage"));
  EXPECT_EQ(a->counters().writeSettings, 1u);
  EXPECT_EQ(b->counters().writeSettings, 1u);
  EXPECT_EQ(c->counters().writeSettings, 0u);
  SettingsCodec held;
  SettingsModel model;
  held.decodeSettingsBlock(b->image(), model);
  EXPECT_EQ(model.TrackerId.view(), u"8800124");
  EXPECT_EQ(model.SmsReportInterval, 45u);
  const std::string csv = readText(dir / "summary.csv");
  EXPECT_EQ(csv.rfind("time,port,adapter,imei,firmware,profile,result,changed,failure\n", 0), 0u);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace pelmora
