#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "cli/command.hpp"
#include "history/history_database.hpp"

// The service history as the commands open it: the backups kept before there was a history are
// imported first (once), and a history that cannot be used is told on `err`.
namespace rcp::app {

// Where the commands find the history and the backups folder it takes in.
struct HistoryPlace {
  std::filesystem::path file;
  std::filesystem::path backups;
};

// Nothing when the history cannot be opened (the reason on io.err).
std::unique_ptr<history::HistoryDatabase> openHistory(const HistoryPlace& place,
                                                      const CliStreams& io);

// An event's id as the command line names it, "12" or "#12"; nothing for any other text.
std::optional<std::int64_t> eventId(const std::string& text);

// The event of that id with its configuration; nothing when there is none (said on io.err).
std::optional<history::Event> eventWithData(history::HistoryDatabase& database, std::int64_t id,
                                            const CliStreams& io);

}  // namespace rcp::app
