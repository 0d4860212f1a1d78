#include "fleet/fleet_run.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "settings/data_file.hpp"
#include "support/test_program.hpp"

// The fleet run in process: one virtual radio on the line, taken off and put back as a test
// double of the technician decides, on the virtual clock.
namespace rcp::app {
namespace {

std::string memoryText(const sim::VirtualRadio& radio, std::size_t at, std::size_t count) {
  return {radio.memory().begin() + static_cast<std::ptrdiff_t>(at),
          radio.memory().begin() + static_cast<std::ptrdiff_t>(at + count)};
}

// The technician: takes the radio off when told to connect the next one and, after a few polls,
// puts the same radio back (or another, as `swap` says); answers the verification question as
// scripted; stops the run after the polls `stopAfter` allows.
class Technician final : public FleetEvents {
 public:
  explicit Technician(sim::VirtualRadio& radio) : radio_(radio) {}

  void connectNext() override {
    radio_.faults().silent = true;
    offFor_ = 3;
  }
  void alreadyWritten(const std::string& number) override {
    told.push_back(number);
    radio_.faults().silent = true;
    offFor_ = 3;
  }
  UnverifiedChoice unverified(std::size_t, const FleetLogRow& row) override {
    asked.push_back(row.number);
    const UnverifiedChoice choice = answers.empty() ? UnverifiedChoice::Stop : answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    return choice;
  }
  void finished(std::size_t, const FleetLogRow& row) override { rows.push_back(row); }
  void progress(std::size_t, WriteStep step, int percent) override {
    if (steps.empty() || steps.back() != step) steps.push_back(step);
    mostPercent = std::max(mostPercent, percent);
  }
  bool stopRequested() override {
    if (offFor_ > 0 && --offFor_ == 0) {
      if (swap) swap();
      radio_.faults().silent = false;
    }
    return ++polls_ > lastPoll;
  }

  std::vector<std::string> told;
  std::vector<std::string> asked;
  std::vector<UnverifiedChoice> answers;
  std::vector<FleetLogRow> rows;
  std::vector<WriteStep> steps;  // as the progress named them, each once in a row
  int mostPercent = 0;
  std::function<void()> swap;  // another radio put on the line instead of the same one
  void stopAfter(int polls) { lastPoll = polls_ + polls; }

 private:
  sim::VirtualRadio& radio_;
  int offFor_ = 0;
  int polls_ = 0;
  int lastPoll = 400;
};

struct FleetRun : ::testing::Test {
  test::TestProgram app;
  link::IniDocument templ = [this] {
    EXPECT_FALSE(settings::saveDataFile(app.state(), app.dir / "template.ini"));
    return link::loadIniFile(app.dir / "template.ini").document;
  }();
  Technician technician{app.radio};

  FleetSummary run(const std::vector<FleetMember>& members, WriteSafetyChoice safety) {
    const FleetSettings settings{safety,
                                 false,
                                 app.dir / "log.csv",
                                 "/dev/ttyUSB0",
                                 app.dir / "Com.ini",
                                 app.dir / "backups"};
    return runFleet({app.port, app.clock, app.dialogs, app.screen}, templ, members, settings,
                    technician);
  }
};

std::vector<FleetMember> range(const std::string& numbers) {
  FleetPlanError error;
  auto members = numbersInRange(numbers, error);
  EXPECT_TRUE(members) << error.message;
  return members.value_or(std::vector<FleetMember>{});
}

TEST_F(FleetRun, TheSameRadioPutBackIsNotWrittenAgainAndTheTechnicianIsTold) {
  // With a backup its read tells the number; without, a short read of the bulk block.
  for (const WriteSafetyChoice& safety : {WriteSafetyChoice{true, true}, WriteSafetyChoice{}}) {
    technician.rows.clear();
    technician.told.clear();
    technician.swap = nullptr;
    technician.stopAfter(60);
    const FleetSummary summary = run(range("3262001401-3262001402"), safety);
    // The radio was written once, with the first number, and recognised when it came back.
    ASSERT_EQ(technician.rows.size(), 1u);
    EXPECT_EQ(technician.rows[0].number, "3262001401");
    ASSERT_FALSE(technician.told.empty());
    EXPECT_EQ(technician.told[0], "3262001401");
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.written, 1u);
    EXPECT_EQ(summary.left, 1u);
  }
  EXPECT_EQ(alreadyWrittenText("3262001401"), "这台电台已写为 3262001401，请连接下一台。");
  // Another radio put on afterwards gets the second number.
  const auto memory = app.radio.memory();
  technician.swap = [this] { app.radio.memory().fill(0x00); };
  technician.stopAfter(400);
  EXPECT_EQ(run(range("3262001401-3262001402"), {false, true}).written, 2u);
  EXPECT_EQ(technician.rows.back().number, "3262001402");
  EXPECT_EQ(technician.rows.back().result, FleetResult::Verified);
  EXPECT_NE(app.radio.memory(), memory);
}

// The radio's row follows its transfers by the step each belongs to, in the order they run.
TEST_F(FleetRun, TheProgressNamesEachTransferOfTheRadioByItsStep) {
  using S = WriteStep;
  struct Case {
    bool backup, verify;
    std::vector<WriteStep> steps;
  };
  for (const Case& c : std::vector<Case>{{true, true, {S::Backup, S::Write, S::Verify}},
                                         {false, true, {S::Write, S::Verify}},
                                         {true, false, {S::Backup, S::Write}},
                                         {false, false, {S::Write}}}) {
    technician.steps.clear();
    technician.mostPercent = 0;
    const FleetSummary summary = run(range("3262001201"), {c.backup, c.verify});
    EXPECT_EQ(summary.written, 1u);
    EXPECT_EQ(technician.steps, c.steps) << c.backup << c.verify;
    EXPECT_EQ(technician.mostPercent, 100);
  }
}

TEST_F(FleetRun, AWrittenRadioWhoseVerificationFailsKeepsItsNumberAsTheTechnicianChooses) {
  app.radio.faults().corruptAddresses = {0x0CF};
  struct Case {
    std::vector<UnverifiedChoice> answers;
    std::size_t rows, written, left;
    bool stopped;
    FleetResult lastResult;
  };
  for (const Case& c : std::vector<Case>{
           // Stop: the number is not given to the next radio.
           {{UnverifiedChoice::Stop}, 1, 0, 2, true, FleetResult::Mismatch},
           // Write it again (still failing), then keep it and go on to the next radio.
           {{UnverifiedChoice::WriteAgain, UnverifiedChoice::KeepAndGoOn},
            3,
            2,
            0,
            false,
            FleetResult::Kept},
       }) {
    technician.rows.clear();
    technician.asked.clear();
    technician.answers = c.answers;
    // The next radio put on stores every byte well.
    technician.swap = [this] {
      app.radio.memory().fill(0x00);
      app.radio.faults().corruptAddresses.clear();
    };
    const FleetSummary summary = run(range("3262001201-3262001202"), {false, true});
    EXPECT_EQ(summary.stopped, c.stopped);
    EXPECT_EQ(summary.left, c.left);
    ASSERT_GE(technician.rows.size(), 1u);
    EXPECT_EQ(technician.asked.front(), "3262001201");
    EXPECT_EQ(technician.asked.size(), c.answers.size());
    ASSERT_EQ(technician.rows.size(), c.rows);
    EXPECT_EQ(technician.rows[c.answers.size() - 1].result, c.lastResult);
    // The number the radio kept is never given to the next radio.
    if (c.rows == 3) {
      EXPECT_EQ(technician.rows[1].number, "3262001201");
      EXPECT_EQ(technician.rows[2].number, "3262001202");
      EXPECT_EQ(technician.rows[2].result, FleetResult::Verified);
    }
  }
  std::filesystem::remove(app.dir / "log.csv");
}

// Stopped after a failed verification, the run leaves that number in the radio: a rerun from the
// log gives it to no other radio, tells the technician why, and goes on with the next number.
TEST_F(FleetRun, ARerunAfterAStoppedVerificationGivesThatNumberToNoOtherRadio) {
  app.radio.faults().corruptAddresses = {0x0CF};
  technician.answers = {UnverifiedChoice::Stop};
  const std::vector<FleetMember> members = range("3262001201-3262001203");
  EXPECT_TRUE(run(members, {false, true}).stopped);
  const FleetLogReading log = readFleetLog(app.dir / "log.csv");
  EXPECT_EQ(log.heldUnverified, (std::set<std::string>{"3262001201"}));
  EXPECT_NE(heldUnverifiedText(log.heldUnverified).find("3262001201"), std::string::npos);

  const std::vector<FleetMember> left = membersLeft(members, app.dir / "log.csv");
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0].number, "3262001202");
  // Another radio on the line: it gets the next number, never the unverified one.
  app.radio.memory().fill(0x00);
  app.radio.faults().corruptAddresses.clear();
  technician.rows.clear();
  technician.swap = [this] { app.radio.memory().fill(0x00); };
  technician.stopAfter(400);
  EXPECT_EQ(run(left, {false, true}).written, 2u);
  ASSERT_EQ(technician.rows.size(), 2u);
  EXPECT_EQ(technician.rows[0].number, "3262001202");
  // A number verified later (its radio written again by hand, the row put in the log) is done.
  ASSERT_TRUE(appendLogRow(app.dir / "log.csv", {"2026-12-09 10:00:00", "/dev/ttyUSB0", "", "",
                                                 "3262001201", FleetResult::Verified, 1.0}));
  EXPECT_TRUE(readFleetLog(app.dir / "log.csv").heldUnverified.empty());
  EXPECT_TRUE(membersLeft(members, app.dir / "log.csv").empty());
}

TEST_F(FleetRun, ATableRowsStartUpTextAndPasswordAreWrittenAndVerified) {
  const auto table = app.dir / "radios.csv";
  std::ofstream(table) << "Indivol,StartUp-Infomation,StartUp-Password\n"
                          "3262001301,ABCD,1111\n";
  FleetPlanError error;
  const auto members = membersInTable(table, error);
  ASSERT_TRUE(members) << error.message;
  EXPECT_TRUE(checkFleet(templ, *members).empty());
  const FleetSummary summary = run(*members, {false, true});
  EXPECT_EQ(summary.written, 1u);
  ASSERT_EQ(technician.rows.size(), 1u);
  EXPECT_EQ(technician.rows[0].result, FleetResult::Verified);
  EXPECT_EQ(memoryText(app.radio, 0x220, 16), "ABCD    1111    ");
}

TEST_F(FleetRun, AValueThatIsNoNumberIsNamedByItsRowAndColumn) {
  const auto table = app.dir / "radios.csv";
  std::ofstream(table) << "Indivol,TA\n3262001301,30\n\n3262001302,abc\n";
  FleetPlanError error;
  const auto members = membersInTable(table, error);
  ASSERT_TRUE(members) << error.message;
  const auto problems = checkFleet(templ, *members);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].text, "第 4 行 TA：'abc' 不是数字");
}

}  // namespace
}  // namespace rcp::app
