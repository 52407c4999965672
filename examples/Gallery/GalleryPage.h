#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "UI/UIButton.h"
#include "UI/UILabel.h"
#include "UI/UIViewController.h"

// One page of the gallery: a screen whose heading sits between a button to the previous page
// and one to the next. The heading takes the top kHeadingHeight points; the page fills the rest.
class GalleryPage : public platform::UIViewController {
 public:
  GalleryPage(std::string name, std::string title) : _name(std::move(name)) {
    setTitle(std::move(title));
  }
  std::string className() const override { return "GalleryPage"; }

  static constexpr double kHeadingHeight = 48;

  // The page's short name (screenshot files use it); its title is its heading.
  const std::string& name() const { return _name; }
  // What the heading's buttons do: called with -1 for the previous page, +1 for the next.
  void setTurn(std::function<void(int)> turn) { _turn = std::move(turn); }
  platform::UIButton* previousButton() const { return _previous.get(); }
  platform::UIButton* nextButton() const { return _next.get(); }

  // Whether the page could build everything it shows; the reason is on the page when not.
  virtual bool isComplete() const { return true; }

  void loadView() override;

 protected:
  // Fills the page below its heading.
  virtual void buildPage(platform::UIView& page) = 0;
  // The heading's turning buttons, placed over `page`'s top corners.
  void addTurnButtons(platform::UIView& page);

  // This page as one of the delegate interfaces it implements; delegates are held weakly.
  template <class Delegate>
  std::weak_ptr<Delegate> weakDelegate() {
    return std::dynamic_pointer_cast<Delegate>(shared_from_this());
  }

 private:
  std::string _name;
  std::function<void(int)> _turn;
  std::shared_ptr<platform::UIButton> _previous, _next;
};

// Helpers the pages share.
namespace Gallery {

// The text for a "_Loc_" key in the language the user prefers.
std::string text(const char* key);
// The text for `key` with "%1", "%2"... replaced by `values` in order (a language may place them
// anywhere).
std::string text(const char* key, const std::vector<std::string>& values);
// A white label of the system font, centred.
std::shared_ptr<platform::UILabel> caption(platform::Rect frame, const std::string& text,
                                           double size = 12);
// A rounded button running `action` on touch up inside.
std::shared_ptr<platform::UIButton> button(platform::Rect frame, const std::string& title,
                                           std::function<void()> action);
// The page's background colour.
platform::UIColor background();

}  // namespace Gallery
