#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/fleet_plan.hpp"
#include "app/safe_write.hpp"
#include "link/clock.hpp"
#include "link/ini_document.hpp"
#include "link/port.hpp"
#include "ui/dialogs.hpp"
#include "ui/screen.hpp"

// Programming a fleet: one radio after another on the same line, each written with the template
// and its own values, logged, and let go before the next is taken, so that no radio is written
// twice by accident. The command line and the window's "批量写频" dialog both run this.
namespace rcp::app {

// Polls for a radio at most twice a second. After a write (which ends with its own settling
// pause) it waits a little more before asking whether the radio is still there, then asks at the
// same pace, so that a swap of a few seconds is never missed: a radio that answered before the
// swap and one that answers after it look alike.
inline constexpr int kPollMs = 500;
inline constexpr int kLetGoMs = 500;

// What the run tells its face as it goes.
class FleetEvents {
 public:
  virtual ~FleetEvents() = default;
  virtual void waiting(std::size_t /*member*/) {}
  virtual void writing(std::size_t /*member*/) {}
  // The radio's transfers as its progress dialog shows them: the activity and the percent.
  virtual void progress(std::size_t /*member*/, const std::string& /*activity*/, int /*percent*/) {}
  virtual void finished(std::size_t /*member*/, const FleetLogRow& /*row*/) {}
  // The radio just written is to be taken off and the next one connected.
  virtual void connectNext() {}
  // Asked between polls and after each radio; true ends the run there.
  virtual bool stopRequested() { return false; }
};

struct FleetSettings {
  WriteSafetyChoice safety;
  bool skipFailed = false;
  std::filesystem::path log;  // empty: no log
  std::string portLabel;      // the port as the log names it
  std::filesystem::path comIni;
  std::filesystem::path backups;
};

// The line the radios come and go on, already open, and the services each radio's program shows
// its messages and progress through.
struct FleetLine {
  link::Port& port;
  link::Clock& clock;
  ui::Dialogs& dialogs;
  ui::Screen& screen;
};

struct FleetSummary {
  std::size_t written = 0;
  std::size_t failed = 0;
  std::size_t left = 0;
  bool stopped = false;
};

// What stops a fleet before anything is sent: a member's record that does not open, or that a
// field's rule warns about (see checkRecord), one line each: "3262001203：<path> “value”：text".
struct FleetProblem {
  std::size_t member;
  std::string text;
};
std::vector<FleetProblem> checkFleet(const link::IniDocument& templ,
                                     const std::vector<FleetMember>& members);

// The members whose number the log does not name as written, in order.
std::vector<FleetMember> membersLeft(const std::vector<FleetMember>& members,
                                     const std::filesystem::path& log);

FleetSummary runFleet(const FleetLine& line, const link::IniDocument& templ,
                      const std::vector<FleetMember>& members, const FleetSettings& settings,
                      FleetEvents& events);

}  // namespace rcp::app
