// The station: its decisions with scripted jobs on a fake clock, and one
// job's whole course against the simulated tracker behind a loopback port,
// whose record shows what reached it.

#include "station/station.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "settings/settings_codec.h"
#include "settings/utf.h"
#include "sim/demo_images.h"
#include "sim/loopback_serial_port.h"
#include "tests/engine/engine_fakes.h"
#include "tests/station/station_fakes.h"

namespace pelmora::station {
namespace {

using testing::FakeClock;
using testing::FakeLauncher;
using testing::FakePresence;
using testing::verifiedReport;

class Board final : public StationListener {
 public:
  void portChanged(const PortState& state) override {
    lines.push_back(state.port.name + " " + stepWords(state.step) + (state.imei.empty() ? "" : " " + state.imei) +
                    (state.failure.empty() ? "" : ": " + state.failure));
  }
  void portGone(const PresentPort& port) override { lines.push_back(port.name + " gone"); }
  void totalsChanged(const StationTotals& t) override { totals = t; }
  std::vector<std::string> take() { return std::exchange(lines, {}); }
  std::vector<std::string> lines;
  StationTotals totals;
};

// Plug, done, unplug, plug again; a tracker pulled mid-write; two at once;
// the record line by line; nothing started after stop().
TEST(Station, RunsOneJobPerTrackerAndRecordsEachAsItEnds) {
  FakePresence presence;
  FakeLauncher launcher;
  FakeClock clock;
  Board board;
  std::vector<nlohmann::json> record;
  JobPlan plan;
  plan.profileName = "fleet.json";
  plan.profileSha256 = "aa";
  Station station(plan, presence, launcher, clock, board, [&](const RecordEntry& entry) {
    record.push_back(nlohmann::json::parse(recordLine(entry)));
    return true;
  });
  const PresentPort com5{5, "COM5", "FT232R A10K3V9Q"}, com6{6, "COM6", ""}, com7{7, "COM7", ""};

  presence.ports = {com5};
  station.tick();
  ASSERT_EQ(launcher.jobs.size(), 1u);
  launcher.jobs[0].hooks.step(JobStep::Writing);
  station.tick();
  EXPECT_EQ(board.take(), (std::vector<std::string>{"COM5 handshake", "COM5 writing"}));
  launcher.jobs[0].ended(verifiedReport("490154203237518"));
  station.tick();
  station.tick();
  EXPECT_EQ(launcher.jobs.size(), 1u) << "a tracker that stays plugged is never written twice";
  EXPECT_EQ(board.take(), (std::vector<std::string>{"COM5 done \u2014 unplug 490154203237518"}));
  ASSERT_EQ(record.size(), 1u);
  EXPECT_EQ(record[0]["port"], "COM5");
  EXPECT_EQ(record[0]["adapter"], "FT232R A10K3V9Q");
  EXPECT_EQ(record[0]["imei"], "490154203237518");
  EXPECT_EQ(record[0]["profileSha256"], "aa");
  EXPECT_EQ(record[0]["verified"], true);
  EXPECT_EQ(record[0]["changes"][0]["after"], "45");

  // Unplugged; the next tracker on the same port is a new job. Pulled while
  // writing, it is recorded as failed with the reason, never as done.
  presence.ports = {};
  station.tick();
  presence.ports = {com5};
  station.tick();
  ASSERT_EQ(launcher.jobs.size(), 2u);
  presence.ports = {};
  station.tick();
  EXPECT_TRUE(launcher.jobs[1].hooks.giveUp());
  EXPECT_TRUE(station.busy());
  JobReport pulled;
  pulled.imei = "490154203237519";
  pulled.failure = "write: not sent: the port did not take the request, or the tracker went away";
  launcher.jobs[1].ended(pulled);
  station.tick();
  EXPECT_EQ(board.take(), (std::vector<std::string>{"COM5 gone", "COM5 handshake",
                                                    "COM5 failed 490154203237519: " + pulled.failure, "COM5 gone"}));
  ASSERT_EQ(record.size(), 2u);
  EXPECT_EQ(record[1]["verified"], false);
  EXPECT_EQ(record[1]["failure"], pulled.failure);
  EXPECT_TRUE(record[1]["changes"].empty());

  // Two at once; then a stop starts nothing new but records what ends.
  presence.ports = {com6, com7};
  station.tick();
  ASSERT_EQ(launcher.jobs.size(), 4u);
  station.stop();
  EXPECT_TRUE(launcher.jobs[2].hooks.giveUp());
  presence.ports = {com5, com6, com7};
  station.tick();
  EXPECT_EQ(launcher.jobs.size(), 4u);
  JobReport early = verifiedReport("490154203237518");
  early.doneEarlier = true;
  launcher.jobs[2].ended(early);
  launcher.jobs[3].ended(verifiedReport("490154203237520"));
  clock.now += 3'600'000;  // the first tracker's hour is over
  station.tick();
  EXPECT_FALSE(station.busy());
  EXPECT_EQ(record.size(), 3u) << "done earlier: nothing done, nothing recorded";
  EXPECT_EQ(board.totals.done, 2u);
  EXPECT_EQ(board.totals.failed, 1u);
  EXPECT_EQ(board.totals.doneEarlier, 1u);
  EXPECT_EQ(board.totals.doneThisHour, 1u);
}

// A record line that is not kept stops the station: nothing more is done unrecorded.
TEST(Station, StopsWhenTheRecordCannotBeWritten) {
  FakePresence presence;
  FakeLauncher launcher;
  FakeClock clock;
  Board board;
  Station station(JobPlan{}, presence, launcher, clock, board, [](const RecordEntry&) { return false; });
  presence.ports = {{5, "COM5", ""}};
  station.tick();
  launcher.jobs[0].ended(verifiedReport("1"));
  presence.ports = {{6, "COM6", ""}};
  station.tick();
  EXPECT_TRUE(station.recordLost());
  EXPECT_EQ(launcher.jobs.size(), 1u);
}

// What ends the station's wait besides its ports: a job moving on or
// ending, and wake(); each once.
TEST(Station, WaitEndsWhenAJobMovesOnOrTheStationIsWoken) {
  FakePresence presence;
  FakeLauncher launcher;
  FakeClock clock;
  Board board;
  Station station(JobPlan{}, presence, launcher, clock, board, [](const RecordEntry&) { return true; });
  presence.ports = {{5, "COM5", ""}};
  station.tick();
  ASSERT_EQ(launcher.jobs.size(), 1u);
  struct Row {
    const char* label;
    std::function<void()> happen;
    bool wakes;
  };
  const Row rows[] = {
      {"nothing", [] {}, false},
      {"the job moves on", [&] { launcher.jobs[0].hooks.step(JobStep::Writing); }, true},
      {"nothing after it", [] {}, false},
      {"the job ends", [&] { launcher.jobs[0].ended(verifiedReport("1")); }, true},
      {"woken", [&] { station.wake(); }, true},
      {"nothing at last", [] {}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    row.happen();
    station.wait();
    EXPECT_EQ(presence.woken, row.wakes);
    station.tick();
  }
  EXPECT_EQ(board.totals.done, 1u);
}

std::vector<std::uint8_t> trackerImage(std::u16string_view imei, std::uint32_t interval) {
  SettingsCodec codec;
  SettingsModel model;
  codec.decodeSettingsBlock(sim::extendedDemoImage(), model);
  model.Imei.assign(imei);
  model.SmsReportInterval = interval;
  return imageOfModel(model, Layout::Extended);
}

// One job's course against a tracker that answers as its behaviour says:
// what the job reports, and what reached the tracker.
TEST(ProvisionJob, LaysTheProfileAndTheTrackersOwnValuesAndVerifies) {
  const SettingsResult<SettingsDocument> profile =
      parseSettingsJson(R"({"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}})", "fleet.json");
  ASSERT_TRUE(profile);
  const SettingsResult<ValuesFile> values =
      ValuesFile::parse("Imei,TrackerId\n490154203237518,8800123\n", "values.csv");
  ASSERT_TRUE(values);

  struct Case {
    const char* label;
    std::u16string_view imei;
    bool withValues;
    bool refuse;
    bool doneEarlier;
    std::string failure;  // "" when verified
    std::uint64_t writes;
    std::string trackerId;  // what the tracker holds after
  };
  const Case cases[] = {
      {"profile and values", u"490154203237518", true, false, false, "", 1, "8800123"},
      {"the profile alone", u"490154203237518", false, false, false, "", 1, "35900012345678"},
      {"not in the values file", u"490154203237599", true, false, false,
       "IMEI 490154203237599 not in values.csv; nothing written", 0, "35900012345678"},
      {"refuses the write", u"490154203237518", true, true, false,
       "write: the tracker refused the settings", 1, "35900012345678"},
      {"done earlier", u"490154203237518", true, false, true, "", 0, "35900012345678"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    JobPlan plan;
    plan.profile = *profile;
    if (c.withValues) {
      plan.values = *values;
      plan.valuesName = "values.csv";
    }
    if (c.doneEarlier) plan.doneEarlier->add("490154203237518");
    sim::SimOptions options;
    options.image = trackerImage(c.imei, 30);
    options.behaviour.baud = 0;
    options.behaviour.refuseWrites = c.refuse;
    sim::LoopbackSerialPort port(5, options);
    std::vector<JobStep> steps;
    JobReport report;
    {
      SystemClock clock;
      TrackerSession session(port, clock);
      report = runProvisionJob(session, 5, plan, {[&](JobStep s) { steps.push_back(s); }, {}, "COM5"});
    }
    EXPECT_EQ(report.failure, c.failure);
    EXPECT_EQ(report.verified, c.failure.empty() && !c.doneEarlier);
    EXPECT_EQ(report.doneEarlier, c.doneEarlier);
    EXPECT_EQ(port.tracker().counters().writeSettings, c.writes);
    SettingsCodec held;
    SettingsModel model;
    held.decodeSettingsBlock(port.tracker().image(), model);
    EXPECT_EQ(utf8FromUtf16(model.TrackerId.view()), c.trackerId);
    if (report.verified) {
      EXPECT_EQ(model.SmsReportInterval, 45u);
      EXPECT_EQ(steps, (std::vector<JobStep>{JobStep::Handshake, JobStep::Reading, JobStep::Writing,
                                            JobStep::Verifying}));
    }
  }
}

}  // namespace
}  // namespace pelmora::station
