// The station's window without a window: scripted ports and jobs on the fake
// clock, a view that keeps what it was told, and the record file read back
// as the lines written to it.

#include "app/station_view_logic.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>

#include <nlohmann/json.hpp>

#include "tests/engine/engine_fakes.h"
#include "tests/station/station_fakes.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using namespace pelmora::station;
using testing::FakeClock;
using testing::FakeLauncher;
using testing::FakePresence;
using testing::verifiedReport;

class KeptView final : public StationView {
 public:
  void showTile(const StationTile& tile) override { tiles[tile.port] = tile; }
  void removeTile(int port) override { tiles.erase(port); }
  void showTotals(const StationTotals& t) override { totals = t; }
  void showRecordPath(const std::string& path) override { recordPath = path; }
  void showPhase(StationPhase phase) override { phases.push_back(phase); }
  void showProblem(const std::string& message) override { problems.push_back(message); }
  void closeNow() override { closed = true; }

  std::map<int, StationTile> tiles;
  StationTotals totals;
  std::string recordPath;
  std::vector<StationPhase> phases;
  std::vector<std::string> problems;
  bool closed = false;
};

// A folder of its own for each test, even when test programs of other
// builds run at the same time.
struct Files {
  Files() {
    fs::create_directories(dir);
    write("fleet.json", R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})");
    write("own.json", R"({"pelmora-settings": 1, "fields": {"TrackerId": "8800123"}})");
  }
  void write(const char* name, const std::string& text) const { std::ofstream(dir / name) << text; }
  std::string path(const char* name) const { return (dir / name).string(); }
  std::vector<nlohmann::json> recordLines() const {
    std::vector<nlohmann::json> lines;
    std::ifstream in(dir / "record.jsonl");
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
  }
  ~Files() {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
  // Short, for messages name paths shortened past a length.
  const fs::path dir =
      fs::temp_directory_path() /
      ("pelmora-sv-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1'000'000'000));
};

// Scripted ports and jobs handed to the logic, kept within reach of the test.
struct Machinery {
  StationViewLogic::MachineryMaker maker() {
    return [this]() -> SettingsResult<StationMachinery> {
      auto ownPresence = std::make_unique<FakePresence>();
      auto ownLauncher = std::make_unique<FakeLauncher>();
      presence = ownPresence.get();
      launcher = ownLauncher.get();
      return StationMachinery{std::move(ownPresence), std::move(ownLauncher), nullptr};
    };
  }
  FakePresence* presence = nullptr;
  FakeLauncher* launcher = nullptr;
};

// What cannot start names the file and what is wrong; nothing is watched or written.
TEST(StationViewLogic, RefusesAChoiceThatCannotRunAndWritesNothing) {
  const Files files;
  const auto noPorts = []() -> SettingsResult<StationMachinery> {
    return SettingsError{SettingsErrorKind::BadInput, "no station ports"};
  };
  Machinery scripted;
  struct Case {
    const char* label;
    StationChoice choice;
    bool withPorts;
    std::string problem;  // how it begins
  };
  const Case cases[] = {
      {"no profile file", {files.path("none.json"), "", files.path("record.jsonl")}, true,
       files.path("none.json") + ": cannot be read"},
      {"a profile naming one tracker's field", {files.path("own.json"), "", files.path("record.jsonl")}, true,
       files.path("own.json") + ": TrackerId belongs to one tracker; give each tracker its own in a values file"},
      {"no values file", {files.path("fleet.json"), files.path("ids.csv"), files.path("record.jsonl")}, true,
       files.path("ids.csv") + ": cannot be read"},
      {"no ports", {files.path("fleet.json"), "", files.path("record.jsonl")}, false, "no station ports"},
      {"a record that is a folder", {files.path("fleet.json"), "", files.dir.string()}, true, files.dir.string()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    KeptView view;
    FakeClock clock;
    StationViewLogic logic(view, clock, c.withPorts ? scripted.maker() : StationViewLogic::MachineryMaker(noPorts));
    EXPECT_FALSE(logic.start(c.choice));
    ASSERT_EQ(view.problems.size(), 1u);
    EXPECT_EQ(view.problems[0].substr(0, c.problem.size()), c.problem) << view.problems[0];
    EXPECT_EQ(logic.phase(), StationPhase::Choosing);
    EXPECT_FALSE(fs::exists(files.dir / "record.jsonl"));
  }
}

// Tiles come and go with trackers, marked green or red; the totals count;
// closing while a write is on the line lets it finish and be recorded first.
TEST(StationViewLogic, ShowsATilePerTrackerAndClosesOnlyWhenAllIsRecorded) {
  const Files files;
  KeptView view;
  FakeClock clock;
  Machinery scripted;
  StationViewLogic logic(view, clock, scripted.maker());
  ASSERT_TRUE(logic.start({files.path("fleet.json"), "", files.path("record.jsonl")}));
  EXPECT_EQ(view.recordPath, fs::absolute(files.path("record.jsonl")).string());
  const PresentPort com5{5, "COM5", "FT232R A10K3V9Q"}, com6{6, "COM6", ""};

  scripted.presence->ports = {com5, com6};
  logic.tick();
  FakeLauncher& jobs = *scripted.launcher;
  ASSERT_EQ(jobs.jobs.size(), 2u);
  jobs.jobs[0].hooks.step(JobStep::Writing);
  logic.tick();
  EXPECT_EQ(view.tiles.at(5), (StationTile{5, "COM5", "FT232R A10K3V9Q", TileMark::Working, "", "writing", ""}));
  EXPECT_EQ(view.tiles.at(6).step, "handshake");

  jobs.jobs[0].ended(verifiedReport("490154203237518"));
  JobReport refused;
  refused.imei = "490154203237519";
  refused.failure = "write: the tracker refused the settings";
  jobs.jobs[1].ended(refused);
  logic.tick();
  EXPECT_EQ(view.tiles.at(5),
            (StationTile{5, "COM5", "FT232R A10K3V9Q", TileMark::Good, "490154203237518", "done \u2014 unplug", ""}));
  EXPECT_EQ(view.tiles.at(6),
            (StationTile{6, "COM6", "", TileMark::Bad, "490154203237519", "failed", refused.failure}));
  EXPECT_EQ(view.totals.done, 1u);
  EXPECT_EQ(view.totals.failed, 1u);
  EXPECT_EQ(view.totals.doneThisHour, 1u);

  // Unplugged, its tile goes; plugged again, a new job and a new tile.
  scripted.presence->ports = {com6};
  logic.tick();
  EXPECT_EQ(view.tiles.count(5), 0u);
  scripted.presence->ports = {com5, com6};
  logic.tick();
  ASSERT_EQ(jobs.jobs.size(), 3u);
  jobs.jobs[2].hooks.step(JobStep::Writing);
  logic.tick();

  EXPECT_FALSE(logic.requestClose()) << "a write is on the line";
  EXPECT_EQ(logic.phase(), StationPhase::Stopping);
  EXPECT_TRUE(jobs.jobs[2].hooks.giveUp());
  logic.tick();
  EXPECT_FALSE(view.closed);
  jobs.jobs[2].ended(verifiedReport("490154203237520"));
  logic.tick();
  EXPECT_TRUE(view.closed);
  EXPECT_EQ(logic.phase(), StationPhase::Stopped);
  EXPECT_TRUE(logic.requestClose());

  const std::vector<nlohmann::json> record = files.recordLines();
  ASSERT_EQ(record.size(), 3u);
  EXPECT_EQ(record[0]["imei"], "490154203237518");
  EXPECT_EQ(record[0]["verified"], true);
  EXPECT_EQ(record[1]["failure"], refused.failure);
  EXPECT_EQ(record[2]["imei"], "490154203237520");
  EXPECT_EQ(record[2]["verified"], true);
  EXPECT_EQ(record[2]["port"], "COM5");
  EXPECT_EQ(view.phases, (std::vector<StationPhase>{StationPhase::Running, StationPhase::Stopping,
                                                    StationPhase::Stopped}));
  EXPECT_TRUE(view.problems.empty());
}

}  // namespace
}  // namespace pelmora
