#include "history/history_event.hpp"

#include <array>
#include <cstdio>
#include <ctime>
#include <utility>

namespace rcp::history {

namespace {

constexpr std::array<std::pair<Operation, Naming>, 5> kOperations = {{
    {Operation::Read, {"read", "读取"}},
    {Operation::Write, {"write", "写入"}},
    {Operation::Verify, {"verify", "校验"}},
    {Operation::Restore, {"restore", "写回"}},
    {Operation::FleetRadio, {"fleet", "批量写频"}},
}};

constexpr std::array<std::pair<Result, Naming>, 6> kResults = {{
    {Result::Done, {"done", "完成"}},
    {Result::Failed, {"failed", "失败"}},
    {Result::Verified, {"verified", "校验正确"}},
    {Result::VerifyFailed, {"mismatch", "校验失败"}},
    {Result::VerifyNotRun, {"unverified", "校验未完成"}},
    {Result::Cancelled, {"cancelled", "已取消"}},
}};

template <typename Table, typename Value>
Naming find(const Table& table, Value value) {
  for (const auto& [v, name] : table)
    if (v == value) return name;
  return {"", ""};
}

}  // namespace

Naming naming(Operation operation) {
  return find(kOperations, operation);
}

Naming naming(Result result) {
  return find(kResults, result);
}

std::optional<Result> resultNamed(std::string_view text) {
  for (const auto& [result, name] : kResults)
    if (text == name.key || text == name.word) return result;
  return std::nullopt;
}

std::string numberText(const Event& event) {
  if (event.numberBefore.empty() || event.numberBefore == event.numberAfter)
    return event.numberAfter.empty() ? "-" : event.numberAfter;
  return event.numberBefore + "→" + (event.numberAfter.empty() ? "-" : event.numberAfter);
}

std::string entryName(const Event& event) {
  return "历史记录 #" + std::to_string(event.id) + "（" + event.time + " " +
         std::string(naming(event.operation).word) + "）";
}

std::optional<std::int64_t> parseLocalTime(std::string_view text, bool endOfDay) {
  const std::string copy(text);
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, used = -1;
  // The whole text, in one of three forms.
  const bool date = std::sscanf(copy.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &used) == 3 &&
                    used == static_cast<int>(copy.size());
  used = -1;
  const bool minutes = !date &&
                       std::sscanf(copy.c_str(), "%4d-%2d-%2d %2d:%2d%n", &year, &month, &day,
                                   &hour, &minute, &used) == 5 &&
                       used == static_cast<int>(copy.size());
  used = -1;
  const bool seconds = !date && !minutes &&
                       std::sscanf(copy.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &year, &month, &day,
                                   &hour, &minute, &second, &used) == 6 &&
                       used == static_cast<int>(copy.size());
  if (!date && !minutes && !seconds) return std::nullopt;
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 59 || year < 1970)
    return std::nullopt;
  std::tm when{};
  when.tm_year = year - 1900;
  when.tm_mon = month - 1;
  when.tm_mday = day + (date && endOfDay ? 1 : 0);
  when.tm_hour = hour;
  when.tm_min = minute;
  when.tm_sec = second;
  when.tm_isdst = -1;
  const std::time_t t = std::mktime(&when);
  if (t == static_cast<std::time_t>(-1)) return std::nullopt;
  return static_cast<std::int64_t>(t);
}

std::string localTimeText(std::int64_t unixTime) {
  const std::time_t t = static_cast<std::time_t>(unixTime);
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace rcp::history
