// The fleet's run in process: virtual radios coming and going on a simulated line, on the virtual
// clock. Each case states the summary, the log's rows and what a rerun has left to do.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/fleet_plan.hpp"
#include "app/fleet_run.hpp"
#include "sim/radio_fleet.hpp"
#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"
#include "support/fake_services.hpp"
#include "support/temp_dir.hpp"

namespace rcp::app {
namespace {

// Stops the run when asked to (a held signal's doing) or when the virtual clock passes a limit: a
// run that waits for a radio that never comes must not wait for ever.
class Events final : public FleetEvents {
 public:
  Events(const link::Clock& clock, std::function<bool(std::size_t writing)> stop)
      : clock_(clock), stop_(std::move(stop)) {}
  void writing(std::size_t member) override { writing_ = member; }
  void finished(std::size_t, const FleetLogRow& row) override { rows.push_back(row.result); }
  bool stopRequested() override {
    return clock_.nowMs() > kLimitMs || (stop_ && writing_ && stop_(*writing_));
  }

  static constexpr std::int64_t kLimitMs = 600000;
  std::vector<std::string> rows;

 private:
  const link::Clock& clock_;
  std::function<bool(std::size_t)> stop_;
  std::optional<std::size_t> writing_;
};

struct Case {
  const char* name;
  int radios;
  std::function<void(sim::RadioFaults&)> fault;
  bool skipFailed;
  std::function<bool(std::size_t writing)> stop;  // the stop asked while this member is written
  std::size_t written, failed, left;
  bool stopped;
  std::vector<std::string> rows;  // the results logged, in order
};

const std::string kWritten = kResultWritten;
const std::string kFailed = kResultFailed;

TEST(FleetFaults, EveryCaseEndsWithItsSummaryItsLogAndWhatARerunHasLeft) {
  const std::vector<Case> cases = {
      {"three good radios", 3, {}, false, {}, 3, 0, 0, false, {kWritten, kWritten, kWritten}},
      {"stopped while writing the first",
       3,
       {},
       false,
       [](std::size_t member) { return member == 0; },
       1,
       0,
       2,
       true,
       {kWritten}},
      // A radio that failed stays on the line until someone takes it off: the run waits for
      // that (here until it is stopped), whether the number is given up or kept.
      {"no radio acknowledges, skipping",
       3,
       [](sim::RadioFaults& f) { f.ackChunks = 30; },
       true,
       {},
       0,
       1,
       2,
       true,
       {kFailed}},
      {"no radio acknowledges, keeping the number",
       2,
       [](sim::RadioFaults& f) { f.ackChunks = 30; },
       false,
       {},
       0,
       1,
       3,
       true,
       {kFailed}},
      {"silent radios",
       2,
       [](sim::RadioFaults& f) { f.silent = true; },
       false,
       {},
       0,
       0,
       3,
       true,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    sim::RadioFleet::Setup setup;
    setup.identity = *sim::identityOfModel("HX33");
    setup.count = c.radios;
    if (c.fault) c.fault(setup.faults);
    sim::RadioFleet radios(setup);
    link::VirtualClock clock;
    sim::SimulatedPort port(radios, clock);
    ASSERT_TRUE(port.open("/dev/ttyS1"));
    test::FakeDialogs dialogs;
    test::FakeScreen screen;
    FleetPlanError error;
    const auto members = numbersInRange("3262001201-3262001203", error);
    ASSERT_TRUE(members);
    const link::IniDocument templ(std::string("[File0]\r\nIndivol=3262001201\r\n"));
    FleetSettings settings;
    settings.skipFailed = c.skipFailed;
    settings.log = dir / "log.csv";
    settings.portLabel = "COM1";
    settings.comIni = dir / "Com.ini";
    settings.backups = dir / "backups";
    Events events(clock, c.stop);
    const FleetSummary summary =
        runFleet({port, clock, dialogs, screen}, templ, *members, settings, events);
    EXPECT_EQ(summary.written, c.written);
    EXPECT_EQ(summary.failed, c.failed);
    EXPECT_EQ(summary.left, c.left);
    EXPECT_EQ(summary.stopped, c.stopped);
    EXPECT_EQ(events.rows, c.rows);
    // The log holds a row for each radio tried; a rerun leaves the numbers not written.
    const FleetLogReading log = readFleetLog(dir / "log.csv");
    EXPECT_TRUE(log.skippedLines.empty());
    EXPECT_EQ(log.done.size(), c.written);
    EXPECT_EQ(membersLeft(*members, dir / "log.csv").size(), members->size() - c.written);
  }
}

}  // namespace
}  // namespace rcp::app
