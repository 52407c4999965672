#include "NavigationPage.h"

#include "UI/UIScreen.h"

using namespace platform;

void NavigationScreen::loadView() {
  auto root = std::make_shared<UIView>(UIScreen::mainScreen().applicationFrame());
  root->setBackgroundColor(UIColor::fromString(_colour));
  setView(root);
  double width = root->bounds().size.width;
  auto text = Gallery::caption(Rect(20, 40, width - 40, 100), explanation(), 16);
  text->setNumberOfLines(0);
  root->addSubview(text);
  // The screen owns its button, so it is alive whenever the button acts.
  _button =
      Gallery::button(Rect(30, 170, width - 60, 44), buttonTitle(), [this] { buttonTapped(); });
  root->addSubview(_button);
}

void RootScreen::buttonTapped() {
  if (UINavigationController* navigation = navigationController())
    navigation->pushViewController(std::make_shared<DetailScreen>(), true);
}

std::string RootScreen::explanation() const {
  return Gallery::text("_Loc_GalleryNavigationRootExplanation");
}

void DetailScreen::buttonTapped() {
  if (UINavigationController* navigation = navigationController())
    navigation->popViewControllerAnimated(true);
}

std::string DetailScreen::explanation() const {
  return Gallery::text("_Loc_GalleryNavigationDetailExplanation");
}

void NavigationPage::buildPage(UIView& page) {
  _navigation = std::make_shared<UINavigationController>(std::make_shared<RootScreen>());
  // A child: its screens appear and disappear with the page, and present through it.
  addChildViewController(_navigation);
  Size size = page.bounds().size;
  _navigation->view()->setFrame(Rect(0, kHeadingHeight, size.width, size.height - kHeadingHeight));
  page.addSubview(_navigation->view());
}
