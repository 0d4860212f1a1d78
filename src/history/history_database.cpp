#include "history/history_database.hpp"

#include <sqlite3.h>

#include <array>
#include <cerrno>
#include <ctime>
#include <map>
#include <string_view>
#include <utility>

#include "history/compressed.hpp"
#include "link/path_text.hpp"
#include "link/private_files.hpp"

namespace rcp::history {

namespace {

namespace fs = std::filesystem;

// Each step brings the schema from its index to the next version; a step is never changed once
// released, a new one is added after it.
constexpr std::array<const char*, kSchemaVersion> kMigrations = {
    R"sql(
CREATE TABLE fleet_runs(
  id INTEGER PRIMARY KEY, unix_time INTEGER NOT NULL, time TEXT NOT NULL, user TEXT NOT NULL,
  device TEXT NOT NULL, version TEXT NOT NULL, template_size INTEGER NOT NULL, template BLOB,
  members TEXT NOT NULL, options TEXT NOT NULL);
CREATE TABLE dictionaries(id INTEGER PRIMARY KEY, data_file BLOB NOT NULL, image BLOB NOT NULL);
CREATE TABLE events(
  id INTEGER PRIMARY KEY, unix_time INTEGER NOT NULL, time TEXT NOT NULL, user TEXT NOT NULL,
  device TEXT NOT NULL, identity TEXT NOT NULL, model TEXT NOT NULL,
  number_before TEXT NOT NULL, number_after TEXT NOT NULL, operation TEXT NOT NULL,
  result TEXT NOT NULL, version TEXT NOT NULL, fleet_run INTEGER REFERENCES fleet_runs(id),
  note TEXT NOT NULL, backup_file TEXT NOT NULL, source TEXT UNIQUE);
CREATE TABLE configurations(
  event INTEGER PRIMARY KEY REFERENCES events(id),
  dictionary INTEGER NOT NULL REFERENCES dictionaries(id),
  data_file_size INTEGER NOT NULL, data_file BLOB, image_size INTEGER NOT NULL, image BLOB);
CREATE INDEX events_time ON events(unix_time, id);
CREATE INDEX events_number_after ON events(number_after);
CREATE INDEX events_number_before ON events(number_before);
CREATE INDEX events_fleet_run ON events(fleet_run);
)sql",
};

// An SQLite failure by its primary code, turned into words where it leaves the database.
struct Failure {
  int code;
};

bool damaged(int code) {
  return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

std::string reason(int code) {
  switch (code & 0xFF) {
    case SQLITE_FULL:
      return "磁盘已满";
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return "没有写入权限";
    case SQLITE_CANTOPEN:
      return "无法打开（没有权限，或文件夹不存在）";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "另一个程序长时间占用";
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return "文件已损坏";
    case SQLITE_IOERR:
      return "读写出错（磁盘可能已满）";
    default:
      return "数据库错误 " + std::to_string(code);
  }
}

HistoryError errorOf(const fs::path& file, const std::string& why) {
  return HistoryError("历史记录 " + link::textOf(file) + " 无法使用：" + why + "。");
}

void check(int code) {
  if (code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE) throw Failure{code & 0xFF};
}

// One prepared statement; its values bound from 1 on.
class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql) {
    check(sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr));
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& bind(std::int64_t value) {
    check(sqlite3_bind_int64(statement_, ++bound_, value));
    return *this;
  }
  Statement& bind(const std::string& text) {
    check(sqlite3_bind_text(statement_, ++bound_, text.data(), static_cast<int>(text.size()),
                            SQLITE_TRANSIENT));
    return *this;
  }
  // A blob, or NULL when empty.
  Statement& blob(const std::string& bytes) {
    ++bound_;
    check(bytes.empty() ? sqlite3_bind_null(statement_, bound_)
                        : sqlite3_bind_blob(statement_, bound_, bytes.data(),
                                            static_cast<int>(bytes.size()), SQLITE_TRANSIENT));
    return *this;
  }
  Statement& null() {
    check(sqlite3_bind_null(statement_, ++bound_));
    return *this;
  }
  // True while there is a row.
  bool step() {
    const int code = sqlite3_step(statement_);
    check(code);
    return code == SQLITE_ROW;
  }
  std::int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }
  std::string text(int column) const {
    const auto* data = sqlite3_column_blob(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    return data ? std::string(static_cast<const char*>(data), static_cast<std::size_t>(size)) : "";
  }

 private:
  sqlite3_stmt* statement_ = nullptr;
  int bound_ = 0;
};

void execute(sqlite3* db, const char* sql) {
  check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
}

// A write transaction, taken at once so that a waiting writer waits at its start; rolled back
// unless committed.
class Transaction {
 public:
  explicit Transaction(sqlite3* db) : db_(db) { execute(db_, "BEGIN IMMEDIATE"); }
  ~Transaction() {
    if (db_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void commit() {
    execute(db_, "COMMIT");
    db_ = nullptr;
  }

 private:
  sqlite3* db_;
};

// "history.sqlite.damaged-20261209-231500", another "-2" ... when that is taken.
fs::path asideName(const fs::path& file) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = link::textOf(file) + ".damaged-" + stamp;
  fs::path aside = link::pathOf(base);
  std::error_code ec;
  for (int n = 2; fs::exists(fs::symlink_status(aside, ec)) && n < 1000; ++n)
    aside = link::pathOf(base + "-" + std::to_string(n));
  return aside;
}

std::string imageText(const std::vector<std::uint8_t>& image) {
  return std::string(image.begin(), image.end());
}

std::string compressedOrEmpty(const std::string& bytes, const std::string& dictionary) {
  return bytes.empty() ? std::string() : compress(bytes, dictionary);
}

std::string uncompressed(const std::string& blob, std::int64_t size,
                         const std::string& dictionary) {
  if (size <= 0) return {};
  auto bytes = uncompress(blob, static_cast<std::size_t>(size), dictionary);
  if (!bytes) throw Failure{SQLITE_CORRUPT};
  return std::move(*bytes);
}

constexpr const char* kEventColumns =
    "events.id, unix_time, time, user, device, identity, model, number_before, number_after, "
    "operation, result, version, fleet_run, note, source, backup_file";

Operation operationOfKey(const std::string& key) {
  for (Operation o : {Operation::Read, Operation::Write, Operation::Verify, Operation::Restore,
                      Operation::FleetRadio})
    if (naming(o).key == key) return o;
  throw Failure{SQLITE_CORRUPT};
}

bool hasSourceIn(sqlite3* db, const std::string& source) {
  Statement find(db, "SELECT 1 FROM events WHERE source = ?");
  find.bind(source);
  return find.step();
}

Event eventOfRow(const Statement& row) {
  Event e;
  e.id = row.integer(0);
  e.unixTime = row.integer(1);
  e.time = row.text(2);
  e.user = row.text(3);
  e.device = row.text(4);
  e.identity = row.text(5);
  e.model = row.text(6);
  e.numberBefore = row.text(7);
  e.numberAfter = row.text(8);
  e.operation = operationOfKey(row.text(9));
  e.result = resultNamed(row.text(10)).value_or(Result::Failed);
  e.version = row.text(11);
  e.fleetRun = row.integer(12);
  e.note = row.text(13);
  e.source = row.text(14);
  e.backupFile = row.text(15);
  return e;
}

}  // namespace

// The configurations an event's are compressed against: the first event's that had them, kept
// in the database with the events, so that every later one is read with the same.
struct HistoryDatabase::Dictionary {
  std::int64_t id = 0;
  std::string dataFile;
  std::string image;
};

HistoryDatabase::HistoryDatabase(const fs::path& file) : file_(file) {
  try {
    open();
  } catch (const HistoryError&) {  // the destructor does not run for a constructor that throws
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  } catch (const Failure& failure) {
    if (!damaged(failure.code)) {
      sqlite3_close(db_);
      db_ = nullptr;
      throw errorOf(file_, reason(failure.code));
    }
    // A damaged file is kept for whoever wants to look into it; the history starts anew.
    sqlite3_close(db_);
    db_ = nullptr;
    const fs::path aside = asideName(file_);
    std::error_code ec;
    fs::rename(file_, aside, ec);
    if (ec) throw errorOf(file_, "文件已损坏，且无法移到一旁");
    for (const char* suffix : {"-wal", "-shm"}) {
      fs::path companion = file_;
      companion += suffix;
      fs::path companionAside = aside;
      companionAside += suffix;
      if (fs::exists(fs::symlink_status(companion, ec)))
        fs::rename(companion, companionAside, ec);  // best effort: the main file is aside already
    }
    movedAside_ = aside;
    try {
      open();
    } catch (const Failure& again) {
      sqlite3_close(db_);
      db_ = nullptr;
      throw errorOf(file_, reason(again.code));
    }
  }
}

HistoryDatabase::~HistoryDatabase() {
  sqlite3_close(db_);
}

void HistoryDatabase::open() {
  if (auto error = link::makePrivateFolder(file_.parent_path())) throw errorOf(file_, *error);
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(file_, ec);
  if (fs::exists(status)) {
    if (!fs::is_regular_file(status)) throw errorOf(file_, "不是普通文件");
  } else if (status.type() == fs::file_type::not_found) {
    // Created private, never through a link planted under its name.
    const link::NewFile created = link::createNewFile(file_, {});
    if (created.error != 0 && created.error != EEXIST)
      throw errorOf(file_, created.error == ENOSPC ? "磁盘已满" : "无法创建文件（没有写入权限）");
  } else {
    throw errorOf(file_, "无法访问");
  }
  const int opened = sqlite3_open_v2(link::textOf(file_).c_str(), &db_,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
  if (opened != SQLITE_OK) throw Failure{opened & 0xFF};
  sqlite3_extended_result_codes(db_, 0);
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  {
    Statement wal(db_, "PRAGMA journal_mode=WAL");
    if (!wal.step() || wal.text(0) != "wal") throw Failure{SQLITE_CANTOPEN};
  }
  execute(db_, "PRAGMA synchronous=NORMAL");
  // A listing reads the events' pages through the mapping, not a read call each.
  execute(db_, "PRAGMA mmap_size=268435456");
  execute(db_, "PRAGMA cache_size=-16384");
  execute(db_, "PRAGMA foreign_keys=ON");
  migrate();
}

void HistoryDatabase::migrate() {
  Transaction transaction(db_);
  execute(db_, "CREATE TABLE IF NOT EXISTS schema_version(version INTEGER NOT NULL)");
  std::int64_t version = 0;
  {
    Statement current(db_, "SELECT max(version) FROM schema_version");
    if (current.step()) version = current.integer(0);
  }
  if (version > kSchemaVersion)
    throw errorOf(file_, "由更新版本的程序创建（版本 " + std::to_string(version) + "）");
  if (version == kSchemaVersion) return;  // nothing written: the transaction rolls back
  for (auto step = static_cast<std::size_t>(version); step < kMigrations.size(); ++step)
    execute(db_, kMigrations[step]);
  execute(db_, "DELETE FROM schema_version");
  Statement(db_, "INSERT INTO schema_version(version) VALUES (?)").bind(kSchemaVersion).step();
  transaction.commit();
}

const HistoryDatabase::Dictionary& HistoryDatabase::dictionary(const Event& event) {
  if (dictionary_) return *dictionary_;
  auto found = std::make_unique<Dictionary>();
  Statement first(db_, "SELECT id, data_file, image FROM dictionaries ORDER BY id LIMIT 1");
  if (first.step()) {
    found->id = first.integer(0);
    found->dataFile = first.text(1);
    found->image = first.text(2);
  } else {
    found->dataFile = event.dataFile;
    found->image = imageText(event.image);
    Statement add(db_, "INSERT INTO dictionaries(data_file, image) VALUES (?, ?)");
    add.bind(found->dataFile).bind(found->image).step();
    found->id = sqlite3_last_insert_rowid(db_);
  }
  dictionary_ = std::move(found);
  return *dictionary_;
}

void HistoryDatabase::record(Event& event) {
  const auto once = [&] {
    Transaction transaction(db_);
    const bool withData = !event.dataFile.empty() || !event.image.empty();
    Dictionary none;
    const Dictionary& dict = withData ? dictionary(event) : none;
    Statement insert(db_,
                     "INSERT INTO events(unix_time, time, user, device, identity, model, "
                     "number_before, number_after, operation, result, version, fleet_run, note, "
                     "backup_file, source) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    insert.bind(event.unixTime).bind(event.time).bind(event.user).bind(event.device);
    insert.bind(event.identity).bind(event.model).bind(event.numberBefore).bind(event.numberAfter);
    insert.bind(std::string(naming(event.operation).key))
        .bind(std::string(naming(event.result).key))
        .bind(event.version);
    if (event.fleetRun)
      insert.bind(event.fleetRun);
    else
      insert.null();
    insert.bind(event.note).bind(event.backupFile);
    // An event recorded as it happened whose source is there already (the same backup taken
    // twice in a second) is recorded without one.
    if (event.source.empty() || hasSourceIn(db_, event.source))
      insert.null();
    else
      insert.bind(event.source);
    insert.step();
    event.id = sqlite3_last_insert_rowid(db_);
    // The configuration in a table of its own, so that listing never reads past it.
    if (withData) {
      Statement keep(db_,
                     "INSERT INTO configurations(event, dictionary, data_file_size, data_file, "
                     "image_size, image) VALUES (?,?,?,?,?,?)");
      keep.bind(event.id).bind(dict.id);
      keep.bind(static_cast<std::int64_t>(event.dataFile.size()))
          .blob(compressedOrEmpty(event.dataFile, dict.dataFile));
      const std::string image = imageText(event.image);
      keep.bind(static_cast<std::int64_t>(image.size())).blob(compressedOrEmpty(image, dict.image));
      keep.step();
    }
    transaction.commit();
  };
  try {
    once();
  } catch (const Failure& failure) {
    dictionary_.reset();  // a dictionary added in a transaction rolled back is not there
    throw errorOf(file_, reason(failure.code));
  }
}

void HistoryDatabase::recordRun(FleetRun& run) {
  try {
    Transaction transaction(db_);
    Statement insert(db_,
                     "INSERT INTO fleet_runs(unix_time, time, user, device, version, "
                     "template_size, template, members, options) VALUES (?,?,?,?,?,?,?,?,?)");
    insert.bind(run.unixTime).bind(run.time).bind(run.user).bind(run.device).bind(run.version);
    insert.bind(static_cast<std::int64_t>(run.templateText.size()))
        .blob(compressedOrEmpty(run.templateText, {}));
    insert.bind(run.members).bind(run.options).step();
    run.id = sqlite3_last_insert_rowid(db_);
    transaction.commit();
  } catch (const Failure& failure) {
    throw errorOf(file_, reason(failure.code));
  }
}

bool HistoryDatabase::hasSource(const std::string& source) {
  try {
    return hasSourceIn(db_, source);
  } catch (const Failure& failure) {
    throw errorOf(file_, reason(failure.code));
  }
}

std::vector<Event> HistoryDatabase::list(const Filter& filter) {
  std::string sql = std::string("SELECT ") + kEventColumns + " FROM events WHERE 1";
  if (!filter.number.empty()) sql += " AND (number_after = ? OR number_before = ?)";
  if (!filter.model.empty()) sql += " AND model = ? COLLATE NOCASE";
  if (filter.since) sql += " AND unix_time >= ?";
  if (filter.until) sql += " AND unix_time < ?";
  if (filter.fleetRun) sql += " AND fleet_run = ?";
  if (filter.result) sql += " AND result = ?";
  if (filter.operation) sql += " AND operation = ?";
  sql += " ORDER BY unix_time DESC, id DESC";
  if (filter.limit) sql += " LIMIT " + std::to_string(filter.limit);
  try {
    Statement find(db_, sql);
    if (!filter.number.empty()) find.bind(filter.number).bind(filter.number);
    if (!filter.model.empty()) find.bind(filter.model);
    if (filter.since) find.bind(*filter.since);
    if (filter.until) find.bind(*filter.until);
    if (filter.fleetRun) find.bind(*filter.fleetRun);
    if (filter.result) find.bind(std::string(naming(*filter.result).key));
    if (filter.operation) find.bind(std::string(naming(*filter.operation).key));
    std::vector<Event> events;
    while (find.step()) events.push_back(eventOfRow(find));
    return events;
  } catch (const Failure& failure) {
    throw errorOf(file_, reason(failure.code));
  }
}

std::optional<Event> HistoryDatabase::event(std::int64_t id) {
  try {
    Statement find(db_, std::string("SELECT ") + kEventColumns +
                            ", c.data_file_size, c.data_file, c.image_size, c.image, d.data_file, "
                            "d.image FROM events LEFT JOIN configurations c ON c.event = events.id "
                            "LEFT JOIN dictionaries d ON d.id = c.dictionary WHERE events.id = ?");
    find.bind(id);
    if (!find.step()) return std::nullopt;
    Event e = eventOfRow(find);
    e.dataFile = uncompressed(find.text(17), find.integer(16), find.text(20));
    const std::string image = uncompressed(find.text(19), find.integer(18), find.text(21));
    e.image.assign(image.begin(), image.end());
    return e;
  } catch (const Failure& failure) {
    throw errorOf(file_, reason(failure.code));
  }
}

std::optional<FleetRun> HistoryDatabase::run(std::int64_t id) {
  try {
    Statement find(db_,
                   "SELECT id, unix_time, time, user, device, version, template_size, template, "
                   "members, options FROM fleet_runs WHERE id = ?");
    find.bind(id);
    if (!find.step()) return std::nullopt;
    FleetRun run{find.integer(0), find.integer(1), find.text(2), find.text(3),
                 find.text(4),    find.text(5),    {},           find.text(8),
                 find.text(9)};
    run.templateText = uncompressed(find.text(7), find.integer(6), {});
    return run;
  } catch (const Failure& failure) {
    throw errorOf(file_, reason(failure.code));
  }
}

}  // namespace rcp::history
