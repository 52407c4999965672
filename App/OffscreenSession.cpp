#include "App/OffscreenSession.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>

#include "App/PictaviaAppDelegate.h"
#include "AppUI/AssetViewController.h"
#include "AppUI/VerticalItemsView.h"
#include "Content/ContentControl.h"
#include "Foundation/AppContainer.h"
#include "Foundation/Bundle.h"
#include "Foundation/NotificationCenter.h"
#include "Foundation/RunLoop.h"
#include "Host/OffscreenHost.h"
#include "UI/UIActivityViewController.h"
#include "UI/UIApplication.h"
#include "UI/UIButton.h"
#include "UI/UIImagePickerController.h"
#include "UI/UIImageWriteToSavedPhotosAlbum.h"
#include "UI/UINavigationController.h"
#include "UI/UIScreen.h"

using namespace platform;

namespace OffscreenSession {
namespace {

// Real seconds a step may wait for the network or a background render.
constexpr double kNetworkWait = 60;

class Session {
 public:
  Session(OffscreenHost& host, PictaviaAppDelegate& delegate, std::string directory)
      : _host(host), _delegate(delegate), _directory(std::move(directory)) {}

  bool failed() const { return _failed; }

  // Checks a step; the first failure ends the session.
  bool check(bool ok, const std::string& step) {
    if (!ok && !_failed) {
      std::cerr << "pictavia: the offscreen session stopped: " << step << "\n";
      _failed = true;
    }
    return ok && !_failed;
  }
  void shoot(const std::string& name) {
    if (_failed) return;
    _host.advanceBy(0.1);
    std::string path = _directory + "/" + std::to_string(++_shots) + "-" + name + ".png";
    if (check(_host.writeScreenshot(path), "writing " + path)) std::cout << path << "\n";
  }
  // Runs the loop (virtual time moves on with it) until `done`, or `seconds` of real time.
  bool waitFor(const std::function<bool()>& done, double seconds = kNetworkWait) {
    auto start = std::chrono::steady_clock::now();
    while (!done()) {
      _host.advanceBy(0.1);
      if (std::chrono::steady_clock::now() - start > std::chrono::duration<double>(seconds))
        return false;
    }
    return true;
  }
  UIViewController* top() const {
    auto navigation = _delegate.navigationController();
    if (!navigation) return nullptr;
    if (const auto& presented = navigation->presentedViewController()) {
      if (const auto& again = presented->presentedViewController()) return again.get();
      return presented.get();
    }
    return navigation->topViewController();
  }
  UIView* topView() const {
    UIViewController* screen = top();
    return screen ? screen->view().get() : nullptr;
  }
  // The first view of the tree, depth first, that `match` accepts.
  static UIView* find(UIView* tree, const std::function<bool(UIView&)>& match) {
    if (!tree) return nullptr;
    if (match(*tree)) return tree;
    for (const auto& child : tree->subviews())
      if (UIView* found = find(child.get(), match)) return found;
    return nullptr;
  }
  bool tap(UIView* view, const std::string& step, double settle = 0.6) {
    if (!check(view != nullptr && view->window() != nullptr, step)) return false;
    _host.tapView(*view);
    _host.advanceBy(settle);
    return true;
  }
  OffscreenHost& host() { return _host; }

 private:
  OffscreenHost& _host;
  PictaviaAppDelegate& _delegate;
  std::string _directory;
  int _shots = 0;
  bool _failed = false;
};

UIView* byTag(UIView* tree, int tag) {
  return Session::find(tree, [tag](UIView& v) { return v.tag() == tag; });
}

}  // namespace

int run(const DeviceProfile& profile, const std::string& directory, const Options& options) {
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) {
    std::cerr << "pictavia: cannot make " << directory << ": " << error.message() << "\n";
    return 1;
  }
  // A session of its own unless a container was named; the photos of the bundle's examples
  // unless a folder was named.
  if (!options.containerNamed) {
    std::string container = directory + "/container";
    std::filesystem::remove_all(container, error);
    AppContainer::setRootOverride(container);
  }
  if (!UIImagePickerController::photoLibraryDirectory() ||
      !std::filesystem::is_directory(*UIImagePickerController::photoLibraryDirectory()))
    UIImagePickerController::setPhotoLibraryDirectory(Bundle::mainBundle()->resourcePath() +
                                                      "/Gallery/Photos");
  std::string album = directory + "/saved";
  setSavedPhotosAlbumDirectory(album);

  OffscreenHost host(profile, OffscreenHost::Options{options.cameraPipeline});
  auto delegate = std::make_shared<PictaviaAppDelegate>();
  Session session(host, *delegate, directory);
  bool synced = false;
  int observer = 0;
  NotificationCenter::defaultCenter().addObserver(&observer, "kContentControlUpdateFinished",
                                                  nullptr,
                                                  [&](const Notification&) { synced = true; });
  host.launch(delegate);
  host.advanceBy(1);  // the launch picture fades
  session.check(session.waitFor([&] { return synced; }),
                "no catalogue came from the content server (is it running?)");
  NotificationCenter::defaultCenter().removeObserver(&observer);
  session.shoot("main");

  // The photo frames editor, from the main screen's button.
  session.tap(session.find(session.topView(),
                           [](UIView& v) {
                             auto* b = dynamic_cast<UIButton*>(&v);
                             return b && b->tag() == 3000 && v.frame().origin.y > 150 &&
                                    v.frame().origin.y < 260;
                           }),
              "the photo frames button is missing", 1);
  session.check(session.top() && session.top()->className() == "AssetViewController",
                "the photo frames editor did not open");
  auto* grid = dynamic_cast<VerticalItemsView*>(session.find(
      session.topView(), [](UIView& v) { return dynamic_cast<VerticalItemsView*>(&v); }));
  session.check(session.waitFor([&] { return grid && !grid->displayedCells().empty(); }),
                "the editor shows no frames");
  session.shoot("editor-grid");
  if (grid && !grid->displayedCells().empty())
    session.tap(grid->findVisibleCellWithIndex(0).get(), "the first frame", 1);
  // The first visit shows the help tour: one look at it, then it is closed.
  if (auto* editor = dynamic_cast<AssetViewController*>(session.top());
      editor && editor->helpView && editor->helpView->superview()) {
    session.shoot("help-tour");
    editor->closeHelp();
    host.advanceBy(1);
  }
  session.shoot("editor-frame");

  // A photo from the photo folder.
  session.tap(byTag(session.topView(), 4002), "the photo tab", 1);
  if (auto* picker = dynamic_cast<UIImagePickerController*>(session.top())) {
    session.check(!picker->pictureFiles().empty(), "the photo folder has no pictures");
    session.shoot("photo-picker");
    picker->pickFileAtIndex(0);
    session.waitFor([&] { return !dynamic_cast<UIImagePickerController*>(session.top()); }, 10);
  } else {
    session.check(false, "the photo picker did not open");
  }
  session.shoot("editor-photo");

  // Pinch and turn the photo with two fingers in the middle of the screen.
  Size screen = UIScreen::mainScreen().bounds().size;
  Point middle(screen.width / 2, screen.height / 2);
  host.touchDown(Point(middle.x - 40, middle.y), 0);
  host.touchDown(Point(middle.x + 40, middle.y), 1);
  for (int step = 1; step <= 10; ++step) {
    double t = step / 10.0, spread = 40 + 30 * t, turn = 0.4 * t;
    host.touchMove(Point(middle.x - spread * std::cos(turn), middle.y - spread * std::sin(turn)),
                   0);
    host.touchMove(Point(middle.x + spread * std::cos(turn), middle.y + spread * std::sin(turn)),
                   1);
    host.advanceBy(0.02);
  }
  host.touchUp(0);
  host.touchUp(1);
  host.advanceBy(0.6);
  session.shoot("editor-placed");

  // The incoming-call preview and back.
  session.tap(byTag(session.topView(), 4003), "the preview button", 0.8);
  session.shoot("preview");
  session.tap(byTag(session.topView(), 4003), "the preview button", 0.8);

  // Saving through the share sheet.
  session.tap(byTag(session.topView(), 4005), "the save button", 1);
  session.waitFor([&] { return dynamic_cast<UIActivityViewController*>(session.top()); }, 30);
  auto* sheet = dynamic_cast<UIActivityViewController*>(session.top());
  if (session.check(sheet != nullptr, "the share sheet did not open")) {
    session.shoot("share-sheet");
    session.check(sheet->performActivity(UIActivityTypeSaveToCameraRoll),
                  "saving from the share sheet");
  }
  std::string saved;
  session.waitFor(
      [&] {
        if (!std::filesystem::is_directory(album, error)) return false;
        for (const auto& entry : std::filesystem::directory_iterator(album, error))
          if (entry.path().extension() == ".jpg") saved = entry.path().string();
        return !saved.empty();
      },
      30);
  if (session.check(!saved.empty(), "no picture was saved")) std::cout << saved << "\n";
  host.terminate();
  return session.failed() ? 1 : 0;
}

}  // namespace OffscreenSession
