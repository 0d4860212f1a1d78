#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/ini_document.hpp"

// What a fleet run writes: one template data file and, for each radio, the keys it gets of its
// own: its individual number from a range, or a row of a table whose header names data-file keys.
// The run's log is its state: a number logged as written is not written again.
namespace rcp::app {

inline constexpr const char* kNumberKey = "Indivol";
inline constexpr const char* kDataSection = "File0";

struct FleetMember {
  std::string number;                                       // the individual number
  std::vector<std::pair<std::string, std::string>> values;  // key and value, Indivol among them
  std::size_t row = 0;  // the member's line in its table (1 is the header); 0 for a range
};

// "第 4 行 " for a member of a table, "3262001203：" for one of a range: how a problem names it.
std::string memberName(const FleetMember& member);

struct FleetPlanError {
  std::string message;  // in Chinese, naming the file or the value
};

// What the command line and the window say when the plan stops before anything is sent.
inline constexpr const char* kMembersFaultyText =
    "以上电台的数据有误，批量写频没有开始，未向电台发送任何数据。";
inline constexpr const char* kAllLoggedText = "日志中全部电台均已写录，没有要写的电台。";

// The template: a data file that loads and has the data section.
std::optional<link::IniDocument> templateDocument(const std::filesystem::path& templ,
                                                  FleetPlanError& error);

// At most this many radios in one plan, from a range or a table.
inline constexpr std::size_t kMostRadios = 10000;

// "3262001201-3262001205": the numbers from the first to the last, in order. Both ends have the
// same number of digits and the first is not above the last; at most 10000 radios. A single
// number ("3262001201" or "3262001201-3262001201") is one radio.
std::optional<std::vector<FleetMember>> numbersInRange(const std::string& range,
                                                       FleetPlanError& error);

// A table in UTF-8 or GB2312 (CSV: a header of data-file keys, which must include Indivol, then
// one radio a row; fields may be quoted with '"'). Every column is a key a data file has (the
// start-up text and password included), each once; any other column, a row with more values
// than the header, a row without its number and two rows with one number refuse the table,
// naming the column or the rows. Blank rows (commas only included) are skipped. At most 10000
// radios.
std::optional<std::vector<FleetMember>> membersInTable(const std::filesystem::path& table,
                                                       FleetPlanError& error);

// The template with the member's own values set.
link::IniDocument memberDocument(const link::IniDocument& templ, const FleetMember& member);

// The log, one row a radio written or tried: time, port, radio identity, model, number, result,
// seconds. Written in UTF-8 with a header; each row appended and flushed as the radio ends.
inline constexpr const char* kLogHeader = "时间,端口,电台标识,型号,个人号,结果,秒";

// How a radio's turn ended, as its log row and its row in the window say it.
enum class FleetResult {
  Written,     // "写录完毕"
  Verified,    // "校验正确"
  Failed,      // "写录失败": the write did not complete
  Mismatch,    // "校验失败"
  Unverified,  // "校验未完成": the read-back did not complete
  Kept,  // "校验未通过，已保留": not verified, kept as it is by the technician's choice
};
const char* resultText(FleetResult result);
// The result a log's text names; nothing for a text that is no result.
std::optional<FleetResult> resultOfText(std::string_view text);
// Written successfully: written, written and verified, or kept.
bool isGood(FleetResult result);
// The radio holds the number: every result but a failed write.
bool holdsNumber(FleetResult result);

struct FleetLogRow {
  std::string time;
  std::string port;
  std::string identity;
  std::string model;
  std::string number;
  FleetResult result = FleetResult::Failed;
  double seconds = 0;
};

struct FleetLogReading {
  std::set<std::string> done;  // the numbers written (or written and verified)
  // Numbers written into a radio whose verification did not pass (or could not run), the run then
  // stopped: that radio holds the number, so no other radio is given it.
  std::set<std::string> heldUnverified;
  std::vector<std::size_t> skippedLines;  // from 1: rows that are not whole records
};
// Every well-formed row of the log; the others are skipped and named.
FleetLogReading readFleetLog(const std::filesystem::path& log);
// "日志 FILE 第 3、7 行不是完整的记录，已跳过。"
std::string skippedRowsText(const std::filesystem::path& log,
                            const std::vector<std::size_t>& lines);

// The numbers the log names as written successfully (written, written and verified, or kept).
std::set<std::string> numbersDone(const std::filesystem::path& log);

// Why a rerun gives the log's unverified numbers to no radio, and what to do about it.
std::string heldUnverifiedText(const std::set<std::string>& numbers);

// Why rows cannot be appended to the log (it is not a regular file, or cannot be opened), told
// before any radio is written; nothing when they can. An absent log is created (empty, 0600).
std::optional<std::string> logRefusal(const std::filesystem::path& log);

// Appends the row on a line of its own, creating the file (0600) with its header when missing
// or empty; false when it cannot.
[[nodiscard]] bool appendLogRow(const std::filesystem::path& log, const FleetLogRow& row);

// One CSV line split into its fields.
std::vector<std::string> csvFields(const std::string& line);

}  // namespace rcp::app
