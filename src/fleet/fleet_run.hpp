#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fleet/fleet_plan.hpp"
#include "link/clock.hpp"
#include "link/ini_document.hpp"
#include "link/port.hpp"
#include "link/radio_identity.hpp"
#include "safety/safe_write.hpp"
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

// What the technician chooses for a radio whose write completed but whose verification failed or
// could not run: the radio holds the number either way, so it is never given to another radio
// unasked.
enum class UnverifiedChoice { WriteAgain, KeepAndGoOn, Stop };

// The question as the window asks it: 是 writes again, 否 keeps it and goes on, 取消 stops.
ui::Message unverifiedQuestion(const FleetLogRow& row);
UnverifiedChoice unverifiedChoice(ui::MessageResult answer);

// "这台电台已写为 3262001401，请连接下一台。"
std::string alreadyWrittenText(const std::string& number);

// What the run tells its face as it goes.
class FleetEvents {
 public:
  virtual ~FleetEvents() = default;
  virtual void waiting(std::size_t /*member*/) {}
  virtual void writing(std::size_t /*member*/) {}
  // The radio's transfers as its progress dialog shows them: the step and the percent.
  virtual void progress(std::size_t /*member*/, WriteStep /*step*/, int /*percent*/) {}
  virtual void finished(std::size_t /*member*/, const FleetLogRow& /*row*/) {}
  // The radio just written is to be taken off and the next one connected.
  virtual void connectNext() {}
  // The radio on the line already holds a number this run wrote into it; it is not written
  // again, and the run waits for it to be taken off (tell the technician alreadyWrittenText).
  virtual void alreadyWritten(const std::string& /*number*/) {}
  // The write of this member completed but its verification did not pass (row.result says
  // how: a mismatch or a read-back that did not complete). Without a face to ask, the run stops.
  virtual UnverifiedChoice unverified(std::size_t /*member*/, const FleetLogRow& /*row*/) {
    return UnverifiedChoice::Stop;
  }
  // The radio on the line is not of the model the run writes (`answered` is the model its
  // identity names); it is not written, and the run waits for it to be taken off.
  virtual void wrongModel(const std::string& /*answered*/, const std::string& /*wanted*/) {}
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
  std::filesystem::path history = {};  // where the run and each radio are recorded
  // Only radios of this model are written ("HX33"); empty: any.
  std::string model = {};
  // The run as its history records it: the radios ("3262001201-3262001203", a table's file)
  // and the options given.
  std::string members = {};
  std::string options = {};
};

// The run's options as its history records them, in the command line's words:
// "--backup --verify --skip-failed --model HX33 --log run.csv".
std::string fleetOptionsText(const FleetSettings& settings);

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
// field's rule warns about (see checkRecord), one line each, naming the member as memberName
// does: "3262001203：<path> “value”：text", "第 4 行 TA：'abc' 不是数字". `checked` is told
// the count of members checked after each, for a large plan's progress.
struct FleetProblem {
  std::size_t member;
  std::string text;
};
std::vector<FleetProblem> checkFleet(const link::IniDocument& templ,
                                     const std::vector<FleetMember>& members,
                                     const std::function<void(std::size_t)>& checked = {});

// The members whose number the log does not name as written (or as written and not verified),
// in order.
std::vector<FleetMember> membersLeft(const std::vector<FleetMember>& members,
                                     const std::filesystem::path& log);

// "这台电台是 HX34s，不是 HX33，没有写入。请取下它，连接一台 HX33。"
std::string wrongModelText(const std::string& answered, const std::string& wanted);

// The models a fleet may be limited to, each once, as the model table spells them.
std::vector<std::string> knownModels();
// The model asked for as the model table spells it ("hx33" is "HX33"); nothing for a model it
// does not know.
std::optional<std::string> knownModel(const std::string& asked);
// "没有型号“HX99”：可用的型号有 HX33、HX34s。"
std::string unknownModelText(const std::string& asked);

// Model names compare without regard to the case of letters ("hx34s" is "HX34s").
bool sameModel(std::string_view a, std::string_view b);
// Whether the model a radio's identity names is the one asked for (any when none is).
bool modelWanted(const link::RadioIdentity& identity, const std::string& wanted);

FleetSummary runFleet(const FleetLine& line, const link::IniDocument& templ,
                      const std::vector<FleetMember>& members, const FleetSettings& settings,
                      FleetEvents& events);

}  // namespace rcp::app
