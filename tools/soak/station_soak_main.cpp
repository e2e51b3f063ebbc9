// Station soak: `pelmora-cli station` as a process of its own, its [Ports]
// entries links that appear and vanish as simulated trackers (each with an
// IMEI of its own, at 9600 baud pacing) are plugged for 2 to 12 s and
// unplugged for 1 to 3 s, port by port, so that some jobs end verified and
// others are pulled on the way. Checks that every plug made one job and
// every job one record line (none lost, none made twice), that every
// verified line's tracker holds the profile, and that the station's
// resident set stays flat after warm-up (sampled every second from /proc).
//
//   pelmora-station-soak --cli PATH [--seconds N] [--ports N] [--baud B] [--margin-kib K] [--seed N]
//
// Exit status: 0 when every check passed.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "settings/settings_codec.h"
#include "settings/settings_layout.h"
#include "settings/utf.h"
#include "sim/demo_images.h"
#include "sim/sim_tracker.h"

namespace {

using namespace pelmora;
using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr std::uint32_t kProfileInterval = 45;

struct Options {
  std::string cli;
  long seconds = 600;
  int ports = 4;
  std::uint32_t baud = 9600;
  long marginKib = 1024;
  unsigned seed = 1;
};

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const char* text = argv[i + 1];
    const long value = std::strtol(text, nullptr, 10);
    if (name == "--cli") options.cli = text;
    else if (name == "--seconds" && value > 0) options.seconds = value;
    else if (name == "--ports" && value > 0 && value <= 16) options.ports = static_cast<int>(value);
    else if (name == "--baud" && value >= 0) options.baud = static_cast<std::uint32_t>(value);
    else if (name == "--margin-kib" && value >= 0) options.marginKib = value;
    else if (name == "--seed" && value >= 0) options.seed = static_cast<unsigned>(value);
    else return false;
  }
  return argc % 2 == 1 && !options.cli.empty();
}

long residentKib(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return 0;
}

std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<nlohmann::json> recordOf(const fs::path& path) {
  std::vector<nlohmann::json> lines;
  std::istringstream text(readText(path));
  for (std::string line; std::getline(text, line);)
    if (!line.empty()) lines.push_back(nlohmann::json::parse(line, nullptr, false));
  return lines;
}

std::vector<std::uint8_t> trackerImage(const std::string& imei) {
  SettingsCodec codec;
  SettingsModel model;
  codec.decodeSettingsBlock(sim::extendedDemoImage(), model);
  model.Imei.assign(utf16FromUtf8(imei));
  model.SmsReportInterval = 30;
  return imageOfModel(model, Layout::Extended);
}

std::uint32_t heldInterval(const sim::SimTracker& tracker) {
  SettingsCodec codec;
  SettingsModel model;
  codec.decodeSettingsBlock(tracker.image(), model);
  return model.SmsReportInterval;
}

// One port of the station: a tracker behind its link, or none, until `next`.
struct Hub {
  fs::path link;
  std::unique_ptr<sim::SimTracker> tracker;
  std::string imei;
  SteadyClock::time_point next;
};

pid_t startStation(const Options& options, const fs::path& dir) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  ::setenv("XDG_DATA_HOME", dir.c_str(), 1);  // whatever the station keeps per tracker stays in the soak's folder
  const int out = ::open((dir / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int err = ::open((dir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ::dup2(out, STDOUT_FILENO);
  ::dup2(err, STDERR_FILENO);
  const std::string profile = (dir / "fleet.json").string(), log = (dir / "record.jsonl").string();
  ::execl(options.cli.c_str(), options.cli.c_str(), "station", profile.c_str(), "--log", log.c_str(),
          static_cast<char*>(nullptr));
  ::_exit(127);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: %s --cli PATH [--seconds N] [--ports N] [--baud B] [--margin-kib K] [--seed N]\n", argv[0]);
    return 2;
  }
  char pattern[] = "/tmp/pelmora-station-soak-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) return 2;
  const fs::path dir = pattern;
  fs::create_directories(dir / "KVL");
  std::vector<Hub> hubs(static_cast<std::size_t>(options.ports));
  {
    std::ofstream map(dir / "KVL" / "COMM.conf");
    map << "[Ports]\nAutomatic=no\n";
    for (std::size_t i = 0; i < hubs.size(); ++i) {
      hubs[i].link = dir / ("hub" + std::to_string(i + 1));
      map << "COM" << 5 + i << "=" << hubs[i].link.string() << "\n";
    }
  }
  std::ofstream(dir / "fleet.json") << R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})";

  const pid_t station = startStation(options, dir);
  std::mt19937 random(options.seed);
  const auto between = [&](int low, int high) {
    return std::chrono::milliseconds(std::uniform_int_distribution<int>(low, high)(random));
  };
  const auto start = SteadyClock::now();
  const auto end = start + std::chrono::seconds(options.seconds);
  // Warm: threads, buffers and the first records are in place.
  const auto warm = start + std::min(std::chrono::seconds(60), std::chrono::seconds(options.seconds) / 3);
  for (Hub& hub : hubs) hub.next = start + 1s + between(0, 1000);

  std::size_t plugs = 0;
  std::map<std::string, bool> holdsProfile;  // by IMEI, when unplugged
  long warmKib = 0, endKib = 0, peakKib = 0;
  auto nextSample = start;
  for (auto now = SteadyClock::now(); now < end; now = SteadyClock::now()) {
    for (Hub& hub : hubs) {
      if (now < hub.next) continue;
      if (hub.tracker) {
        holdsProfile[hub.imei] = heldInterval(*hub.tracker) == kProfileInterval;
        hub.tracker.reset();  // stops it: the link goes, the line hangs up
        hub.next = now + between(1000, 3000);
        continue;
      }
      hub.imei = std::to_string(490154200000000ull + ++plugs);
      sim::SimOptions simOptions;
      simOptions.image = trackerImage(hub.imei);
      simOptions.behaviour.baud = options.baud;
      simOptions.linkPath = hub.link.string();
      hub.tracker = std::make_unique<sim::SimTracker>(simOptions);
      if (!hub.tracker->start()) {
        std::fprintf(stderr, "station soak: cannot start a simulated tracker: %s\n", hub.tracker->errorText().c_str());
        ::kill(station, SIGKILL);
        return 2;
      }
      hub.next = now + between(2000, 12000);
    }
    if (now >= nextSample) {
      endKib = residentKib(station);
      peakKib = std::max(peakKib, endKib);
      if (warmKib == 0 && now >= warm) warmKib = endKib;
      nextSample += 1s;
    }
    if (::waitpid(station, nullptr, WNOHANG) == station) {
      std::fprintf(stderr, "station soak: the station ended on its own:\n%s", readText(dir / "stderr").c_str());
      return 1;
    }
    std::this_thread::sleep_for(50ms);
  }
  // Every tracker unplugged; the station records the jobs that were pulled,
  // then Ctrl-C ends it.
  for (Hub& hub : hubs) {
    if (!hub.tracker) continue;
    holdsProfile[hub.imei] = heldInterval(*hub.tracker) == kProfileInterval;
    hub.tracker.reset();
  }
  for (int i = 0; i < 100 && recordOf(dir / "record.jsonl").size() < plugs; ++i) std::this_thread::sleep_for(100ms);
  endKib = residentKib(station);
  ::kill(station, SIGINT);
  int status = -1;
  ::waitpid(station, &status, 0);
  const double elapsed = std::chrono::duration<double>(SteadyClock::now() - start).count();

  const std::vector<nlohmann::json> record = recordOf(dir / "record.jsonl");
  std::size_t verified = 0, failed = 0, unparsed = 0, verifiedWithoutProfile = 0, twice = 0;
  std::set<std::string> imeis;  // a job pulled before its read knows none
  for (const nlohmann::json& line : record) {
    if (!line.is_object() || !line.contains("imei")) {
      ++unparsed;
      continue;
    }
    const std::string imei = line["imei"].get<std::string>();
    if (!imei.empty() && !imeis.insert(imei).second) ++twice;
    if (line.value("verified", false)) {
      ++verified;
      if (!holdsProfile[imei]) ++verifiedWithoutProfile;
    } else {
      ++failed;
    }
  }
  std::size_t done = 0, stationFailed = 0, doneEarlier = 0;
  // Its last line on standard output: "station: N done, N failed, N done earlier; record FILE".
  const std::string out = readText(dir / "stdout");
  const std::size_t last = out.rfind("station: ");
  const bool summarised = last != std::string::npos &&
                          std::sscanf(out.c_str() + last, "station: %zu done, %zu failed, %zu done earlier", &done,
                                      &stationFailed, &doneEarlier) == 3;

  std::printf("station soak: %.0f s, %d ports at %u baud, %zu trackers plugged\n", elapsed, options.ports,
              options.baud, plugs);
  std::printf("station soak: jobs finished %zu (%zu verified, %zu failed, %zu done earlier); record lines %zu "
              "(%zu verified, %zu failed, %zu unreadable), IMEIs recorded twice %zu\n",
              done + stationFailed + doneEarlier, done, stationFailed, doneEarlier, record.size(), verified, failed,
              unparsed, twice);
  std::printf("station soak: verified lines whose tracker does not hold the profile %zu\n", verifiedWithoutProfile);
  std::printf("station soak: resident set after warm-up %ld KiB, at the end %ld KiB (%+ld KiB, margin %ld KiB), "
              "peak %ld KiB\n",
              warmKib, endKib, endKib - warmKib, options.marginKib, peakKib);
  std::printf("station soak: the station exited with status %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);

  // A pulled job fails by design (exit status 1); a lost line, a job twice,
  // a tracker never taken or a verified line that is not true is a fault.
  const bool lost = !summarised || record.size() != done + stationFailed || record.size() != plugs ||
                    twice != 0 || unparsed != 0 || doneEarlier != 0 || verified != done;
  const bool wrong = verifiedWithoutProfile != 0 || !WIFEXITED(status) || WEXITSTATUS(status) > 1;
  const bool grew = warmKib == 0 || endKib - warmKib > options.marginKib;
  if (lost) std::printf("station soak: FAILED: jobs and record lines do not add up\n");
  if (wrong) std::printf("station soak: FAILED: a verified line is untrue, or the station failed\n");
  if (grew) std::printf("station soak: FAILED: memory did not stay flat (or the run was too short to warm up)\n");
  if (lost || wrong || grew) {
    std::printf("station soak: kept %s\n", dir.c_str());
    return 1;
  }
  std::printf("station soak: ok\n");
  fs::remove_all(dir);
  return 0;
}
