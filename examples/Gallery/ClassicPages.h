#pragma once

#include <functional>
#include <memory>
#include <string>

#include "GalleryPage.h"
#include "UI/UIActivityIndicatorView.h"

// The controls in their states, loaded from an interface file.
class ControlsPage : public GalleryPage {
 public:
  explicit ControlsPage(std::string resources)
      : GalleryPage("controls", Gallery::text("_Loc_GalleryControlsTitle")),
        _resources(std::move(resources)) {}

  bool isComplete() const override { return _loaded; }
  void loadView() override;
  void registerOutlets(platform::OutletRegistry& outlets) override;

 protected:
  void buildPage(platform::UIView&) override {}

 private:
  std::string _resources;
  bool _loaded = false;
  std::shared_ptr<platform::UIView> _page;
  std::shared_ptr<platform::UIButton> _normalButton, _selectedButton, _highlightedButton,
      _disabledButton;
  std::shared_ptr<platform::UIActivityIndicatorView> _spinner;
};

// One picture in every content mode.
class ContentModesPage : public GalleryPage {
 public:
  ContentModesPage()
      : GalleryPage("content-modes", Gallery::text("_Loc_GalleryContentModesTitle")) {}

 protected:
  void buildPage(platform::UIView& page) override;
};

// A vector picture with each of its states switched on.
class SvgStatesPage : public GalleryPage {
 public:
  explicit SvgStatesPage(std::string resources)
      : GalleryPage("svg-states", Gallery::text("_Loc_GallerySvgStatesTitle")),
        _resources(std::move(resources)) {}

 protected:
  void buildPage(platform::UIView& page) override;

 private:
  std::string _resources;
};

// A block animation going to and fro, and transitions swapping a picture, for as long as the
// page shows.
class AnimationPage : public GalleryPage {
 public:
  AnimationPage() : GalleryPage("animation", Gallery::text("_Loc_GalleryAnimationTitle")) {}

  void viewDidAppear(bool animated) override;

 protected:
  void buildPage(platform::UIView& page) override;

 private:
  void bounce(int run);
  void swap(int run);

  std::shared_ptr<platform::UIView> _mover;
  std::shared_ptr<platform::UIView> _swapBox;
  std::shared_ptr<platform::UIView> _swapContent;
  int _colour = 0;
  // Each showing of the page starts a new run; motions of an earlier one stop.
  int _run = 0;
};
