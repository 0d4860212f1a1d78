// Ctrl+C during "fleet", in process on the virtual clock: while a radio is written the run ends
// once it is written and logged; while it waits for the next radio it ends at once; a second
// signal ends the program at once. The summary, the exit code and the log (what a rerun has left)
// are stated for each.

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "cli/fleet.hpp"
#include "cli/held_signals.hpp"
#include "fleet/fleet_plan.hpp"
#include "fleet/fleet_run.hpp"
#include "sim/radio_fleet.hpp"
#include "support/cli_line.hpp"

namespace rcp::app {
namespace {

// Radios coming and going on the line of a command run in process.
struct CliFleet : test::CliRun {
  sim::RadioFleet radios{[] {
    sim::RadioFleet::Setup setup;
    setup.identity = *sim::identityOfModel("HX33");
    setup.count = 3;
    return setup;
  }()};
  sim::SimulatedPort port{radios, virtualClock};

  FleetRequest request() {
    std::ofstream(dir / "templ.ini", std::ios::binary) << "[File0]\r\nIndivol=3262001201\r\n";
    return {dir / "templ.ini", "3262001201-3262001203", {}, dir / "log.csv", false};
  }
  // Radio `number` is on the line and has taken `chunks` chunks of its bulk block.
  std::function<bool()> writing(int number, std::size_t chunks) {
    return [this, number, chunks] {
      return radios.connected() == number && test::handledBy(*radios.radio(), "chunk") >= chunks;
    };
  }
  // A radio has been written and taken off, and the next is not there yet (the first is on the
  // line from the start until it is written).
  std::function<bool()> betweenRadios() {
    return [this] { return !radios.connected() && virtualClock.nowMs() > 1000; };
  }
};

std::string summary(std::size_t written, std::size_t left) {
  return "批量写频已中断：写好 " + std::to_string(written) + " 台，失败 0 次，剩余 " +
         std::to_string(left) + " 台。\n";
}

TEST(CliFleetSignals, ACtrlCEndsTheRunAfterTheRadioBeingWrittenOrAtOnceBetweenRadios) {
  struct Case {
    const char* name;
    std::function<std::function<bool()>(CliFleet&)> when;
    std::size_t written;
  };
  const std::vector<Case> cases = {
      {"while the second radio is written", [](CliFleet& f) { return f.writing(2, 30); }, 2},
      {"while the first radio's last chunk is written",
       [](CliFleet& f) { return f.writing(1, 61); }, 1},
      {"while waiting for the second radio", [](CliFleet& f) { return f.betweenRadios(); }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CliFleet fleet;
    const FleetRequest request = fleet.request();
    fleet.clock.at({{SIGINT, c.when(fleet)}});
    ::testing::internal::CaptureStderr();
    const int code = cliFleet("/dev/ttyS1", request, fleet.io(fleet.port), fleet.safety());
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, exitCodeOfSignal(SIGINT));
    EXPECT_NE(said.find("批量写频即将结束"), std::string::npos) << said;
    const std::string err = fleet.err.str();
    EXPECT_TRUE(err.ends_with(summary(c.written, 3 - c.written))) << err;
    EXPECT_EQ(readFleetLog(request.log).done.size(), c.written);
    EXPECT_LT(fleet.virtualClock.nowMs(), 120000);
  }
}

TEST(CliFleetSignalsDeathTest, ASecondCtrlCWhileARadioIsWrittenEndsAtOnceAndTheLogHasTheOthers) {
  CliFleet fleet;
  const FleetRequest request = fleet.request();
  EXPECT_EXIT(
      {
        fleet.clock.at({{SIGINT, fleet.writing(2, 10)}, {SIGINT, fleet.writing(2, 11)}});
        cliFleet("/dev/ttyS1", request, fleet.io(fleet.port), fleet.safety());
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(exitCodeOfSignal(SIGINT)),
      "写录已中断！电台中可能只有部分数据，请重新写录。");
  // The radio written before is logged; the one cut short is not, and a rerun writes it.
  EXPECT_EQ(readFleetLog(request.log).done.size(), 1u);
  FleetPlanError error;
  EXPECT_EQ(membersLeft(*numbersInRange("3262001201-3262001203", error), request.log).size(), 2u);
}

}  // namespace
}  // namespace rcp::app
