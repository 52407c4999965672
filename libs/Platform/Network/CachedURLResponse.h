#pragma once

#include "Foundation/Value.h"
#include "Network/URLResponse.h"

namespace platform {

// One HTTP response as the URL cache keeps it: the head, the whole body and when it was stored.
struct CachedURLResponse : URLResponse {
  Bytes data;
  // When the cache stored the response; the cache sets it on storing.
  Date storedDate;
};

}  // namespace platform
