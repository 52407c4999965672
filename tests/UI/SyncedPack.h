#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "../Content/ContentFixture.h"
#include "CatalogPublisher.h"
#include "Content/ContentServiceRequest.h"
#include "ReferenceServer.h"

namespace content_testing {

// One app container synced from the reference server over the published sample pack.
struct SyncedPack {
  SyncedPack() {
    std::filesystem::copy(CONTENT_PACK_DIR, source.path(),
                          std::filesystem::copy_options::recursive);
    publish();
    ReferenceServer::Configuration configuration;
    configuration.catalogFolder = catalog.path();
    configuration.port = 0;
    configuration.logRequests = false;
    server = std::make_unique<ReferenceServer>(configuration);
    std::string error;
    EXPECT_TRUE(server->start(error)) << error;
    ContentServiceRequest::setDirectoryServerURLs(server->baseURL(ScreenKind::Standard),
                                                  server->baseURL(ScreenKind::Tall));
    update();
  }
  void publish() {
    std::string error;
    ASSERT_TRUE(CatalogPublisher::publish(source.path(), catalog.path(), error)) << error;
  }
  // One update cycle of the device's catalogue.
  void update() {
    Notifications notes;
    ContentControl::Instance()->updateServerContent();
    ASSERT_TRUE(testing_support::runMainLoopUntil([&] { return notes.finished > 0; }, 120));
  }
  ContentFixture fixture{platform::DeviceProfile::phone35(2)};
  testing_support::TemporaryDirectory source, catalog;
  std::unique_ptr<ReferenceServer> server;
};

}  // namespace content_testing
