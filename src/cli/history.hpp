#pragma once

#include <optional>
#include <string>

#include "cli/command.hpp"
#include "cli/history_access.hpp"

namespace rcp::app {

// What "history" lists: each filter given narrows the events.
struct HistoryQuery {
  std::string number = {};
  std::string model = {};
  std::string since = {};   // "2026-12-09" or "2026-12-09 14:00"
  std::string until = {};   // a date alone includes that whole day
  std::string fleet = {};   // a fleet run's id
  std::string result = {};  // done, failed, verified, mismatch, unverified, cancelled (or the word)
  bool json = false;
};

// "history": the events, newest first, one a line: id, time, operation, model, number (the one
// before "→" the one after, when they differ), result, device, user, separated by two spaces;
// with `json` an array of objects for scripts. A fleet run's listing begins with the run.
// Exit 0, or 2 when a filter is not understood or the history cannot be opened.
int cliHistory(const HistoryPlace& place, const HistoryQuery& query, const CliStreams& io);

}  // namespace rcp::app
