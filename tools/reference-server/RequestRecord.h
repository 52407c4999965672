#pragma once

#include <cstddef>

#include "ServerFault.h"
#include "ServerRequest.h"

// One answered request, as the server's request log keeps it.
struct RequestRecord {
  ServerRequest request;
  int status = 0;
  size_t bodySize = 0;  // the body's full length as announced (a fault may send less)
  bool gzip = false;
  ServerFault::Kind fault = ServerFault::Kind::None;
};
