#pragma once

#include <cstdint>

#include "UI/UIView.h"

namespace platform {

enum class UIActivityIndicatorViewStyle { WhiteLarge = 0, White = 1, Gray = 2 };

// The spinning wheel: twelve spokes, the brightest one stepping round twelve times a second on
// the run loop's clock while animating. Hidden when stopped unless told otherwise.
class UIActivityIndicatorView : public UIView {
 public:
  explicit UIActivityIndicatorView(
      UIActivityIndicatorViewStyle style = UIActivityIndicatorViewStyle::White);
  ~UIActivityIndicatorView() override;
  std::string className() const override { return "UIActivityIndicatorView"; }

  UIActivityIndicatorViewStyle activityIndicatorViewStyle() const { return _style; }
  void setActivityIndicatorViewStyle(UIActivityIndicatorViewStyle style);
  void startAnimating();
  void stopAnimating();
  bool isAnimating() const { return _timer != 0; }
  bool hidesWhenStopped() const { return _hidesWhenStopped; }
  void setHidesWhenStopped(bool hides);
  // Which spoke is brightest, 0 to 11.
  int phase() const { return _phase; }

  Size sizeThatFits(Size size) const override;
  void drawRect(BitmapContext& context, Rect rect) override;
  bool applyAttribute(const std::string& name, const std::string& value, InterfaceContext& context,
                      std::string& error) override;

 private:
  void scheduleStep();
  UIActivityIndicatorViewStyle _style;
  bool _hidesWhenStopped = true;
  int _phase = 0;
  std::uint64_t _timer = 0;
};

}  // namespace platform
