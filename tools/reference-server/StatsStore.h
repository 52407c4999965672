#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;

// The statistics reports an ads server accepted, kept in an SQLite file: each with the time it
// arrived, the client's address and its parameters in the order they were sent. Safe from
// several threads at once.
class StatsStore {
 public:
  using Parameters = std::vector<std::pair<std::string, std::string>>;
  struct Report {
    long long id = 0;
    std::string receivedAt;  // UTC, "2026-12-07T10:15:02.123Z"
    std::string remoteAddress;
    Parameters parameters;

    std::optional<std::string> parameter(const std::string& name) const;
  };

  // Opens (creating when missing) the file; none, with the reason in `error`, when it cannot
  // be opened or is not a store.
  static std::unique_ptr<StatsStore> open(const std::string& path, std::string& error);
  ~StatsStore();
  StatsStore(const StatsStore&) = delete;
  StatsStore& operator=(const StatsStore&) = delete;

  // Stores one report stamped with the current time; false when it could not be written.
  bool store(const std::string& remoteAddress, const Parameters& parameters);
  // Every stored report, oldest first.
  std::vector<Report> reports() const;

 private:
  explicit StatsStore(sqlite3* db) : _db(db) {}

  mutable std::mutex _mutex;
  sqlite3* _db;
};
