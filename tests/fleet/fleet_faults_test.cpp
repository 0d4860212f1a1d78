// The fleet's run in process: virtual radios coming and going on a simulated line, on the virtual
// clock. Each case states the summary, the log's rows and what a rerun has left to do.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fleet/fleet_plan.hpp"
#include "fleet/fleet_run.hpp"
#include "safety/safe_write.hpp"
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
  void finished(std::size_t, const FleetLogRow& row) override {
    rows.push_back(resultText(row.result));
  }
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

const std::string kWritten = resultText(FleetResult::Written);
const std::string kFailed = resultText(FleetResult::Failed);
const std::string kVerified = resultText(FleetResult::Verified);

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

// A radio's own fault, given to the radio on the line when the run starts writing a member; a
// stop asked while the run waits for a member's radio (a signal between two radios).
struct MemberCase {
  const char* name;
  std::function<void(std::size_t member, sim::VirtualRadio&)> fault;
  bool skipFailed;
  WriteSafetyChoice safety;
  std::optional<std::size_t> stopWaitingFor;  // asked while waiting for this member's radio
  std::size_t written, failed, left;
  bool stopped;
  std::vector<std::string> rows;
  std::vector<std::string> rerunRows;  // a second run with the same log, on fresh radios
};

class MemberEvents final : public FleetEvents {
 public:
  MemberEvents(const link::Clock& clock, sim::RadioFleet& radios, const MemberCase& c)
      : clock_(clock), radios_(radios), case_(c) {}
  void waiting(std::size_t member) override { waiting_ = member; }
  void writing(std::size_t member) override {
    waiting_.reset();
    // Once: a radio written again after a failure behaves.
    if (case_.fault && radios_.radio() && faulted_.insert(member).second)
      case_.fault(member, *radios_.radio());
  }
  void finished(std::size_t, const FleetLogRow& row) override {
    rows.push_back(resultText(row.result));
  }
  bool stopRequested() override {
    return clock_.nowMs() > kLimitMs || (waiting_ && waiting_ == case_.stopWaitingFor);
  }
  static constexpr std::int64_t kLimitMs = 600000;
  std::vector<std::string> rows;

 private:
  const link::Clock& clock_;
  sim::RadioFleet& radios_;
  const MemberCase& case_;
  std::optional<std::size_t> waiting_;
  std::set<std::size_t> faulted_;
};

struct FleetRun {
  FleetSummary summary;
  std::vector<std::string> rows;
  std::int64_t tookMs;
};

FleetRun runOnFreshRadios(const MemberCase& c, const FleetSettings& settings,
                          const std::vector<FleetMember>& members) {
  sim::RadioFleet::Setup setup;
  setup.identity = *sim::identityOfModel("HX33");
  setup.count = static_cast<int>(members.size()) + 2;
  sim::RadioFleet radios(setup);
  link::VirtualClock clock;
  sim::SimulatedPort port(radios, clock);
  EXPECT_TRUE(port.open("/dev/ttyS1"));
  test::FakeDialogs dialogs;
  test::FakeScreen screen;
  const link::IniDocument templ(std::string("[File0]\r\nIndivol=3262001201\r\n"));
  MemberEvents events(clock, radios, c);
  const std::vector<FleetMember> left = membersLeft(members, settings.log);
  FleetRun run{runFleet({port, clock, dialogs, screen}, templ, left, settings, events), {}, 0};
  run.rows = events.rows;
  run.tookMs = clock.nowMs();
  return run;
}

std::function<void(std::size_t, sim::VirtualRadio&)> onMember(
    std::size_t which, std::function<void(sim::VirtualRadio&)> fault) {
  return [which, fault](std::size_t member, sim::VirtualRadio& radio) {
    if (member == which) fault(radio);
  };
}

// The radio stops at its next request, the first of its write, for a while.
std::function<void(sim::VirtualRadio&)> stopsFor(double seconds) {
  return [seconds](sim::VirtualRadio& radio) {
    radio.faults().pause = sim::RadioPause{static_cast<int>(radio.handled().size()) + 1,
                                           static_cast<sim::Micros>(seconds * 1000000)};
  };
}

TEST(FleetFaults, ARadioStoppedKilledOrNotAcknowledgingAndAStopBetweenRadiosAreLoggedForTheRerun) {
  const WriteSafetyChoice none{}, both{true, true};
  const auto noAck = [](sim::VirtualRadio& r) { r.faults().ackChunks = 30; };
  // Killed in the middle of its write: silent for good, never taken off the line.
  const auto killed = [](sim::VirtualRadio& r) { r.faults().silentAfterWrites = 1; };
  const auto readsCut = [](sim::VirtualRadio& r) { r.faults().silentAfterReads = 22; };
  const std::vector<MemberCase> cases = {
      {"stopped while waiting for the second radio",
       {},
       false,
       none,
       1,
       1,
       0,
       2,
       true,
       {kWritten},
       {kWritten, kWritten}},
      {"stopped while waiting for the first radio",
       {},
       false,
       none,
       0,
       0,
       0,
       3,
       true,
       {},
       {kWritten, kWritten, kWritten}},
      // A radio stopped for a moment at the start of its write: the write fails and the radio
      // is left on the line (the run waits for it to be taken off, here until it is stopped
      // while waiting for the third radio). Stopped for longer, it looks taken off meanwhile;
      // when it answers again it is a radio on the line like any other, tried again, and the
      // answers it kept from while it was stopped spoil that write too: both are logged.
      {"second radio stopped for 0.5 s",
       onMember(1, stopsFor(0.5)),
       false,
       none,
       2,
       1,
       1,
       2,
       true,
       {kWritten, kFailed},
       {kWritten, kWritten}},
      {"second radio stopped for 30 s",
       onMember(1, stopsFor(30)),
       false,
       none,
       2,
       1,
       2,
       2,
       true,
       {kWritten, kFailed, kFailed},
       {kWritten, kWritten}},
      // Skipping gives the failed number up for this run only: the rerun writes it.
      {"second radio stopped, skipping its number",
       onMember(1, stopsFor(3)),
       true,
       none,
       2,
       1,
       1,
       1,
       true,
       {kWritten, kFailed},
       {kWritten, kWritten}},
      {"second radio not acknowledging, with backup and verify",
       onMember(1, noAck),
       false,
       both,
       2,
       1,
       1,
       2,
       true,
       {kVerified, kFailed},
       {kVerified, kVerified}},
      // Its backup read cut short: nothing is written into it and it is logged as failed.
      {"second radio's backup read cut",
       onMember(1, readsCut),
       false,
       both,
       {},
       1,
       1,
       2,
       true,
       {kVerified, kFailed},
       {kVerified, kVerified}},
      {"second radio killed while writing",
       onMember(1, killed),
       false,
       none,
       {},
       1,
       1,
       2,
       true,
       {kWritten, kFailed},
       {kWritten, kWritten}},
      {"second radio killed while writing, skipping",
       onMember(1, killed),
       true,
       none,
       {},
       1,
       1,
       1,
       true,
       {kWritten, kFailed},
       {kWritten, kWritten}},
      {"third radio stopped in its backup read",
       onMember(2, stopsFor(3)),
       false,
       both,
       {},
       2,
       2,
       1,
       true,
       {kVerified, kVerified, kFailed, kFailed},
       {kVerified}},
  };
  for (const MemberCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    FleetPlanError error;
    const auto members = numbersInRange("3262001201-3262001203", error);
    ASSERT_TRUE(members);
    FleetSettings settings;
    settings.safety = c.safety;
    settings.skipFailed = c.skipFailed;
    settings.log = dir / "log.csv";
    settings.portLabel = "COM1";
    settings.comIni = dir / "Com.ini";
    settings.backups = dir / "backups";
    const FleetRun first = runOnFreshRadios(c, settings, *members);
    EXPECT_EQ(first.summary.written, c.written);
    EXPECT_EQ(first.summary.failed, c.failed);
    EXPECT_EQ(first.summary.left, c.left);
    EXPECT_EQ(first.summary.stopped, c.stopped);
    EXPECT_EQ(first.rows, c.rows);
    const FleetLogReading log = readFleetLog(dir / "log.csv");
    EXPECT_TRUE(log.skippedLines.empty());
    EXPECT_EQ(log.done.size(), c.written);
    // The rerun writes the numbers left (with --skip-failed, the failed one is not given again
    // this run but stays unwritten in the log) on radios that behave.
    MemberCase again = c;
    again.fault = {};
    again.stopWaitingFor.reset();
    const FleetRun rerun = runOnFreshRadios(again, settings, *members);
    EXPECT_EQ(rerun.rows, c.rerunRows);
    EXPECT_FALSE(rerun.summary.stopped);
    // Bounded: a run that waits for a radio that never comes is stopped at the limit.
    EXPECT_LE(first.tookMs, MemberEvents::kLimitMs + 60000);
    EXPECT_EQ(membersLeft(*members, dir / "log.csv").size(),
              members->size() - c.written - rerun.summary.written);
  }
}

}  // namespace
}  // namespace rcp::app
