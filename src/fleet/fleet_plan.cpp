#include "fleet/fleet_plan.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <map>
#include <sstream>

#include "link/cp936.hpp"
#include "link/ini_profile.hpp"
#include "link/path_text.hpp"
#include "settings/data_file_keys.hpp"

namespace rcp::app {

namespace {

bool allDigits(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool validUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t length = c < 0x80           ? 1
                               : (c >> 5) == 0x6  ? 2
                               : (c >> 4) == 0xE  ? 3
                               : (c >> 3) == 0x1E ? 4
                                                  : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2) return false;
    i += length;
  }
  return true;
}

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.pop_back();
  std::size_t start = 0;
  while (start < text.size() && text[start] == ' ') ++start;
  return text.substr(start);
}

}  // namespace

std::vector<std::string> csvFields(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  for (std::string& field : fields) field = trimmed(field);
  return fields;
}

std::optional<link::IniDocument> templateDocument(const std::filesystem::path& templ,
                                                  FleetPlanError& error) {
  if (link::checkFile(templ) == link::FileCheck::Absent) {
    error.message = "文件“" + link::textOf(templ) + "”不存在！";
    return std::nullopt;
  }
  link::IniLoad loaded = link::loadIniFile(templ);
  if (!loaded.error && loaded.document.section(kDataSection)) return std::move(loaded.document);
  error.message = loaded.error ? loaded.error->message() : link::textOf(templ) + " 不是数据文件。";
  return std::nullopt;
}

std::string memberName(const FleetMember& member) {
  if (member.row == 0) return member.number + "：";
  return "第 " + std::to_string(member.row) + " 行 ";
}

std::optional<std::vector<FleetMember>> numbersInRange(const std::string& range,
                                                       FleetPlanError& error) {
  const std::size_t dash = range.find('-');
  const std::string first = range.substr(0, dash);
  const std::string last = dash == std::string::npos ? first : range.substr(dash + 1);
  if (!allDigits(first) || !allDigits(last) || first.size() != last.size() || first.size() > 18) {
    error.message =
        "号码范围“" + range + "”无效：应为两个位数相同的号码，如 3262001201-3262001205。";
    return std::nullopt;
  }
  std::uint64_t from = 0, to = 0;
  std::from_chars(first.data(), first.data() + first.size(), from);
  std::from_chars(last.data(), last.data() + last.size(), to);
  if (from > to || to - from >= kMostRadios) {
    error.message = "号码范围“" + range + "”无效：起始号码不能大于结束号码，且最多 10000 台。";
    return std::nullopt;
  }
  std::vector<FleetMember> members;
  for (std::uint64_t n = from; n <= to; ++n) {
    std::string number = std::to_string(n);
    number.insert(0, first.size() - number.size(), '0');
    members.push_back({number, {{kNumberKey, number}}});
  }
  return members;
}

namespace {

bool refused(FleetPlanError& error, std::string message) {
  error.message = std::move(message);
  return false;
}

// The header: every column a data-file key, each once, Indivol among them.
bool headerAccepted(const std::filesystem::path& table, const std::vector<std::string>& header,
                    FleetPlanError& error) {
  const std::string where = "号码表 " + link::textOf(table);
  for (std::size_t i = 0; i < header.size(); ++i) {
    const std::string column = "第 " + std::to_string(i + 1) + " 列“" + header[i] + "”";
    if (!settings::findDataFileKey(header[i]))
      return refused(error, where + " 的" + column +
                                "不是数据文件的键名，批量写频没有开始。表头只能用数据文件中的键名，"
                                "如 Indivol、StartUp-Infomation、StartUp-Password。");
    if (std::find(header.begin(), header.begin() + static_cast<std::ptrdiff_t>(i), header[i]) !=
        header.begin() + static_cast<std::ptrdiff_t>(i))
      return refused(error,
                     where + " 的" + column + "重复，批量写频没有开始。每个键名只能有一列。");
  }
  if (std::find(header.begin(), header.end(), kNumberKey) == header.end())
    return refused(error, where + " 的第一行没有 Indivol 列。");
  return true;
}

bool blank(const std::vector<std::string>& fields) {
  return std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return f.empty(); });
}

}  // namespace

std::optional<std::vector<FleetMember>> membersInTable(const std::filesystem::path& table,
                                                       FleetPlanError& error) {
  if (link::checkFile(table) != link::FileCheck::Usable) {
    error.message = "无法读取号码表 " + link::textOf(table) + "。";
    return std::nullopt;
  }
  std::ifstream in(table, std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(in), {}};
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
  const std::string text = validUtf8(bytes) ? bytes : link::decodeCp936(bytes);
  std::istringstream lines(text);
  std::string line;
  std::size_t row = 0;
  std::vector<std::string> header;
  while (header.empty() && std::getline(lines, line)) {
    ++row;
    if (!trimmed(line).empty()) header = csvFields(line);
  }
  if (!headerAccepted(table, header, error)) return std::nullopt;
  const auto index = static_cast<std::size_t>(std::find(header.begin(), header.end(), kNumberKey) -
                                              header.begin());
  std::vector<FleetMember> members;
  std::map<std::string, std::size_t> rowOfNumber;
  const std::string where = "号码表 " + link::textOf(table) + " ";
  while (std::getline(lines, line)) {
    ++row;
    const std::vector<std::string> fields = csvFields(line);
    if (blank(fields)) continue;
    const std::string at = where + "第 " + std::to_string(row) + " 行";
    if (fields.size() > header.size()) {
      error.message = at + "有 " + std::to_string(fields.size()) + " 个值，表头只有 " +
                      std::to_string(header.size()) + " 列。";
      return std::nullopt;
    }
    FleetMember member;
    member.row = row;
    for (std::size_t i = 0; i < fields.size(); ++i)
      member.values.emplace_back(header[i], fields[i]);
    member.number = index < fields.size() ? fields[index] : "";
    if (member.number.empty()) {
      error.message = at + "没有个人号（Indivol）。";
      return std::nullopt;
    }
    if (const auto [first, fresh] = rowOfNumber.emplace(member.number, row); !fresh) {
      error.message = where + "第 " + std::to_string(first->second) + " 行和第 " +
                      std::to_string(row) + " 行的个人号都是 " + member.number +
                      "，批量写频没有开始。一个号码只能写入一台电台。";
      return std::nullopt;
    }
    if (members.size() == kMostRadios) {
      error.message = where + "中的电台超过 10000 台，请分成几个表。";
      return std::nullopt;
    }
    members.push_back(std::move(member));
  }
  if (members.empty()) {
    error.message = "号码表 " + link::textOf(table) + " 中没有电台。";
    return std::nullopt;
  }
  return members;
}

link::IniDocument memberDocument(const link::IniDocument& templ, const FleetMember& member) {
  link::IniDocument document = templ;
  for (const auto& [key, value] : member.values) document.set(kDataSection, key, value);
  return document;
}

namespace {

// Every result with its text; the texts are what logs hold, old ones included.
constexpr std::array<std::pair<FleetResult, const char*>, 6> kResultTexts = {{
    {FleetResult::Written, "写录完毕"},
    {FleetResult::Verified, "校验正确"},
    {FleetResult::Failed, "写录失败"},
    {FleetResult::Mismatch, "校验失败"},
    {FleetResult::Unverified, "校验未完成"},
    {FleetResult::Kept, "校验未通过，已保留"},
}};

}  // namespace

const char* resultText(FleetResult result) {
  for (const auto& [known, text] : kResultTexts)
    if (known == result) return text;
  return "";
}

std::optional<FleetResult> resultOfText(std::string_view text) {
  for (const auto& [result, known] : kResultTexts)
    if (text == known) return result;
  return std::nullopt;
}

bool isGood(FleetResult result) {
  return result == FleetResult::Written || result == FleetResult::Verified ||
         result == FleetResult::Kept;
}

bool holdsNumber(FleetResult result) {
  return result != FleetResult::Failed;
}

namespace {

constexpr std::size_t kLogFields = 7;

struct LoggedRadio {
  std::string number;
  FleetResult result;
};

// A row as appendLogRow writes it: seven fields, a number of digits, a known result, and no
// control byte anywhere (a row cut short and run together with binary bytes is not taken).
std::optional<LoggedRadio> wellFormedRow(const std::string& line) {
  if (std::any_of(line.begin(), line.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
    return std::nullopt;
  const std::vector<std::string> fields = csvFields(line);
  if (fields.size() != kLogFields || !allDigits(fields[4])) return std::nullopt;
  const auto result = resultOfText(fields[5]);
  if (!result) return std::nullopt;
  return LoggedRadio{fields[4], *result};
}

}  // namespace

FleetLogReading readFleetLog(const std::filesystem::path& log) {
  FleetLogReading reading;
  std::ifstream in(log, std::ios::binary);
  std::string line;
  for (std::size_t number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (trimmed(line).empty() || line == kLogHeader) continue;
    const auto radio = wellFormedRow(line);
    if (!radio) {
      reading.skippedLines.push_back(number);
      continue;
    }
    if (isGood(radio->result))
      reading.done.insert(radio->number);
    else if (holdsNumber(radio->result))
      reading.heldUnverified.insert(radio->number);
  }
  // Written again later and verified (or kept): done after all.
  std::erase_if(reading.heldUnverified,
                [&](const std::string& number) { return reading.done.contains(number); });
  return reading;
}

std::set<std::string> numbersDone(const std::filesystem::path& log) {
  return readFleetLog(log).done;
}

std::string heldUnverifiedText(const std::set<std::string>& numbers) {
  std::string list;
  for (const std::string& number : numbers) list += (list.empty() ? "" : "、") + number;
  return "号码 " + list +
         " 已写入电台但没有通过校验，这次不会写给别的电台。要重写那台电台，请在日志中删去该号码的"
         "行，再连接那台电台重新运行。";
}

std::string skippedRowsText(const std::filesystem::path& log,
                            const std::vector<std::size_t>& lines) {
  std::string numbers;
  for (const std::size_t line : lines)
    numbers += (numbers.empty() ? "" : "、") + std::to_string(line);
  return "日志 " + link::textOf(log) + " 第 " + numbers + " 行不是完整的记录，已跳过。";
}

std::optional<std::string> logRefusal(const std::filesystem::path& log) {
  const link::OutputFile out(log, link::OutputFile::Start::AtEnd);
  if (out.ok()) return std::nullopt;
  return "无法写入日志 " + link::textOf(log) + "：" +
         (out.reason() == link::kNotRegularReason ? out.reason() : std::string("无法打开"));
}

bool appendLogRow(const std::filesystem::path& log, const FleetLogRow& row) {
  link::OutputFile out(log, link::OutputFile::Start::AtEnd);
  if (!out.ok()) return false;
  std::string text;
  if (out.sizeAtOpen() == 0) {
    text += std::string(kLogHeader) + '\n';
  } else if (out.lastByte() != '\n') {
    // A row left without its line end (a crash, an editor) keeps its own line.
    text += '\n';
  }
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", row.seconds);
  text += csvField(row.time) + ',' + csvField(row.port) + ',' + csvField(row.identity) + ',' +
          csvField(row.model) + ',' + csvField(row.number) + ',' +
          csvField(resultText(row.result)) + ',' + seconds + '\n';
  return out.write(text);
}

}  // namespace rcp::app
