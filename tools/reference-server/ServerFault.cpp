#include "ServerFault.h"

#include <algorithm>

namespace {

ServerAnswer json(const char* text) {
  std::string body(text);
  return ServerAnswer{200, "application/json", platform::Bytes(body.begin(), body.end()), false};
}

}  // namespace

ServerAnswer ServerFault::reshape(ServerAnswer normal) const {
  switch (kind) {
    case Kind::Status:
      return ServerAnswer::text(status, "fault injected\n");
    case Kind::Down:
      return ServerAnswer::text(503, "service unavailable\n");
    case Kind::InvalidJSON:
      return json("{\"ver\": \"7\", \"curList\": [\"frame1.png\", ");
    case Kind::WrongShapeJSON:
      // Parses, but "ver" is a number and "curList" a string: no catalogue answer.
      return json("{\"ver\": 7, \"curList\": \"frame1.png\", \"diff\": [1, 2]}");
    case Kind::None:
    case Kind::Truncate:
    case Kind::Stall:
      break;
  }
  return normal;
}

size_t ServerFault::cut(size_t size) const {
  double share = std::clamp(fraction, 0.0, 1.0);
  return std::min(size, static_cast<size_t>(static_cast<double>(size) * share));
}
