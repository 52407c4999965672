#include "StatsStore.h"

#include <sqlite3.h>

#include <chrono>
#include <ctime>

#include "UTCStamp.h"

namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS reports ("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
    "  received_at TEXT NOT NULL,"
    "  remote_address TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS report_parameters ("
    "  report_id INTEGER NOT NULL REFERENCES reports(id),"
    "  position INTEGER NOT NULL,"
    "  name TEXT NOT NULL,"
    "  value TEXT NOT NULL,"
    "  PRIMARY KEY (report_id, position));";

// A prepared statement, finalized when it goes.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &_statement, nullptr); }
  ~Statement() { sqlite3_finalize(_statement); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  explicit operator bool() const { return _statement != nullptr; }
  sqlite3_stmt* get() const { return _statement; }
  void bind(int index, const std::string& text) {
    sqlite3_bind_text(_statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
  }
  std::string column(int index) const {
    const unsigned char* text = sqlite3_column_text(_statement, index);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<size_t>(sqlite3_column_bytes(_statement, index)))
                : std::string();
  }

 private:
  sqlite3_stmt* _statement = nullptr;
};

}  // namespace

std::optional<std::string> StatsStore::Report::parameter(const std::string& name) const {
  for (const auto& [key, value] : parameters)
    if (key == name) return value;
  return std::nullopt;
}

std::unique_ptr<StatsStore> StatsStore::open(const std::string& path, std::string& error) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    error = path + ": " + (db ? sqlite3_errmsg(db) : "cannot be opened");
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, 2000);
  char* message = nullptr;
  if (sqlite3_exec(db, kSchema, nullptr, nullptr, &message) != SQLITE_OK) {
    error = path + ": " + (message ? message : "not a statistics store");
    sqlite3_free(message);
    sqlite3_close(db);
    return nullptr;
  }
  return std::unique_ptr<StatsStore>(new StatsStore(db));
}

StatsStore::~StatsStore() {
  sqlite3_close(_db);
}

bool StatsStore::store(const std::string& remoteAddress, const Parameters& parameters) {
  std::lock_guard lock(_mutex);
  if (sqlite3_exec(_db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) return false;
  bool ok = false;
  {
    Statement report(_db, "INSERT INTO reports (received_at, remote_address) VALUES (?, ?)");
    Statement parameter(_db,
                        "INSERT INTO report_parameters (report_id, position, name, value) "
                        "VALUES (?, ?, ?, ?)");
    if (report && parameter) {
      report.bind(1, utcStamp());
      report.bind(2, remoteAddress);
      ok = sqlite3_step(report.get()) == SQLITE_DONE;
      sqlite3_int64 id = sqlite3_last_insert_rowid(_db);
      for (size_t i = 0; ok && i < parameters.size(); ++i) {
        sqlite3_reset(parameter.get());
        sqlite3_bind_int64(parameter.get(), 1, id);
        sqlite3_bind_int64(parameter.get(), 2, static_cast<sqlite3_int64>(i));
        parameter.bind(3, parameters[i].first);
        parameter.bind(4, parameters[i].second);
        ok = sqlite3_step(parameter.get()) == SQLITE_DONE;
      }
    }
  }
  sqlite3_exec(_db, ok ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
  return ok;
}

std::vector<StatsStore::Report> StatsStore::reports() const {
  std::lock_guard lock(_mutex);
  std::vector<Report> reports;
  Statement rows(_db, "SELECT id, received_at, remote_address FROM reports ORDER BY id");
  Statement parameters(_db,
                       "SELECT name, value FROM report_parameters WHERE report_id = ? "
                       "ORDER BY position");
  if (!rows || !parameters) return reports;
  while (sqlite3_step(rows.get()) == SQLITE_ROW) {
    Report report;
    report.id = sqlite3_column_int64(rows.get(), 0);
    report.receivedAt = rows.column(1);
    report.remoteAddress = rows.column(2);
    sqlite3_reset(parameters.get());
    sqlite3_bind_int64(parameters.get(), 1, report.id);
    while (sqlite3_step(parameters.get()) == SQLITE_ROW)
      report.parameters.emplace_back(parameters.column(0), parameters.column(1));
    reports.push_back(std::move(report));
  }
  return reports;
}
