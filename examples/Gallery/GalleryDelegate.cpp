#include "GalleryDelegate.h"

#include "ClassicPages.h"
#include "ContentGridPage.h"
#include "DialogPages.h"
#include "FoundationPages.h"
#include "GesturesPage.h"
#include "NavigationPage.h"
#include "PagedStripPage.h"
#include "PickerPage.h"
#include "SVGView/SVGView.h"
#include "UI/UIApplication.h"
#include "UI/UIImagePickerController.h"
#include "UI/UIScreen.h"

using namespace platform;

bool GalleryDelegate::applicationDidFinishLaunching(UIApplication& app, const Dictionary&) {
  SVGView::registerViewClass();
  UIImagePickerController::setPhotoLibraryDirectory(_resources + "/Photos");
  _window = std::make_shared<UIWindow>(UIScreen::mainScreen().bounds());
  _window->setBackgroundColor(UIColor::blackColor());
  app.setStatusBarStyle(UIStatusBarStyle::BlackOpaque);
  _pages = {std::make_shared<ControlsPage>(_resources),
            std::make_shared<ContentModesPage>(),
            std::make_shared<SvgStatesPage>(_resources),
            std::make_shared<AnimationPage>(),
            std::make_shared<ContentGridPage>(GALLERY_CONTENT_PACK_DIR),
            std::make_shared<GesturesPage>(),
            std::make_shared<PagedStripPage>(),
            std::make_shared<LoadingPage>(),
            std::make_shared<BalloonPage>(),
            std::make_shared<NavigationPage>(),
            std::make_shared<AlertPage>(),
            std::make_shared<ActionSheetPage>(),
            std::make_shared<PickerPage>()};
  // The delegate keeps its pages for its whole life.
  for (auto& page : _pages) page->setTurn([this](int step) { turn(step); });
  _window->makeKeyAndVisible();
  showPage(0);
  return true;
}

void GalleryDelegate::showPage(int index) {
  if (index < 0 || index >= pageCount() || index == _current) return;
  if (_current >= 0) {
    GalleryPage& leaving = *_pages[_current];
    if (leaving.presentedViewController()) leaving.dismissViewControllerAnimated(false);
  }
  _current = index;
  _window->setRootViewController(_pages[index]);
}

void GalleryDelegate::turn(int step) {
  int count = pageCount();
  if (count == 0) return;
  showPage(((_current + step) % count + count) % count);
}

bool GalleryDelegate::loadedAll() const {
  for (const auto& page : _pages) {
    page->view();  // builds the page when it has not shown yet
    if (!page->isComplete()) return false;
  }
  return true;
}
