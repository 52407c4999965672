#include "UI/ViewClassRegistry.h"

#include <map>

#include "UI/UIActivityIndicatorView.h"
#include "UI/UIButton.h"
#include "UI/UIControl.h"
#include "UI/UIImageView.h"
#include "UI/UILabel.h"
#include "UI/UIPageControl.h"
#include "UI/UIScrollView.h"

namespace platform {
namespace {

std::map<std::string, ViewClassRegistry::Factory>& factories() {
  static std::map<std::string, ViewClassRegistry::Factory> map = {
      {"UIView", [] { return std::make_shared<UIView>(); }},
      {"UIControl", [] { return std::make_shared<UIControl>(); }},
      {"UIImageView", [] { return std::make_shared<UIImageView>(); }},
      {"UILabel", [] { return std::make_shared<UILabel>(); }},
      {"UIButton", [] { return std::make_shared<UIButton>(); }},
      {"UIActivityIndicatorView", [] { return std::make_shared<UIActivityIndicatorView>(); }},
      {"UIPageControl", [] { return std::make_shared<UIPageControl>(); }},
      {"UIScrollView", [] { return std::make_shared<UIScrollView>(); }},
  };
  return map;
}

}  // namespace

void ViewClassRegistry::registerClass(const std::string& name, Factory factory) {
  if (factory) factories()[name] = std::move(factory);
}

std::shared_ptr<UIView> ViewClassRegistry::create(const std::string& name) {
  auto it = factories().find(name);
  return it == factories().end() ? nullptr : it->second();
}

bool ViewClassRegistry::isRegistered(const std::string& name) {
  return factories().count(name) != 0;
}

}  // namespace platform
