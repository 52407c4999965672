#include "UI/ViewControllerRegistry.h"

#include <map>

#include "Foundation/Console.h"
#include "UI/UINavigationController.h"

namespace platform {
namespace {

std::map<std::string, ViewControllerRegistry::Factory>& factories() {
  static std::map<std::string, ViewControllerRegistry::Factory> known = {
      {"UIViewController", [] { return std::make_shared<UIViewController>(); }},
      {"UINavigationController", [] { return std::make_shared<UINavigationController>(); }},
  };
  return known;
}

}  // namespace

void ViewControllerRegistry::registerClass(const std::string& name, Factory factory) {
  if (name.empty() || !factory) return;
  factories()[name] = std::move(factory);
}

std::shared_ptr<UIViewController> ViewControllerRegistry::create(const std::string& name) {
  auto it = factories().find(name);
  if (it == factories().end()) {
    Console::log("No screen controller class named \"" + name + "\"");
    return nullptr;
  }
  return it->second();
}

std::shared_ptr<UIViewController> ViewControllerRegistry::create(const std::string& name,
                                                                 std::optional<std::string> nibName,
                                                                 std::shared_ptr<Bundle> bundle) {
  auto controller = create(name);
  if (controller) controller->initWithNibName(std::move(nibName), std::move(bundle));
  return controller;
}

bool ViewControllerRegistry::isRegistered(const std::string& name) {
  return factories().count(name) > 0;
}

}  // namespace platform
