#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "RequestRecord.h"

// The requests a server has answered, in the order they arrived; safe from any thread.
class RequestLog {
 public:
  void append(RequestRecord record);
  std::vector<RequestRecord> records() const;
  size_t count() const;
  void clear();

 private:
  mutable std::mutex _mutex;
  std::vector<RequestRecord> _records;
};
