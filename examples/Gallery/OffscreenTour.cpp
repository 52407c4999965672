#include "OffscreenTour.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>

#include "DialogPages.h"
#include "Foundation/RunLoop.h"
#include "GalleryDelegate.h"
#include "GesturesPage.h"
#include "Host/OffscreenHost.h"
#include "NavigationPage.h"
#include "PagedStripPage.h"
#include "PickerPage.h"
#include "ScrollingPage.h"

using namespace platform;

namespace {

// The centre of a view in screen points.
Point onScreen(const UIView& view) {
  Rect b = view.bounds();
  return view.convertPointToView(Point{b.midX(), b.midY()}, nullptr);
}

bool near(double a, double b, double tolerance) {
  return std::abs(a - b) <= tolerance;
}

class Tour {
 public:
  Tour(OffscreenHost& host, GalleryDelegate& gallery, std::string directory)
      : host(host), gallery(gallery), _directory(std::move(directory)) {}

  // Screenshot of the page showing now: "N-name.png", or "N-name-suffix.png".
  void shoot(const std::string& suffix = "") {
    int index = gallery.currentPage();
    std::string path = _directory + "/" + std::to_string(index + 1) + "-" +
                       gallery.pageName(index) + (suffix.empty() ? "" : "-" + suffix) + ".png";
    if (host.writeScreenshot(path))
      std::cout << path << "\n";
    else
      ++_failures;
  }
  void check(bool ok, const std::string& what) {
    if (ok) return;
    ++_failures;
    std::cerr << "gallery: " << gallery.pageName(gallery.currentPage()) << ": " << what << "\n";
  }
  void tap(const UIView& view) {
    host.tapView(view);
    host.advanceBy(0.05);
  }
  // A tap that starts an animation of `duration`, then time for it to end.
  void tap(const UIView& view, double duration) {
    tap(view);
    host.advanceBy(duration + 0.1);
  }
  int failures() const { return _failures; }

  OffscreenHost& host;
  GalleryDelegate& gallery;

 private:
  std::string _directory;
  int _failures = 0;
};

void turnPages(Tour& tour) {
  GalleryDelegate& gallery = tour.gallery;
  tour.tap(*gallery.page(0).nextButton());
  tour.check(gallery.currentPage() == 1, "the › button did not turn to the second page");
  tour.tap(*gallery.page(1).previousButton());
  tour.check(gallery.currentPage() == 0, "the ‹ button did not turn back to the first page");
  tour.tap(*gallery.page(0).previousButton());
  tour.check(gallery.currentPage() == gallery.pageCount() - 1,
             "the ‹ button on the first page did not go round to the last");
}

void driveScrolling(Tour& tour, ScrollingPage& page) {
  RecyclingListView& list = page.list();
  int capacity = static_cast<int>(std::ceil(list.bounds().size.height / list.rowHeight())) + 1;
  tour.check(list.firstVisibleRow() == 0, "the list does not start at its first row");
  tour.check(list.rowViewCount() <= capacity, "more row views than rows on screen");

  // A touch on a row highlights it; once the finger drags, the list scrolls and the row's
  // touch is cancelled.
  UIButton* touched = list.viewForRow(2);
  tour.check(touched != nullptr, "the third row has no view");
  if (!touched) return;
  Point start = onScreen(*touched);
  tour.host.touchDown(start);
  tour.check(touched->isHighlighted(), "a touch on a row does not highlight it");
  for (int i = 1; i <= 10; ++i) {
    tour.host.advanceBy(0.02);
    tour.host.touchMove(Point{start.x, start.y + 20 - 35.0 * i});
  }
  tour.check(!touched->isHighlighted() && !touched->isTracking(),
             "dragging did not cancel the row's touch");
  tour.host.touchUp();
  tour.host.advanceBy(4);  // the list coasts to a stop
  tour.check(list.selectedRow() == -1, "a drag selected a row");
  tour.check(list.firstVisibleRow() > 0, "dragging did not scroll the list");
  tour.check(list.rowViewCount() <= capacity, std::to_string(list.rowViewCount()) +
                                                  " row views after scrolling, for " +
                                                  std::to_string(capacity) + " places");
  tour.check(list.rowViewsMade() <= capacity + 1,
             std::to_string(list.rowViewsMade()) + " row views made: they are not recycled");
  int first = list.firstVisibleRow();
  for (int row = first; row < first + list.rowViewCount(); ++row) {
    UIButton* view = list.viewForRow(row);
    tour.check(view && view->currentTitle() == RecyclingListView::rowTitle(row) &&
                   near(view->frame().origin.y, row * list.rowHeight(), 0.01),
               "row " + std::to_string(row) + " is not shown in its place with its title");
  }

  int chosen = first + 3;
  if (UIButton* view = list.viewForRow(chosen)) tour.tap(*view);
  tour.check(list.selectedRow() == chosen, "a tap did not select its row");
  tour.shoot();

  list.setContentOffset(list.maximumContentOffset());
  tour.check(list.viewForRow(list.rowCount() - 1) != nullptr, "the last row does not show");
  tour.check(list.rowViewsMade() <= capacity + 1, "row views made anew at the end of the list");
}

void driveGestures(Tour& tour, GesturesPage& page) {
  UIView& card = page.card();
  Point rest = page.restingCenter();
  // One finger moves the card.
  Point from = onScreen(card);
  tour.host.drag(from, Point{from.x - 40, from.y + 60});
  tour.host.advanceBy(0.1);
  tour.check(near(card.center().x, rest.x - 40, 1) && near(card.center().y, rest.y + 60, 1),
             "the card did not follow one finger");

  // Two fingers move apart from 80 to 120 points and turn by 30 degrees about its centre.
  Point c = onScreen(card);
  Point moved = card.center();
  auto finger = [c](double radius, double angle, int side) {
    return Point{c.x + side * radius * std::cos(angle), c.y + side * radius * std::sin(angle)};
  };
  tour.host.touchDown(finger(40, 0, -1), 0);
  tour.host.touchDown(finger(40, 0, 1), 1);
  const int steps = 12;
  for (int i = 1; i <= steps; ++i) {
    double t = static_cast<double>(i) / steps;
    tour.host.advanceBy(1.0 / 60);
    tour.host.touchMove(finger(40 + 20 * t, M_PI / 6 * t, -1), 0);
    tour.host.touchMove(finger(40 + 20 * t, M_PI / 6 * t, 1), 1);
  }
  tour.host.touchUp(0);
  tour.host.touchUp(1);
  tour.host.advanceBy(0.1);
  tour.check(near(page.scale(), 1.5, 0.05), "pinched to scale " + std::to_string(page.scale()));
  tour.check(near(page.angle(), M_PI / 6, 0.03),
             "turned to " + std::to_string(page.angle() * 180 / M_PI) + " degrees");
  tour.check(near(card.center().x, moved.x, 2) && near(card.center().y, moved.y, 2),
             "the card wandered while two fingers turned it in place");
  tour.shoot();

  // A double tap puts it back.
  Point here = onScreen(card);
  tour.host.tap(here);
  tour.host.advanceBy(0.1);
  tour.host.tap(here);
  tour.host.advanceBy(0.5);
  tour.check(page.scale() == 1 && page.angle() == 0 && near(card.center().x, rest.x, 0.01) &&
                 near(card.center().y, rest.y, 0.01),
             "a double tap did not put the card back");
}

void drivePagedStrip(Tour& tour, PagedStripPage& page) {
  UIScrollView& strip = page.strip();
  double width = strip.bounds().size.width;
  Point c = onScreen(strip);
  tour.host.drag(Point{c.x + 100, c.y}, Point{c.x - 100, c.y}, 0.25);
  tour.host.advanceBy(1);
  tour.check(near(strip.contentOffset().x, width, 0.01),
             "a swipe left the strip at " + std::to_string(strip.contentOffset().x));
  tour.check(page.pageControl().currentPage() == 1, "the page control did not follow the swipe");
  tour.shoot();

  // A tap on the right of the dots turns the strip on.
  UIPageControl& dots = page.pageControl();
  Rect frame = dots.convertRectToView(dots.bounds(), nullptr);
  tour.host.tap(Point{frame.maxX() - 10, frame.midY()});
  tour.host.advanceBy(1);
  tour.check(dots.currentPage() == 2, "the page control did not turn to the third page");
  tour.check(near(strip.contentOffset().x, 2 * width, 0.01),
             "the strip did not follow the page control");
}

void driveNavigation(Tour& tour, NavigationPage& page) {
  UINavigationController& navigation = page.navigation();
  auto* root = dynamic_cast<RootScreen*>(navigation.topViewController());
  tour.check(root && root->appearance() == UIViewController::Appearance::Appeared,
             "the root screen does not show");
  if (!root) return;
  tour.tap(*root->button(), UINavigationController::kTransitionDuration);
  auto* detail = dynamic_cast<DetailScreen*>(navigation.topViewController());
  tour.check(detail && detail->appearance() == UIViewController::Appearance::Appeared,
             "the button did not push the second screen");
  tour.check(root->appearance() == UIViewController::Appearance::Disappeared,
             "the root screen was not told it went");
  UILabel* title = navigation.navigationBarTitleLabel();
  tour.check(detail && title && title->text() == detail->title(),
             "the navigation bar does not name the second screen");
  tour.shoot();
  if (!detail) return;
  // The bar's back button pops it; so does the screen's own button.
  UIButton* back = navigation.backButton();
  tour.check(back && !back->isHidden(), "the second screen has no back button");
  if (back) tour.tap(*back, UINavigationController::kTransitionDuration);
  tour.check(navigation.topViewController() == root && navigation.viewControllers().size() == 1,
             "the back button did not pop to the first screen");
  tour.tap(*root->button(), UINavigationController::kTransitionDuration);
  detail = dynamic_cast<DetailScreen*>(navigation.topViewController());
  if (detail) tour.tap(*detail->button(), UINavigationController::kTransitionDuration);
  tour.check(detail && navigation.topViewController() == root &&
                 root->appearance() == UIViewController::Appearance::Appeared,
             "the second screen's button did not pop back to the first");
}

void driveAlert(Tour& tour, AlertPage& page) {
  tour.tap(page.showButton(), UIAlertView::kFadeDuration);
  auto alert = page.alert();
  tour.check(alert && alert->isVisible(), "the button did not show an alert");
  if (!alert) return;
  tour.shoot();
  if (UIButton* ok = alert->buttonAtIndex(1)) tour.tap(*ok, UIAlertView::kFadeDuration);
  tour.check(page.chosenIndex() == 1,
             "choosing OK told index " + std::to_string(page.chosenIndex()));
  tour.check(!alert->isVisible() && !alert->superview(), "the alert stayed after OK");
}

void driveActionSheet(Tour& tour, ActionSheetPage& page) {
  tour.tap(page.showButton(), UIActionSheet::kSlideDuration);
  auto sheet = page.sheet();
  tour.check(sheet && sheet->isVisible(), "the button did not show an action sheet");
  if (!sheet) return;
  tour.shoot();
  int mail = -1;
  for (int i = 0; i < sheet->numberOfButtons(); ++i)
    if (sheet->buttonTitleAtIndex(i) == "Mail") mail = i;
  tour.check(mail == 2, "the sheet's buttons are not destructive, others, cancel");
  if (UIButton* button = sheet->buttonAtIndex(mail))
    tour.tap(*button, UIActionSheet::kSlideDuration);
  tour.check(page.chosenIndex() == mail,
             "choosing Mail told index " + std::to_string(page.chosenIndex()));
  tour.check(!sheet->isVisible(), "the sheet stayed after a choice");
}

// The picker's thumbnail of file `index`.
UIButton* thumbnail(UIImagePickerController& picker, size_t index) {
  std::function<UIScrollView*(UIView&)> findGrid = [&](UIView& view) -> UIScrollView* {
    if (auto* grid = dynamic_cast<UIScrollView*>(&view)) return grid;
    for (const auto& child : view.subviews())
      if (UIScrollView* grid = findGrid(*child)) return grid;
    return nullptr;
  };
  UIScrollView* grid = findGrid(*picker.view());
  if (!grid) return nullptr;
  size_t seen = 0;
  for (const auto& child : grid->subviews())
    if (auto* button = dynamic_cast<UIButton*>(child.get()); button && seen++ == index)
      return button;
  return nullptr;
}

// The live preview (real time for the pipeline's first frame), then the shutter.
void driveCamera(Tour& tour, PickerPage& page) {
  tour.tap(page.cameraButton(), UIViewController::kModalTransitionDuration);
  auto picker = page.picker();
  tour.check(picker != nullptr, "the camera button did not present the picker");
  if (!picker) return;
  bool live = RunLoop::main().runUntil([&] { return picker->cameraFrame() != nullptr; }, 30);
  tour.check(live, "the camera showed no frame");
  if (!live) return;
  tour.shoot("camera");
  tour.tap(*picker->shutterButton(), UIViewController::kModalTransitionDuration);
  tour.check(!page.picker(), "the picker stayed after the shutter");
  tour.check(page.picture() && page.picture()->size() == picker->cameraFrame()->size(),
             "the page does not show the frame taken");
  tour.shoot("camera-taken");
}

void drivePicker(Tour& tour, PickerPage& page) {
  tour.tap(page.chooseButton(), UIViewController::kModalTransitionDuration);
  auto picker = page.picker();
  tour.check(picker && picker->appearance() == UIViewController::Appearance::Appeared,
             "the button did not present the picker");
  if (!picker) return;
  const auto& files = picker->pictureFiles();
  auto indexOf = [&](const std::string& name) {
    for (size_t i = 0; i < files.size(); ++i)
      if (std::filesystem::path(files[i]).filename() == name) return static_cast<int>(i);
    return -1;
  };
  tour.check(files.size() >= 4, "the picker offers " + std::to_string(files.size()) + " photos");
  tour.check(indexOf("README.txt") == -1, "the picker offers a text file");
  tour.shoot("library");

  // A damaged file cannot be picked: the picker stays.
  int damaged = indexOf("6-damaged.jpg");
  tour.check(damaged >= 0, "the damaged file is not offered");
  if (UIButton* button = damaged >= 0 ? thumbnail(*picker, damaged) : nullptr) tour.tap(*button);
  tour.check(page.picker() == picker && !page.picture(), "a damaged file was picked");

  // A photo whose camera was held upright but stored it sideways comes out upright.
  int portrait = indexOf("5-lighthouse-exif6.jpg");
  tour.check(portrait >= 0, "the sideways-stored photo is not offered");
  if (UIButton* button = portrait >= 0 ? thumbnail(*picker, portrait) : nullptr)
    tour.tap(*button, UIViewController::kModalTransitionDuration);
  tour.check(!page.picker() && !picker->view()->superview(), "the picker stayed after a pick");
  const auto& picture = page.picture();
  tour.check(picture != nullptr, "no picture on the page after a pick");
  if (picture)
    tour.check(picture->size().height > picture->size().width, "the portrait photo shows sideways");
  tour.check(std::filesystem::path(page.pictureFile()).filename() == "5-lighthouse-exif6.jpg",
             "the page shows another file: " + page.pictureFile());
  tour.shoot();
  if (page.cameraButton().isEnabled()) driveCamera(tour, page);
}

}  // namespace

int OffscreenTour::run(const DeviceProfile& profile, const std::string& directory,
                       const std::optional<std::string>& cameraPipeline) {
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  OffscreenHost host(profile, OffscreenHost::Options{cameraPipeline});
  auto gallery = std::make_shared<GalleryDelegate>(GALLERY_RESOURCES_DIR);
  host.launch(gallery);
  Tour tour(host, *gallery, directory);
  tour.check(gallery->loadedAll(), "a page could not be built");
  turnPages(tour);

  using Driver = std::function<void(Tour&, GalleryPage&)>;
  std::map<std::string, Driver> drivers = {
      {"scrolling",
       [](Tour& t, GalleryPage& p) { driveScrolling(t, dynamic_cast<ScrollingPage&>(p)); }},
      {"gestures",
       [](Tour& t, GalleryPage& p) { driveGestures(t, dynamic_cast<GesturesPage&>(p)); }},
      {"paged-strip",
       [](Tour& t, GalleryPage& p) { drivePagedStrip(t, dynamic_cast<PagedStripPage&>(p)); }},
      {"navigation",
       [](Tour& t, GalleryPage& p) { driveNavigation(t, dynamic_cast<NavigationPage&>(p)); }},
      {"alert", [](Tour& t, GalleryPage& p) { driveAlert(t, dynamic_cast<AlertPage&>(p)); }},
      {"action-sheet",
       [](Tour& t, GalleryPage& p) { driveActionSheet(t, dynamic_cast<ActionSheetPage&>(p)); }},
      {"picker", [](Tour& t, GalleryPage& p) { drivePicker(t, dynamic_cast<PickerPage&>(p)); }},
  };
  for (int index = 0; index < gallery->pageCount(); ++index) {
    gallery->showPage(index);
    GalleryPage& page = gallery->page(index);
    if (auto driver = drivers.find(page.name()); driver != drivers.end()) {
      host.advanceBy(0.1);
      driver->second(tour, page);
    } else {
      // Into the motion, so the animation page shows it under way.
      host.advanceBy(page.name() == "animation" ? 0.4 : 0.1);
      tour.shoot();
    }
  }
  host.terminate();
  return tour.failures() == 0 ? 0 : 1;
}
