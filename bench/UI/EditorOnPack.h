#pragma once

// The editor on the offscreen host over the sample pack, synced from the reference server on
// loopback into a temporary app container, as the editor's tests set it up: what the editor's
// benchmarks share. The sync runs on the real clock before the host puts its virtual one on
// the main loop; the server stops once the container holds the pack.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "AppUI/AppUIClasses.h"
#include "AppUI/AssetViewController.h"
#include "AppUI/LoadingView.h"
#include "CatalogPublisher.h"
#include "Content/ContentServiceRequest.h"
#include "ContentFixture.h"
#include "GeneralTools/DispatchTools.h"
#include "Host/OffscreenHost.h"
#include "ReferenceServer.h"
#include "UI/UIApplication.h"
#include "UI/UIButton.h"
#include "UI/UINavigationController.h"
#include "UI/UIScreen.h"
#include "UI/UIWindow.h"

class EditorOnPack {
 public:
  explicit EditorOnPack(const platform::DeviceProfile& profile,
                        platform::OffscreenHost::Options options = {})
      : fixture(profile) {
    synced = sync();
    host = std::make_unique<platform::OffscreenHost>(profile, options);
    AppUIClasses::registerAll();
    // The editor reads the built bundle: interface files, art and texts.
    platform::Bundle::setMainBundlePath(std::string(PICTAVIA_RESOURCES_DIR));
    Tools::Instance().setDefaultBundle(platform::Bundle::mainBundle());
    platform::UIApplication::sharedApplication().reset();
    window = std::make_shared<platform::UIWindow>(platform::UIScreen::mainScreen().bounds());
    window->makeKeyAndVisible();
    // The help tour holds the swipes back: taken as already seen.
    for (int type = 0; type < 4; ++type)
      DataSource::data().insert_or_assign("AssetHelpDisplayed" + std::to_string(type),
                                          platform::Value(true));
  }
  ~EditorOnPack() {
    close();
    editor.reset(), navigation.reset(), window.reset();
    LoadingView::hide();
    platform::UIImagePickerController::setPhotoLibraryDirectory(std::nullopt);
    platform::UIApplication::sharedApplication().reset();
    host.reset();
    platform::Bundle::setMainBundlePath(fixture.resourcePath(""));
  }
  EditorOnPack(const EditorOnPack&) = delete;
  EditorOnPack& operator=(const EditorOnPack&) = delete;

  // The editor of `type` pushed over a root screen, as the main screen opens it.
  void open(int type) {
    close();
    editor = std::make_shared<AssetViewController>();
    editor->initWithNibName(std::nullopt, nullptr);
    editor->setContentType(type);
    navigation = std::make_shared<platform::UINavigationController>(
        std::make_shared<platform::UIViewController>());
    window->setRootViewController(navigation);
    navigation->pushViewController(editor, false);
    host->captureScreen();  // lays the views out, as the first frame drawn would
    settle();
  }
  // The editor leaves as the back button makes it leave.
  void close() {
    if (navigation) navigation->popToRootViewControllerAnimated(false);
  }
  // Lets the queued renders finish, then moves the clock past the re-render delay.
  void settle(double seconds = 1) {
    testing_support::runMainLoopUntil([] { return DispatchTools::Instance().taskCount() == 0; },
                                      30);
    host->advanceBy(seconds);
  }
  platform::UIButton& control(int tag) {
    return *dynamic_cast<platform::UIButton*>(editor->controlsView->viewWithTag(tag));
  }
  // A one-finger stroke across the screen at height `y`.
  void swipe(double y, double dx) { host->drag({160, y}, {160 + dx, y}, 0.15, 5); }

  content_testing::ContentFixture fixture;
  bool synced = false;
  std::unique_ptr<platform::OffscreenHost> host;
  std::shared_ptr<platform::UIWindow> window;
  std::shared_ptr<platform::UINavigationController> navigation;
  std::shared_ptr<AssetViewController> editor;

 private:
  bool sync() {
    testing_support::TemporaryDirectory catalog;
    std::string error;
    if (!CatalogPublisher::publish(CONTENT_PACK_DIR, catalog.path(), error)) {
      std::fprintf(stderr, "publish: %s\n", error.c_str());
      return false;
    }
    ReferenceServer::Configuration configuration;
    configuration.catalogFolder = catalog.path();
    configuration.port = 0;
    configuration.logRequests = false;
    ReferenceServer server(configuration);
    if (!server.start(error)) {
      std::fprintf(stderr, "server: %s\n", error.c_str());
      return false;
    }
    ContentServiceRequest::setDirectoryServerURLs(server.baseURL(ScreenKind::Standard),
                                                  server.baseURL(ScreenKind::Tall));
    content_testing::Notifications notes;
    ContentControl::Instance()->updateServerContent();
    return testing_support::runMainLoopUntil([&] { return notes.finished > 0; }, 120) &&
           !ContentControl::Instance()->contentItemsForType(ContentTypeBackground)->empty();
  }
};
