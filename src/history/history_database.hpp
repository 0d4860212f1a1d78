#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "history/history_event.hpp"

struct sqlite3;

// The service history in an SQLite database: one row an event, each recorded in a transaction of
// its own; a fleet run a row of its own that its radios' events name. The database is opened in
// WAL mode with a busy time-out, so that the window and a terminal record at the same time; its
// schema carries a version and is brought up to date when opened. The file is created 0600 in a
// 0700 folder; a damaged one is moved aside (its name gets a time stamp) and a new one started.
namespace rcp::history {

// What went wrong with the database, as a user reads it.
class HistoryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The schema version this program writes.
inline constexpr int kSchemaVersion = 1;
// How long a writer waits for another to finish its transaction.
inline constexpr int kBusyTimeoutMs = 5000;

class HistoryDatabase {
 public:
  // Opens `file`, creating it and its folder when missing. Throws HistoryError when it cannot be
  // used (no permission, disk full, a newer schema, not a regular file). A damaged file is moved
  // aside first (`movedAside()` names where) and a new one started.
  explicit HistoryDatabase(const std::filesystem::path& file);
  ~HistoryDatabase();
  HistoryDatabase(const HistoryDatabase&) = delete;
  HistoryDatabase& operator=(const HistoryDatabase&) = delete;

  const std::filesystem::path& file() const { return file_; }
  const std::optional<std::filesystem::path>& movedAside() const { return movedAside_; }

  // Each in a transaction of its own; the id given is set. Throws HistoryError.
  void record(Event& event);
  void recordRun(FleetRun& run);
  // Whether an event with this source (an imported backup) is already there.
  bool hasSource(const std::string& source);

  // The events that pass the filter, newest first, without their configuration.
  std::vector<Event> list(const Filter& filter);
  // One event with its configuration; nothing when there is none of that id.
  std::optional<Event> event(std::int64_t id);
  std::optional<FleetRun> run(std::int64_t id);

 private:
  void open();
  void migrate();
  struct Dictionary;
  const Dictionary& dictionary(const Event& event);

  std::filesystem::path file_;
  sqlite3* db_ = nullptr;
  std::optional<std::filesystem::path> movedAside_;
  std::unique_ptr<Dictionary> dictionary_;
};

}  // namespace rcp::history
