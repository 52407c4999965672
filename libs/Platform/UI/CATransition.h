#pragma once

#include <memory>
#include <string>

#include "UI/CAAnimation.h"

namespace platform {

inline const std::string kCATransitionFade = "fade";
inline const std::string kCATransitionPush = "push";
inline const std::string kCATransitionFromLeft = "fromLeft";
inline const std::string kCATransitionFromRight = "fromRight";
inline const std::string kCATransitionFromTop = "fromTop";
inline const std::string kCATransitionFromBottom = "fromBottom";

// A transition of a layer: its look before the transition was added leaves while its current
// look arrives, pushed in from a side or cross-faded. Added with CALayer::addAnimation.
class CATransition {
 public:
  static std::shared_ptr<CATransition> animation() { return std::make_shared<CATransition>(); }

  const std::string& type() const { return _type; }
  void setType(std::string type) { _type = std::move(type); }
  const std::string& subtype() const { return _subtype; }
  void setSubtype(std::string subtype) { _subtype = std::move(subtype); }
  // The toolkit's default duration.
  double duration() const { return _duration; }
  void setDuration(double seconds) { _duration = seconds; }
  CAMediaTimingFunction timingFunction() const { return _timing; }
  void setTimingFunction(CAMediaTimingFunction timing) { _timing = timing; }
  // Kept until the transition ends, as the toolkit retains an animation's delegate.
  const std::shared_ptr<CAAnimationDelegate>& delegate() const { return _delegate; }
  void setDelegate(std::shared_ptr<CAAnimationDelegate> delegate) {
    _delegate = std::move(delegate);
  }

 private:
  std::string _type = kCATransitionFade;
  std::string _subtype = kCATransitionFromLeft;
  double _duration = 0.25;
  CAMediaTimingFunction _timing = CAMediaTimingFunction::Linear;
  std::shared_ptr<CAAnimationDelegate> _delegate;
};

}  // namespace platform
