#include "Network/URLCache.h"

#include <sqlite3.h>

#include <limits>
#include <utility>

#include "Foundation/AppContainer.h"
#include "Foundation/Console.h"
#include "Foundation/FileManager.h"

namespace platform {
namespace {

// Like the phone's cache, a single response is kept in a tier only when it costs at most 5% of
// that tier's capacity, so that one large response cannot push out everything else.
bool fitsTier(std::size_t cost, std::size_t capacity) {
  return cost <= capacity / 20;
}

void appendLength(Bytes& out, std::size_t length) {
  auto value = static_cast<std::uint32_t>(length);
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Header fields as: count, then for each field its name and value, each a length and bytes;
// lengths are 32-bit little-endian.
Bytes encodeHeaders(const std::vector<std::pair<std::string, std::string>>& headers) {
  Bytes out;
  appendLength(out, headers.size());
  for (const auto& [name, value] : headers) {
    appendLength(out, name.size());
    out.insert(out.end(), name.begin(), name.end());
    appendLength(out, value.size());
    out.insert(out.end(), value.begin(), value.end());
  }
  return out;
}

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : _data(data), _size(size) {}
  std::optional<std::uint32_t> length() {
    if (_size - _offset < 4) return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t{_data[_offset + i]} << (8 * i);
    _offset += 4;
    return value;
  }
  std::optional<std::string> string() {
    auto count = length();
    if (!count || _size - _offset < *count) return std::nullopt;
    std::string value(reinterpret_cast<const char*>(_data + _offset), *count);
    _offset += *count;
    return value;
  }
  bool atEnd() const { return _offset == _size; }

 private:
  const std::uint8_t* _data;
  std::size_t _size;
  std::size_t _offset = 0;
};

std::optional<std::vector<std::pair<std::string, std::string>>> decodeHeaders(
    const std::uint8_t* data, std::size_t size) {
  Reader reader(data, size);
  auto count = reader.length();
  if (!count) return std::nullopt;
  std::vector<std::pair<std::string, std::string>> headers;
  for (std::uint32_t i = 0; i < *count; ++i) {
    auto name = reader.string();
    if (!name) return std::nullopt;
    auto value = reader.string();
    if (!value) return std::nullopt;
    headers.emplace_back(std::move(*name), std::move(*value));
  }
  if (!reader.atEnd()) return std::nullopt;
  return headers;
}

std::mutex& sharedMutex() {
  static std::mutex mutex;
  return mutex;
}

std::shared_ptr<URLCache>& sharedCache() {
  static std::shared_ptr<URLCache> cache;
  return cache;
}

// A prepared statement; every use binds its parameters and resets it afterwards.
class Statement {
 public:
  Statement() = default;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement() { finalize(); }

  int prepare(sqlite3* db, const char* sql) {
    finalize();
    return sqlite3_prepare_v2(db, sql, -1, &_statement, nullptr);
  }
  void finalize() {
    if (_statement) sqlite3_finalize(_statement);
    _statement = nullptr;
  }
  sqlite3_stmt* get() const { return _statement; }
  void bind(int index, const std::string& text) {
    sqlite3_bind_text(_statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
  }
  void bind(int index, const Bytes& bytes) {
    static const std::uint8_t empty = 0;
    // A null pointer would store NULL instead of an empty blob.
    sqlite3_bind_blob(_statement, index, bytes.empty() ? &empty : bytes.data(),
                      static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  }
  void bind(int index, std::int64_t value) { sqlite3_bind_int64(_statement, index, value); }
  void bind(int index, double value) { sqlite3_bind_double(_statement, index, value); }
  int step() { return sqlite3_step(_statement); }
  void reset() {
    // Damage handling may have closed the database while a use was under way.
    if (!_statement) return;
    sqlite3_reset(_statement);
    sqlite3_clear_bindings(_statement);
  }

 private:
  sqlite3_stmt* _statement = nullptr;
};

// Resets a statement when a use of it ends, however it ends.
class StatementUse {
 public:
  explicit StatementUse(Statement& statement) : _statement(statement) {}
  ~StatementUse() { _statement.reset(); }
  StatementUse(const StatementUse&) = delete;
  StatementUse& operator=(const StatementUse&) = delete;

 private:
  Statement& _statement;
};

bool isDamage(int code) {
  int primary = code & 0xff;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS responses ("
    " url TEXT PRIMARY KEY NOT NULL,"
    " cost INTEGER NOT NULL,"
    " last_access INTEGER NOT NULL,"
    " status INTEGER NOT NULL,"
    " expected_length INTEGER NOT NULL,"
    " stored REAL NOT NULL,"
    " mime TEXT NOT NULL,"
    " headers BLOB NOT NULL,"
    " body BLOB NOT NULL);"
    "CREATE INDEX IF NOT EXISTS responses_last_access ON responses(last_access);";

}  // namespace

// The disk tier: one table with a row per URL. Last access is a counter rather than a clock, so
// that the order of uses is exact even within one clock tick.
class URLCache::DiskStore {
 public:
  explicit DiskStore(std::string path) : _path(std::move(path)) {}
  ~DiskStore() { close(); }

  // Opens the file; a damaged or foreign file is moved aside and replaced by a fresh one.
  bool open() {
    std::string folder = FileManager::stringByDeletingLastPathComponent(_path);
    if (!folder.empty()) FileManager::createDirectoryAtPath(folder, true);
    int code = openFile();
    if (code == SQLITE_OK) return true;
    if (isDamage(code) || (code & 0xff) == SQLITE_ERROR) {
      std::string message = _lastError;
      close();
      setAside();
      Console::logf("URLCache: %s is not a usable cache database (%s); moved it to %s.corrupt",
                    _path.c_str(), message.c_str(), _path.c_str());
      if (openFile() == SQLITE_OK) return true;
    }
    Console::logf("URLCache: cannot open %s (%s); responses are kept in memory only", _path.c_str(),
                  _lastError.c_str());
    close();
    return false;
  }

  bool isOpen() const { return _db != nullptr; }
  std::size_t usage() const { return _usage; }

  void store(const CachedURLResponse& response, std::size_t cost, std::size_t capacity) {
    if (!_db) return;
    if (!begin()) return;
    int code = SQLITE_OK;
    {
      StatementUse use(_costOf);
      _costOf.bind(1, response.url);
      code = _costOf.step();
      if (code == SQLITE_ROW) subtractUsage(sqlite3_column_int64(_costOf.get(), 0));
    }
    if (code == SQLITE_ROW || code == SQLITE_DONE) {
      StatementUse use(_upsert);
      _upsert.bind(1, response.url);
      _upsert.bind(2, static_cast<std::int64_t>(cost));
      _upsert.bind(3, ++_accessCounter);
      _upsert.bind(4, std::int64_t{response.statusCode});
      _upsert.bind(5, response.expectedContentLength);
      _upsert.bind(6, response.storedDate.timeIntervalSince1970);
      _upsert.bind(7, response.mimeType);
      _upsert.bind(8, encodeHeaders(response.headers));
      _upsert.bind(9, response.data);
      code = _upsert.step();
      if (code == SQLITE_DONE) _usage += cost;
    }
    while (code == SQLITE_DONE && _usage > capacity) code = evictOldest();
    finish(code);
  }

  // The stored response, or none; a row that does not decode is deleted.
  std::shared_ptr<CachedURLResponse> lookup(const std::string& url) {
    if (!_db) return nullptr;
    std::shared_ptr<CachedURLResponse> response;
    bool badRow = false;
    std::int64_t badCost = 0;
    {
      StatementUse use(_select);
      _select.bind(1, url);
      int code = _select.step();
      if (code == SQLITE_ROW) {
        response = decodeRow(url);
        if (!response) {
          badRow = true;
          badCost = sqlite3_column_int64(_select.get(), 0);
        }
      } else if (code != SQLITE_DONE) {
        failed(code);
        return nullptr;
      }
    }
    if (badRow) {
      Console::logf("URLCache: dropped an unreadable cached response for %s", url.c_str());
      int code = runDelete(url);
      if (code == SQLITE_DONE) subtractUsage(badCost);
      return nullptr;
    }
    if (response) touch(url);
    return response;
  }

  void touch(const std::string& url) {
    if (!_db) return;
    StatementUse use(_touch);
    _touch.bind(1, url);
    _touch.bind(2, ++_accessCounter);
    int code = _touch.step();
    if (code != SQLITE_DONE) failed(code);
  }

  void remove(const std::string& url) {
    if (!_db) return;
    std::int64_t cost = 0;
    {
      StatementUse use(_costOf);
      _costOf.bind(1, url);
      int code = _costOf.step();
      if (code == SQLITE_DONE) return;
      if (code != SQLITE_ROW) return failed(code);
      cost = sqlite3_column_int64(_costOf.get(), 0);
    }
    if (runDelete(url) == SQLITE_DONE) subtractUsage(cost);
  }

  void removeAll() {
    if (!_db) return;
    StatementUse use(_deleteAll);
    int code = _deleteAll.step();
    if (code == SQLITE_DONE) {
      _usage = 0;
    } else {
      failed(code);
    }
  }

 private:
  int openFile() {
    int code =
        sqlite3_open_v2(_path.c_str(), &_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (code != SQLITE_OK) return fail(code);
    sqlite3_extended_result_codes(_db, 1);
    sqlite3_busy_timeout(_db, 2000);
    code = sqlite3_exec(_db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr,
                        nullptr, nullptr);
    if (code != SQLITE_OK) return fail(code);
    {
      Statement check;
      code = check.prepare(_db, "PRAGMA quick_check");
      if (code != SQLITE_OK) return fail(code);
      code = check.step();
      if (code != SQLITE_ROW) return fail(code);
      auto* text = reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0));
      if (!text || std::string_view(text) != "ok") {
        _lastError = text ? text : "integrity check failed";
        return SQLITE_CORRUPT;
      }
    }
    code = sqlite3_exec(_db, kSchema, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) return fail(code);
    const std::pair<Statement*, const char*> statements[] = {
        {&_select,
         "SELECT cost, status, expected_length, stored, mime, headers, body FROM responses "
         "WHERE url = ?1"},
        {&_costOf, "SELECT cost FROM responses WHERE url = ?1"},
        {&_upsert,
         "INSERT OR REPLACE INTO responses (url, cost, last_access, status, expected_length, "
         "stored, mime, headers, body) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"},
        {&_touch, "UPDATE responses SET last_access = ?2 WHERE url = ?1"},
        {&_delete, "DELETE FROM responses WHERE url = ?1"},
        {&_deleteAll, "DELETE FROM responses"},
        {&_oldest, "SELECT url, cost FROM responses ORDER BY last_access ASC LIMIT 1"},
        {&_begin, "BEGIN IMMEDIATE"},
        {&_commit, "COMMIT"},
        {&_rollback, "ROLLBACK"},
    };
    for (const auto& [statement, sql] : statements) {
      code = statement->prepare(_db, sql);
      if (code != SQLITE_OK) return fail(code);
    }
    return readTotals();
  }

  int readTotals() {
    Statement totals;
    int code = totals.prepare(
        _db, "SELECT COALESCE(SUM(cost), 0), COALESCE(MAX(last_access), 0) FROM responses");
    if (code != SQLITE_OK) return fail(code);
    code = totals.step();
    if (code != SQLITE_ROW) return fail(code);
    std::int64_t sum = sqlite3_column_int64(totals.get(), 0);
    _usage = sum > 0 ? static_cast<std::size_t>(sum) : 0;
    _accessCounter = sqlite3_column_int64(totals.get(), 1);
    return SQLITE_OK;
  }

  int fail(int code) {
    _lastError = _db ? sqlite3_errmsg(_db) : sqlite3_errstr(code);
    return code;
  }

  void close() {
    for (Statement* statement : {&_select, &_costOf, &_upsert, &_touch, &_delete, &_deleteAll,
                                 &_oldest, &_begin, &_commit, &_rollback}) {
      statement->finalize();
    }
    if (_db) sqlite3_close(_db);
    _db = nullptr;
    _usage = 0;
  }

  void setAside() {
    FileManager::moveItemAtPath(_path, _path + ".corrupt");
    // A journal left beside the old file would be replayed into the new one.
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
      std::string companion = _path + suffix;
      if (FileManager::fileExistsAtPath(companion)) FileManager::removeItemAtPath(companion);
    }
  }

  // Damage found while in use: the file is set aside and the store starts again empty.
  void failed(int code) {
    if (!isDamage(code)) return;
    std::string message = _db ? sqlite3_errmsg(_db) : sqlite3_errstr(code);
    close();
    setAside();
    Console::logf("URLCache: %s is damaged (%s); moved it to %s.corrupt", _path.c_str(),
                  message.c_str(), _path.c_str());
    if (openFile() != SQLITE_OK) close();
  }

  std::shared_ptr<CachedURLResponse> decodeRow(const std::string& url) {
    sqlite3_stmt* row = _select.get();
    if (sqlite3_column_type(row, 1) != SQLITE_INTEGER ||
        sqlite3_column_type(row, 2) != SQLITE_INTEGER ||
        sqlite3_column_type(row, 4) != SQLITE_TEXT || sqlite3_column_type(row, 5) != SQLITE_BLOB ||
        sqlite3_column_type(row, 6) != SQLITE_BLOB) {
      return nullptr;
    }
    std::int64_t status = sqlite3_column_int64(row, 1);
    if (status < 0 || status > std::numeric_limits<int>::max()) return nullptr;
    auto response = std::make_shared<CachedURLResponse>();
    response->url = url;
    response->statusCode = static_cast<int>(status);
    response->expectedContentLength = sqlite3_column_int64(row, 2);
    response->storedDate = Date{sqlite3_column_double(row, 3)};
    auto* mime = reinterpret_cast<const char*>(sqlite3_column_text(row, 4));
    response->mimeType.assign(mime ? mime : "",
                              static_cast<std::size_t>(sqlite3_column_bytes(row, 4)));
    auto* headerBytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(row, 5));
    auto headers =
        decodeHeaders(headerBytes, static_cast<std::size_t>(sqlite3_column_bytes(row, 5)));
    if (!headers) return nullptr;
    response->headers = std::move(*headers);
    auto* body = static_cast<const std::uint8_t*>(sqlite3_column_blob(row, 6));
    response->data.assign(body, body + sqlite3_column_bytes(row, 6));
    // The recorded cost must be what the row holds, or the usage totals would drift.
    if (sqlite3_column_int64(row, 0) != static_cast<std::int64_t>(costOfResponse(*response))) {
      return nullptr;
    }
    return response;
  }

  int runDelete(const std::string& url) {
    StatementUse use(_delete);
    _delete.bind(1, url);
    int code = _delete.step();
    if (code != SQLITE_DONE) failed(code);
    return code;
  }

  int evictOldest() {
    std::string url;
    std::int64_t cost = 0;
    {
      StatementUse use(_oldest);
      int code = _oldest.step();
      if (code == SQLITE_DONE) {
        _usage = 0;
        return SQLITE_DONE;
      }
      if (code != SQLITE_ROW) return code;
      auto* text = reinterpret_cast<const char*>(sqlite3_column_text(_oldest.get(), 0));
      url.assign(text ? text : "",
                 static_cast<std::size_t>(sqlite3_column_bytes(_oldest.get(), 0)));
      cost = sqlite3_column_int64(_oldest.get(), 1);
    }
    StatementUse use(_delete);
    _delete.bind(1, url);
    int code = _delete.step();
    if (code == SQLITE_DONE) subtractUsage(cost);
    return code;
  }

  void subtractUsage(std::int64_t cost) {
    auto amount = cost > 0 ? static_cast<std::size_t>(cost) : 0;
    _usage = amount < _usage ? _usage - amount : 0;
  }

  bool begin() {
    StatementUse use(_begin);
    int code = _begin.step();
    if (code == SQLITE_DONE) return true;
    failed(code);
    return false;
  }

  // Commits after work that succeeded (`code` is SQLITE_DONE); otherwise rolls back and rereads
  // the totals that the failed work changed.
  void finish(int code) {
    if (code == SQLITE_DONE) {
      StatementUse use(_commit);
      code = _commit.step();
      if (code == SQLITE_DONE) return;
    }
    {
      StatementUse use(_rollback);
      _rollback.step();
    }
    if (isDamage(code)) return failed(code);
    if (int totals = readTotals(); totals != SQLITE_OK) failed(totals);
  }

  std::string _path;
  sqlite3* _db = nullptr;
  std::string _lastError;
  std::size_t _usage = 0;
  std::int64_t _accessCounter = 0;
  Statement _select, _costOf, _upsert, _touch, _delete, _deleteAll, _oldest, _begin, _commit,
      _rollback;
};

URLCache::URLCache(std::size_t memoryCapacity, std::size_t diskCapacity, std::string path)
    : _memoryCapacity(memoryCapacity), _diskCapacity(diskCapacity), _path(std::move(path)) {
  if (_path.empty()) return;
  auto disk = std::make_unique<DiskStore>(_path);
  if (disk->open()) _disk = std::move(disk);
}

URLCache::~URLCache() = default;

std::optional<std::string> URLCache::defaultPath() {
  auto caches = AppContainer::searchPathForDirectory(AppContainer::Directory::Caches);
  if (caches.empty()) return std::nullopt;
  return FileManager::stringByAppendingPathComponent(caches.front(), "URLCache.sqlite");
}

std::shared_ptr<URLCache> URLCache::sharedURLCache() {
  std::lock_guard lock(sharedMutex());
  return sharedCache();
}

void URLCache::setSharedURLCache(std::shared_ptr<URLCache> cache) {
  std::shared_ptr<URLCache> previous;
  {
    std::lock_guard lock(sharedMutex());
    previous = std::exchange(sharedCache(), std::move(cache));
  }
  // The previous cache, if this was its last owner, closes its file outside the lock.
}

std::size_t URLCache::costOfResponse(const CachedURLResponse& response) {
  std::size_t headerBytes = 4;
  for (const auto& [name, value] : response.headers) headerBytes += 8 + name.size() + value.size();
  return kEntryOverhead + response.url.size() + response.mimeType.size() + headerBytes +
         response.data.size();
}

void URLCache::storeCachedResponse(CachedURLResponse response) {
  response.storedDate = Date::now();
  std::size_t cost = costOfResponse(response);
  auto entry = std::make_shared<const CachedURLResponse>(std::move(response));
  std::lock_guard lock(_mutex);
  removeFromMemory(entry->url);
  if (fitsTier(cost, _memoryCapacity)) insertInMemory(entry, cost);
  if (_disk) {
    if (fitsTier(cost, _diskCapacity)) {
      _disk->store(*entry, cost, _diskCapacity);
    } else {
      // A response too large for the disk still replaces what was stored for its URL.
      _disk->remove(entry->url);
    }
  }
}

std::shared_ptr<const CachedURLResponse> URLCache::cachedResponseForURL(const std::string& url) {
  std::lock_guard lock(_mutex);
  if (auto found = _memoryIndex.find(url); found != _memoryIndex.end()) {
    _memoryOrder.splice(_memoryOrder.begin(), _memoryOrder, found->second);
    if (_disk) _disk->touch(url);
    return found->second->first;
  }
  if (!_disk) return nullptr;
  Entry entry = _disk->lookup(url);
  if (!entry) return nullptr;
  std::size_t cost = costOfResponse(*entry);
  if (fitsTier(cost, _memoryCapacity)) insertInMemory(entry, cost);
  return entry;
}

void URLCache::removeCachedResponseForURL(const std::string& url) {
  std::lock_guard lock(_mutex);
  removeFromMemory(url);
  if (_disk) _disk->remove(url);
}

void URLCache::removeAllCachedResponses() {
  std::lock_guard lock(_mutex);
  _memoryOrder.clear();
  _memoryIndex.clear();
  _memoryUsage = 0;
  if (_disk) _disk->removeAll();
}

std::size_t URLCache::currentMemoryUsage() const {
  std::lock_guard lock(_mutex);
  return _memoryUsage;
}

std::size_t URLCache::currentDiskUsage() const {
  std::lock_guard lock(_mutex);
  return _disk ? _disk->usage() : 0;
}

bool URLCache::hasDiskStore() const {
  std::lock_guard lock(_mutex);
  return _disk && _disk->isOpen();
}

void URLCache::insertInMemory(const Entry& entry, std::size_t cost) {
  _memoryOrder.emplace_front(entry, cost);
  _memoryIndex[entry->url] = _memoryOrder.begin();
  _memoryUsage += cost;
  while (_memoryUsage > _memoryCapacity && !_memoryOrder.empty()) {
    const auto& [oldest, oldestCost] = _memoryOrder.back();
    _memoryUsage -= oldestCost;
    _memoryIndex.erase(oldest->url);
    _memoryOrder.pop_back();
  }
}

void URLCache::removeFromMemory(const std::string& url) {
  auto found = _memoryIndex.find(url);
  if (found == _memoryIndex.end()) return;
  _memoryUsage -= found->second->second;
  _memoryOrder.erase(found->second);
  _memoryIndex.erase(found);
}

}  // namespace platform
