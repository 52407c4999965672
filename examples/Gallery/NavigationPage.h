#pragma once

#include <memory>
#include <string>

#include "GalleryPage.h"
#include "UI/UINavigationController.h"

// A screen of the navigation page: a coloured view with a caption and one button; the
// navigation bar shows its title.
class NavigationScreen : public platform::UIViewController {
 public:
  NavigationScreen(std::string title, std::string colour) : _colour(std::move(colour)) {
    setTitle(std::move(title));
  }
  std::string className() const override { return "NavigationScreen"; }

  platform::UIButton* button() const { return _button.get(); }

  void loadView() override;

 protected:
  // The button's title and what it does.
  virtual std::string buttonTitle() const = 0;
  virtual void buttonTapped() = 0;
  virtual std::string explanation() const = 0;

 private:
  std::string _colour;
  std::shared_ptr<platform::UIButton> _button;
};

// The root screen: its button pushes a DetailScreen.
class RootScreen : public NavigationScreen {
 public:
  RootScreen() : NavigationScreen(Gallery::text("_Loc_GalleryNavigationHome"), "#2f5f8f") {}
  std::string className() const override { return "RootScreen"; }

 protected:
  std::string buttonTitle() const override { return Gallery::text("_Loc_GalleryNavigationPush"); }
  void buttonTapped() override;
  std::string explanation() const override;
};

// The pushed screen: its button pops back to the root.
class DetailScreen : public NavigationScreen {
 public:
  DetailScreen() : NavigationScreen(Gallery::text("_Loc_GalleryNavigationDetails"), "#6f3f8f") {}
  std::string className() const override { return "DetailScreen"; }

 protected:
  std::string buttonTitle() const override { return Gallery::text("_Loc_GalleryNavigationPop"); }
  void buttonTapped() override;
  std::string explanation() const override;
};

// A navigation controller inside the page, below its heading, added as the page's child.
class NavigationPage : public GalleryPage {
 public:
  NavigationPage() : GalleryPage("navigation", Gallery::text("_Loc_GalleryNavigationTitle")) {}

  platform::UINavigationController& navigation() const { return *_navigation; }

 protected:
  void buildPage(platform::UIView& page) override;

 private:
  std::shared_ptr<platform::UINavigationController> _navigation;
};
