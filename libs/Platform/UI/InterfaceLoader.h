#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Foundation/Bundle.h"
#include "UI/InterfaceOwner.h"
#include "UI/UIView.h"

namespace platform {

// Builds view trees from interface files: XML whose root element <interface> holds the
// top-level views. An element's name is the view's class; its attributes set properties
// ("frame", "tag", "image", "text", "font", ...), "outlet" binds the view to the owner's
// field of that name, and on controls "action" (touch up inside) or "action.<event>"
// ("action.valueChanged", "action.touchDown", ...) attaches the owner's action of that name.
// Files are "Name.ui" in a bundle.
//
// A file that cannot be read or parsed, an unknown class, an attribute that is unknown or
// malformed, an outlet the owner lacks or of the wrong class, an action the owner lacks or on
// a view that is not a control: nothing is bound, no view is returned, and the message
// (naming the file, the line and the element) goes to the console.
class InterfaceLoader {
 public:
  struct Result {
    std::vector<std::shared_ptr<UIView>> topLevelViews;
    std::string error;
    bool ok() const { return error.empty(); }
  };

  // "Name.ui" from the bundle (the main bundle when null).
  static Result loadNibNamed(const std::string& name, InterfaceOwner* owner,
                             std::shared_ptr<Bundle> bundle = nullptr);
  static Result loadFile(const std::string& path, InterfaceOwner* owner,
                         std::shared_ptr<Bundle> bundle = nullptr);
  // `fileName` names the source in messages.
  static Result loadString(const std::string& xml, const std::string& fileName,
                           InterfaceOwner* owner, std::shared_ptr<Bundle> bundle = nullptr);
};

}  // namespace platform
