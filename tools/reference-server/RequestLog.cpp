#include "RequestLog.h"

void RequestLog::append(RequestRecord record) {
  std::lock_guard lock(_mutex);
  _records.push_back(std::move(record));
}

std::vector<RequestRecord> RequestLog::records() const {
  std::lock_guard lock(_mutex);
  return _records;
}

size_t RequestLog::count() const {
  std::lock_guard lock(_mutex);
  return _records.size();
}

void RequestLog::clear() {
  std::lock_guard lock(_mutex);
  _records.clear();
}
