#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Graphics/Image.h"
#include "UI/UIViewController.h"

namespace platform {

class UIButton;

inline const std::string UIActivityTypeSaveToCameraRoll =
    "com.apple.UIKit.activity.SaveToCameraRoll";
inline const std::string UIActivityTypeMail = "com.apple.UIKit.activity.Mail";
inline const std::string UIActivityTypePrint = "com.apple.UIKit.activity.Print";
// This desktop's own activity: the picture shown in the desktop's image viewer.
inline const std::string UIActivityTypeOpenInViewer = "org.pictavia.activity.OpenInViewer";

// The share sheet for pictures: a panel of the activities that apply (saving to the photo
// album, mailing as an attachment, opening in the desktop's viewer), less the excluded ones,
// and Cancel. Present it modally; it dismisses itself when an activity is chosen or
// cancelled, then reports through the completion handler (the activity, or "" for Cancel, and
// whether it completed). Printing is not offered: this desktop has no print path.
//
// Open in Viewer writes the first picture as a PNG into "Shared Pictures" in the app
// container's caches (replacing the one shared before) and hands its path to the desktop's
// opener ("xdg-open"); it completes when the opener started. It is offered when the opener
// can be started (see DesktopLauncher::canLaunch) and the container is known.
class UIActivityViewController : public UIViewController {
 public:
  explicit UIActivityViewController(std::vector<std::shared_ptr<Image>> activityItems);
  ~UIActivityViewController() override;
  std::string className() const override { return "UIActivityViewController"; }

  using CompletionHandler = std::function<void(const std::string& activityType, bool completed)>;
  void setCompletionHandler(CompletionHandler handler) { _completion = std::move(handler); }
  const std::vector<std::string>& excludedActivityTypes() const { return _excluded; }
  void setExcludedActivityTypes(std::vector<std::string> types) { _excluded = std::move(types); }

  // The activities offered, in the order of their buttons.
  std::vector<std::string> availableActivityTypes() const;
  // What the buttons do; false for an activity that is not offered.
  bool performActivity(const std::string& activityType);
  void cancel();

  void loadView() override;

 private:
  void finish(const std::string& activityType, bool completed);
  // Dismisses the sheet, then runs `next` with the controller that presented it.
  void dismissThen(std::function<void(UIViewController* presenter)> next);

  std::vector<std::shared_ptr<Image>> _items;
  std::vector<std::string> _excluded;
  CompletionHandler _completion;
  std::vector<std::shared_ptr<UIButton>> _buttons;
  bool _busy = false;
};

}  // namespace platform
