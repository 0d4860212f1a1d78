#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One event of a radio's service history: what was read from it or written into it, when, by
// whom, on which device, with what result, and the configuration itself (the data-file text a
// save would write and the 1024-byte memory image).
namespace rcp::history {

enum class Operation { Read, Write, Verify, Restore, FleetRadio };
enum class Result { Done, Failed, Verified, VerifyFailed, VerifyNotRun, Cancelled };
inline constexpr Result kAllResults[] = {Result::Done,         Result::Failed,
                                         Result::Verified,     Result::VerifyFailed,
                                         Result::VerifyNotRun, Result::Cancelled};

// Each operation and result by its key (scripts, --result, JSON) and its Chinese word (listing).
struct Naming {
  std::string_view key;
  std::string_view word;
};
Naming naming(Operation operation);
Naming naming(Result result);
// A result by its key or its word; nothing for any other text.
std::optional<Result> resultNamed(std::string_view text);

struct Event {
  std::int64_t id = 0;        // given by the database
  std::int64_t unixTime = 0;  // seconds since 1970
  std::string time;           // local time, "2026-12-09 14:03:27"
  std::string user;           // the login name
  std::string device;         // the serial device, by its stable by-id name where it has one
  std::string identity;       // the radio's identity answer
  std::string model;          // "HX34s"
  std::string numberBefore;   // the individual number the radio held before (from a read)
  std::string numberAfter;    // ... and after
  Operation operation = Operation::Read;
  Result result = Result::Done;
  std::string version;              // the tool's version
  std::int64_t fleetRun = 0;        // the fleet run it belongs to; 0: none
  std::string note;                 // what else is worth telling (the fields that differ, ...)
  std::string backupFile;           // the backup file a read was kept in
  std::string dataFile;             // the configuration as a data file
  std::vector<std::uint8_t> image;  // the 1024-byte memory, empty when there is none
  // Where an imported event came from (the backup file's name and a digest of its text), so that
  // an import is done once; empty for an event recorded as it happened.
  std::string source;
};

// A fleet run: the template, the radios (numbers or table) and the options.
struct FleetRun {
  std::int64_t id = 0;
  std::int64_t unixTime = 0;
  std::string time;
  std::string user;
  std::string device;
  std::string version;
  std::string templateText;  // the template data file
  std::string members;       // "3262001201-3262001203" or the table's file and its numbers
  std::string options;       // "--verify --backup"
};

// What a listing asks for; an empty field asks nothing.
struct Filter {
  std::string number;  // the number before or after
  std::string model;
  std::optional<std::int64_t> since;  // unix time, inclusive
  std::optional<std::int64_t> until;  // unix time, exclusive
  std::optional<std::int64_t> fleetRun;
  std::optional<Result> result;
  std::optional<Operation> operation;
  std::size_t limit = 0;  // 0: every event
};

// The radio's number as a listing shows it: "3262001203", or the one before "→" the one after
// when they differ; "-" for none.
std::string numberText(const Event& event);

// An event as a comparison or a message names it: "历史记录 #12（2026-12-09 14:03:27 读取）".
std::string entryName(const Event& event);

// A local date "2026-12-09" or time "2026-12-09 14:03[:27]" as unix time; nothing for any other
// text. `endOfDay`: a date alone stands for the end of that day (the next day's start).
std::optional<std::int64_t> parseLocalTime(std::string_view text, bool endOfDay);
// Unix time as local time, "2026-12-09 14:03:27".
std::string localTimeText(std::int64_t unixTime);

}  // namespace rcp::history
