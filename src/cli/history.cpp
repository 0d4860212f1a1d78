#include "cli/history.hpp"

#include <cstdio>

#include "cli/terminal_services.hpp"

namespace rcp::app {

namespace {

using history::Event;

// A JSON string: quotes, backslashes and control characters escaped; other bytes as they are.
std::string json(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string orDash(const std::string& text) {
  return text.empty() ? "-" : printableText(text);
}

void printLine(const Event& e, std::ostream& out) {
  out << '#' << e.id << "  " << e.time << "  " << history::naming(e.operation).word << "  "
      << orDash(e.model) << "  " << printableText(history::numberText(e)) << "  "
      << history::naming(e.result).word << "  " << orDash(e.device) << "  " << orDash(e.user)
      << '\n';
}

void printJson(const std::vector<Event>& events, std::ostream& out) {
  out << "[";
  for (std::size_t i = 0; i < events.size(); ++i) {
    const Event& e = events[i];
    out << (i ? ",\n " : "\n ") << "{\"id\":" << e.id << ",\"time\":" << json(e.time)
        << ",\"unix_time\":" << e.unixTime
        << ",\"operation\":" << json(std::string(history::naming(e.operation).key))
        << ",\"result\":" << json(std::string(history::naming(e.result).key))
        << ",\"model\":" << json(e.model) << ",\"number_before\":" << json(e.numberBefore)
        << ",\"number_after\":" << json(e.numberAfter) << ",\"device\":" << json(e.device)
        << ",\"user\":" << json(e.user) << ",\"identity\":" << json(e.identity)
        << ",\"version\":" << json(e.version) << ",\"fleet_run\":" << e.fleetRun
        << ",\"backup_file\":" << json(e.backupFile) << ",\"note\":" << json(e.note) << "}";
  }
  out << (events.empty() ? "]\n" : "\n]\n");
}

// The query as the history's filter; the first option not understood is said on `lines`.
std::optional<history::Filter> filterOf(const HistoryQuery& query, TerminalLines& lines) {
  history::Filter filter;
  filter.number = query.number;
  filter.model = query.model;
  const auto time = [&](const std::string& text, bool endOfDay, const char* option,
                        std::optional<std::int64_t>& into) {
    if (text.empty()) return true;
    into = history::parseLocalTime(text, endOfDay);
    if (!into)
      lines.line(std::string(option) + " 的日期“" + text +
                 "”无法识别：请写成 2026-12-09 或 2026-12-09 14:30。");
    return into.has_value();
  };
  if (!time(query.since, false, "--since", filter.since) ||
      !time(query.until, true, "--until", filter.until))
    return std::nullopt;
  if (!query.fleet.empty()) {
    filter.fleetRun = eventId(query.fleet);
    if (!filter.fleetRun) {
      lines.line("--fleet 需要批量写频的编号（一个正整数），而不是“" + query.fleet + "”。");
      return std::nullopt;
    }
  }
  if (!query.result.empty()) {
    filter.result = history::resultNamed(query.result);
    if (!filter.result) {
      lines.line(
          "--result 只能是 done、failed、verified、mismatch、unverified 或 cancelled，"
          "而不是“" +
          query.result + "”。");
      return std::nullopt;
    }
  }
  return filter;
}

// A fleet run as its log heads it.
void printRun(const history::FleetRun& run, std::ostream& out) {
  out << "批量写频 #" << run.id << "  " << run.time << "  " << orDash(run.device) << "  "
      << orDash(run.user) << "  " << printableText(run.members) << "  "
      << printableText(run.options) << '\n';
}

}  // namespace

int cliHistory(const HistoryPlace& place, const HistoryQuery& query, const CliStreams& io) {
  TerminalLines lines(io.err, false);
  const auto filter = filterOf(query, lines);
  if (!filter) return kExitUsageFileOrPort;
  const auto database = openHistory(place, io);
  if (!database) return kExitUsageFileOrPort;
  try {
    const std::vector<Event> events = database->list(*filter);
    if (query.json) {
      printJson(events, io.out);
      return kExitDone;
    }
    if (filter->fleetRun) {
      const auto run = database->run(*filter->fleetRun);
      if (!run) {
        lines.line("历史记录中没有编号 " + std::to_string(*filter->fleetRun) + " 的批量写频。");
        return kExitUsageFileOrPort;
      }
      printRun(*run, io.out);
    }
    for (const Event& e : events) printLine(e, io.out);
  } catch (const std::exception& e) {
    lines.line(e.what());
    return kExitUsageFileOrPort;
  }
  return kExitDone;
}

}  // namespace rcp::app
