#include "Network/RoutingTable.h"

#include <fstream>
#include <sstream>

namespace platform {

std::optional<std::vector<RoutingTable::Route>> RoutingTable::ipv4Routes() {
  std::ifstream table("/proc/net/route");
  if (!table) return std::nullopt;
  std::vector<Route> routes;
  std::string line;
  std::getline(table, line);  // header
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    Route route;
    unsigned refCount, use, metric;
    if (fields >> route.interfaceName >> std::hex >> route.destination >> route.gateway >>
        route.flags >> std::dec >> refCount >> use >> metric >> std::hex >> route.mask)
      routes.push_back(std::move(route));
  }
  return routes;
}

std::optional<std::string> RoutingTable::defaultRouteInterface() {
  auto routes = ipv4Routes();
  if (!routes) return std::nullopt;
  for (const Route& route : *routes)
    if (route.isDefault()) return route.interfaceName;
  return std::nullopt;
}

}  // namespace platform
