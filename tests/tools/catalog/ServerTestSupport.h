#pragma once

#include <httplib.h>

#include <memory>
#include <string>

#include "CatalogTestSupport.h"
#include "Content/Compression.h"
#include "Foundation/JSONSerialization.h"
#include "ReferenceServer.h"

namespace catalog_testing {

// A published catalogue served by a ReferenceServer on a free loopback port.
class ServerFixture : public CatalogFixture {
 protected:
  void TearDown() override {
    if (_server) _server->stop();
  }

  ReferenceServer& startServer(ReferenceServer::Configuration configuration = {}) {
    configuration.catalogFolder = catalogFolder();
    configuration.port = 0;
    configuration.logRequests = false;
    configuration.keepRequests = true;
    _server = std::make_unique<ReferenceServer>(configuration);
    std::string error;
    EXPECT_TRUE(_server->start(error)) << error;
    return *_server;
  }

  // The answer as it came over the wire: no automatic inflation by the client.
  httplib::Result get(const std::string& target) {
    httplib::Client client("127.0.0.1", _server->port());
    client.set_decompress(false);
    client.set_keep_alive(false);
    return client.Get(target.c_str());
  }

  // A JSON answer decoded as the device decodes it: inflated when the server says
  // "Content-Encoding: application/gzip", then parsed.
  platform::Value getJSON(const std::string& target) {
    auto result = get(target);
    if (!result || result->status != 200) {
      ADD_FAILURE() << target << ": no answer";
      return {};
    }
    EXPECT_EQ(result->get_header_value("Content-Type"), "application/json") << target;
    platform::Bytes body(result->body.begin(), result->body.end());
    if (result->get_header_value("Content-Encoding") == "application/gzip") {
      auto inflated = Compression::gzipInflate(body);
      if (!inflated) {
        ADD_FAILURE() << target << ": does not inflate";
        return {};
      }
      body = std::move(*inflated);
    }
    auto value = platform::JSONSerialization::JSONObjectWithData(body);
    EXPECT_TRUE(value) << target << ": not JSON";
    return value.value_or(platform::Value());
  }

  std::unique_ptr<ReferenceServer> _server;
};

}  // namespace catalog_testing
